// Every path readable: a long path is drawn with its last folders and file
// name, the row keeps the whole path, and the window's own tooltip shows it
// (with a failed row's status) for the row under the pointer.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

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
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(listView, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        POINT at{r.left + 60, (r.top + r.bottom) / 2};
        ClientToScreen(listView, &at);
        SetCursorPos(at.x, at.y);
        EXPECT_EQ(tipText(h.window().pathTip()), rows[i].tip);
    }
    // Left showing the failed row's tip, for the screenshot.
    h.shotFromScreen = true;
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(listView, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    POINT at{r.left + 60, (r.top + r.bottom) / 2};
    ClientToScreen(listView, &at);
    SetCursorPos(at.x, at.y);
    SendMessageW(h.window().pathTip(), TTM_POPUP, 0, 0);
    UpdateWindow(h.window().pathTip());
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace
}  // namespace pelorin::test
