#include "pstlist/pst_list.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include "base/error.h"

namespace pelorin::pstlist {

// The size is shown the way the classic runtime turns a double into text: 15
// significant digits at most, trailing zeros dropped. We always write it in
// fixed notation, so a one-byte file reads 0.0009765625 rather than
// 9.765625E-04; a column of sizes stays comparable at a glance. The length is
// 64-bit, so a 50 GB file shows its true size instead of a wrapped one.
std::wstring sizeText(std::int64_t bytes, wchar_t decimalSeparator) {
    const double kb = static_cast<double>(bytes) / 1024.0;
    if (kb == 0.0) return L"0";

    // 15 significant digits, correctly rounded: d.dddddddddddddde±x.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, kb, std::chars_format::scientific, 14);
    std::string sci(buf, res.ptr);
    const bool negative = sci[0] == '-';
    if (negative) sci.erase(0, 1);
    const auto e = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + e + 1);
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (sci[i] != '.') digits += sci[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    // Place the decimal point: the first digit stands for 10^exponent.
    std::string whole, fraction;
    if (exponent < 0) {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            whole = digits + std::string(intDigits - digits.size(), '0');
        } else {
            whole = digits.substr(0, intDigits);
            fraction = digits.substr(intDigits);
        }
    }

    std::wstring text;
    if (negative) text += L'-';
    text.append(whole.begin(), whole.end());
    if (!fraction.empty()) {
        text += decimalSeparator;
        text.append(fraction.begin(), fraction.end());
    }
    return text;
}

void insertPstRow(ui::Toolkit& ui, const std::wstring& path, std::int64_t length) {
    ui::ListView& list = ui.pstList();
    list.insert(1, path, kRowIcon);
    list.setSubItem(1, ui::Column::Size, sizeText(length, ui.decimalSeparator()));
}

bool addMeasuredRow(ui::Toolkit& ui, scan::FileSystem& fs, const std::wstring& path,
                    std::vector<std::wstring>& unreadable) {
    std::int64_t length = 0;
    try {
        length = fs.fileLength(path);
    } catch (const Error&) {
        unreadable.push_back(path);
        return false;
    }
    insertPstRow(ui, path, length);
    return true;
}

bool pauseEndsOperation(ui::Toolkit& ui) {
    ui.doEvents();
    return ui.closeRequested();
}

void refreshTotal(ui::Toolkit& ui) {
    ui.totalLabel().setCaption(std::to_wstring(ui.pstList().count()));
}

void applySelectAll(ui::Toolkit& ui) {
    ui::ListView& list = ui.pstList();
    const int n = list.count();
    if (n <= 0) return;
    const bool tick = ui.selectAll().value() == 1;
    for (int i = 1; i <= n; ++i) list.setChecked(i, tick);
}

namespace {

// An empty list leaves Select All as the window opens: unticked and greyed.
// (Unticking it by code counts as a click on it; with no rows that changes
// nothing.)
void untickSelectAllOfEmptyList(ui::Toolkit& ui) {
    ui::CheckBox& box = ui.selectAll();
    box.setValue(0);
    box.setEnabled(false);
}

}  // namespace

std::vector<std::wstring> highlightedPaths(const ui::ListView& list) {
    std::vector<std::wstring> paths;
    for (int row = 1; row <= list.count(); ++row)
        if (list.highlighted(row)) paths.push_back(list.text(row));
    return paths;
}

void removeHighlightedRows(ui::Toolkit& ui, RowReasons& reasons) {
    ui::ListView& list = ui.pstList();
    // From the bottom, so the rows still to look at keep their numbers.
    for (int row = list.count(); row >= 1; --row) {
        if (!list.highlighted(row)) continue;
        reasons.removingRow(list, row);
        list.remove(row);
    }
    refreshTotal(ui);
    if (list.count() == 0) untickSelectAllOfEmptyList(ui);
}

void highlightAll(ui::ListView& list) {
    for (int row = 1; row <= list.count(); ++row) list.setHighlighted(row, true);
}

std::wstring pathLines(const std::vector<std::wstring>& paths) {
    std::wstring text;
    for (const std::wstring& path : paths) text += path + L"\r\n";
    return text;
}

void clearList(ui::Toolkit& ui, RowReasons& reasons) {
    ui.pstList().clear();
    reasons.clear();
    untickSelectAllOfEmptyList(ui);
    ui.totalLabel().setCaption(L"0");
}

}  // namespace pelorin::pstlist
