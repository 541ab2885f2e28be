// Every path readable: a long path is drawn with its last folders and file
// name, the row keeps the whole path, and the window's own tooltip shows it
// (with the row's status, or a failed row's whole reason) for the row under
// the pointer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "outlook/failure_text.h"
#include "pstlist/pst_list.h"
#include "support/scripted_outlook.h"
#include "support/temp_tree.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

constexpr wchar_t kDeep[] = L"C:\\RV\\tree\\Departments\\Sales EMEA\\Users\\";

std::wstring tipText(HWND tip) {
    std::wstring text(4096, L'\0');
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = text.data();
    // The text callback answers for the row under the pointer.
    SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    text.resize(wcslen(text.c_str()));
    return text;
}

// Moves the pointer over the 0-based item of the list.
void pointAt(HWND listView, int item) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(listView, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
    POINT at{r.left + 60, (r.top + r.bottom) / 2};
    ClientToScreen(listView, &at);
    SetCursorPos(at.x, at.y);
}

// With screenshots asked for (PELORIN_SHOT_DIR), the tooltip of the 0-based
// item is left shown. Under Wine TTM_POPUP shows nothing: the tip appears
// once its initial delay has passed after the pointer's move.
void leaveTipShown(Win32Harness& h, int item) {
    if (!std::getenv("PELORIN_SHOT_DIR")) return;
    h.shotFromScreen = true;
    HWND listView = h.control(app::kIdPstList), tip = h.window().pathTip();
    pointAt(listView, item);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    // The pointer's move, as the system tells the window of it.
    SendMessageW(h.window().hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(listView),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageW(tip, TTM_POPUP, 0, 0);
    for (int waited = 0; !IsWindowVisible(tip) && waited < 3000; waited += 20) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    UpdateWindow(tip);
}

// The tooltip's text for each row, top to bottom.
std::vector<std::wstring> tips(Win32Harness& h) {
    HWND listView = h.control(app::kIdPstList);
    std::vector<std::wstring> out;
    for (int i = 0; i < h.ui().pstList().count(); ++i) {
        pointAt(listView, i);
        out.push_back(tipText(h.window().pathTip()));
    }
    return out;
}

TEST(WindowPathTips, LongPathsAreDrawnShortAndShownWholeInTheTooltip) {
    Win32Harness h;
    auto& list = h.ui().pstList();
    const std::wstring deep = std::wstring(kDeep) + L"employee.sales09\\2019\\Mail.pst";
    const std::wstring deeper =
        std::wstring(kDeep) + std::wstring(200, L'x') + L"\\" + std::wstring(120, L'y') + L".pst";
    const struct {
        std::wstring path;
        const wchar_t* status;
        std::wstring front, back;  // how the drawn text begins and ends
        std::wstring tip;
    } rows[] = {
        {L"C:\\Mail.pst", L"", L"C:\\Mail.pst", L"C:\\Mail.pst", L"C:\\Mail.pst"},
        {deep, L"Done", L"\u2026\\", L"\\employee.sales09\\2019\\Mail.pst", deep},
        {deep, L"Failed: the file is in use", L"\u2026\\", L"\\Mail.pst",
         deep + L"\nFailed: the file is in use"},
        // Not even the file name fits: it is cut at its end.
        {deeper, L"", L"yyy", L"y...", deeper},
    };
    for (const auto& row : rows) {
        list.insert(list.count() + 1, row.path, 2);
        list.setSubItem(list.count(), ui::Column::Status, row.status);
    }
    h.window().toolkit().showPendingRows();
    HWND listView = h.control(app::kIdPstList);
    const int width = static_cast<int>(SendMessageW(listView, LVM_GETCOLUMNWIDTH, 0, 0)) - 30;
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.text(i + 1), rows[i].path);  // the row keeps the whole path
        const std::wstring drawn = app::pathAsDrawn(listView, i, width);
        EXPECT_EQ(drawn.rfind(rows[i].front, 0), 0u) << drawn;
        EXPECT_TRUE(drawn.ends_with(rows[i].back)) << drawn;
        // The pointer over the row: the tooltip's text is the row's.
        pointAt(listView, i);
        EXPECT_EQ(tipText(h.window().pathTip()), rows[i].tip);
    }
    leaveTipShown(h, 2);
}

// The status says "Failed: read-only"; the tooltip gives the reason the
// run's box gave, and keeps giving it to that row as rows come and go.
TEST(WindowPathTips, AFailedRowsTipGivesItsWholeReasonWhereverTheRowMoves) {
    TempTree tree;
    for (const wchar_t* name : {L"a.pst", L"b.pst", L"c.pst", L"d.pst"}) tree.file(name, 600);
    auto scripted = std::make_unique<ScriptedOutlook>();
    scripted->failOn(L"AddStore " + tree.path(L"b.pst"), outlook::kHrAccessDenied,
                     L"File access is denied");
    Win32Harness h(std::move(scripted));
    auto& list = h.ui().pstList();
    for (const wchar_t* name : {L"c.pst", L"b.pst", L"a.pst"}) {
        pstlist::insertPstRow(h.ui(), tree.path(name), 600);
        list.setChecked(1, true);
    }
    h.click(app::kIdAttach);
    const std::wstring a = tree.path(L"a.pst"), c = tree.path(L"c.pst"), d = tree.path(L"d.pst");
    const std::wstring b = tree.path(L"b.pst") + L"\nFailed: File access is denied (0x80070005)";
    const struct {
        const char* step;
        std::function<void()> action;
        std::vector<std::wstring> tips;  // top to bottom
    } steps[] = {
        {"after the run", [] {}, {a, b, c + L"\nNot tried"}},
        {"a row added on top",
         [&] { pstlist::insertPstRow(h.ui(), d, 600); },
         {d, a, b, c + L"\nNot tried"}},
        {"the row above removed",
         [&] {
             list.setHighlighted(2, true);
             SendMessageW(h.window().hwnd(), WM_COMMAND, app::kIdRemoveRows, 0);
         },
         {d, b, c + L"\nNot tried"}},
        {"the row below removed",
         [&] {
             list.setHighlighted(3, true);
             SendMessageW(h.window().hwnd(), WM_COMMAND, app::kIdRemoveRows, 0);
         },
         {d, b}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.action();
        h.window().toolkit().showPendingRows();
        EXPECT_EQ(tips(h), step.tips);
    }
    leaveTipShown(h, 1);
}

}  // namespace
}  // namespace pelorin::test
