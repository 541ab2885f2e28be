// The main window read back from the live controls: frame, control table,
// fonts, colours, pointer, tab order and the first state the user sees.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/resource.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

using app::ControlId;

std::wstring classOf(HWND hwnd) {
    wchar_t name[64]{};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring textOf(HWND hwnd) {
    wchar_t text[256]{};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

RECT clientRectOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct Expected {
    ControlId id;
    const wchar_t* cls;
    const wchar_t* text;
    RECT rect;       // left, top, right, bottom
    DWORD kindBits;  // type bits of the control's style
    bool enabled;
    bool tabStop;
    int fontHeight;  // 0: the window's default font
};

DWORD typeBits(const std::wstring& cls, DWORD style) {
    if (cls == L"SysListView32") return style & LVS_TYPEMASK;
    if (cls == L"Static") return style & SS_TYPEMASK;
    return style & BS_TYPEMASK;
}

// Texts, rectangles and states as the layout gives them at 96 dpi.
const Expected kLayout[] = {
    {app::kIdSelectAll,
     L"Button",
     L"Select All",
     {14, 136, 111, 153},
     BS_AUTOCHECKBOX,
     false,
     true,
     -11},
    {app::kIdAddFolder,
     L"Button",
     L"Add Folder",
     {112, 376, 201, 401},
     BS_PUSHBUTTON,
     true,
     true,
     -11},
    {app::kIdHiddenCompressionBox,
     L"Button",
     L"Use Enchanced Compression (NOT SAFE)",
     {624, 464, 857, 481},
     BS_AUTOCHECKBOX,
     true,
     true,
     0},
    {app::kIdClearList,
     L"Button",
     L"Clear List",
     {216, 376, 321, 401},
     BS_PUSHBUTTON,
     true,
     true,
     -11},
    {app::kIdAttach,
     L"Button",
     L"Add PSTs to Outlook  >",
     {456, 376, 593, 401},
     BS_PUSHBUTTON,
     true,
     true,
     -11},
    {app::kIdAddFile, L"Button", L"Add File", {8, 376, 97, 401}, BS_PUSHBUTTON, true, true, -11},
    {app::kIdPstList, L"SysListView32", L"", {8, 160, 592, 369}, LVS_REPORT, true, true, -12},
    {app::kIdHelpLink,
     L"Static",
     L"Click Here to Know more about File Properties Read-only attribute",
     {224, 120, 593, 137},
     SS_RIGHT,
     true,
     false,
     -11},
    {app::kIdWarning,
     L"Static",
     L"Please ensure Outlook PST file(s) are not corrupt && not having Read-only attribute in "
     L"File Properties",
     {16, 88, 585, 105},
     SS_CENTER,
     true,
     false,
     -12},
    {app::kIdTotal, L"Static", L"0", {248, 136, 297, 153}, SS_LEFT, true, false, -11},
    {app::kIdTotalCaption,
     L"Static",
     L"Total PST File(s) :",
     {144, 136, 249, 153},
     SS_LEFT,
     true,
     false,
     -11},
};

class WindowLayout : public ::testing::Test {
protected:
    Win32Harness h;
};

TEST_F(WindowLayout, ControlTableMatchesTheLiveWindow) {
    for (const Expected& e : kLayout) {
        SCOPED_TRACE(e.text);
        HWND c = h.control(e.id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(classOf(c), e.cls);
        EXPECT_EQ(textOf(c), e.text);
        const RECT r = clientRectOf(c);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
        EXPECT_EQ(typeBits(e.cls, style), e.kindBits);
        EXPECT_EQ(IsWindowEnabled(c) != FALSE, e.enabled);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_EQ((style & WS_TABSTOP) != 0, e.tabStop);

        LOGFONTW lf{};
        auto font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        GetObjectW(font, sizeof lf, &lf);
        if (e.fontHeight != 0) {
            EXPECT_EQ(lf.lfHeight, e.fontHeight);
            EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
            EXPECT_EQ(lf.lfWeight, FW_NORMAL);
            EXPECT_FALSE(lf.lfItalic);
            EXPECT_FALSE(lf.lfUnderline);
            EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
        } else {
            EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
        }
    }
    // Captions show "&&" as one "&": nothing may switch the prefix rule off.
    EXPECT_FALSE(GetWindowLongW(h.control(app::kIdWarning), GWL_STYLE) & SS_NOPREFIX);
    // The link label reports clicks.
    EXPECT_TRUE(GetWindowLongW(h.control(app::kIdHelpLink), GWL_STYLE) & SS_NOTIFY);
}

TEST_F(WindowLayout, FrameIsSizableCentredAndCaptioned) {
    HWND w = h.window().hwnd();
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 410);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_EQ(textOf(w), app::kCaption);
    EXPECT_EQ(textOf(w).rfind(L"Quennet Pelorin v3.0", 0), 0u);
    RECT frame;
    GetWindowRect(w, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(WindowLayout, TabOrderRunsFromTheListThroughTheButtons) {
    HWND w = h.window().hwnd();
    auto order = [&] {
        std::vector<int> ids;
        HWND c = h.control(app::kIdPstList);
        for (int i = 0; i < 10; ++i) {
            c = GetNextDlgTabItem(w, c, FALSE);
            ids.push_back(GetDlgCtrlID(c));
            if (c == h.control(app::kIdPstList)) break;
        }
        return ids;
    };
    // Select All is disabled at start and takes no part until enabled.
    EXPECT_EQ(order(),
              (std::vector<int>{app::kIdAddFile, app::kIdAttach, app::kIdClearList,
                                app::kIdHiddenCompressionBox, app::kIdAddFolder, app::kIdPstList}));
    h.ui().selectAll().setEnabled(true);
    EXPECT_EQ(order(), (std::vector<int>{app::kIdAddFile, app::kIdAttach, app::kIdClearList,
                                         app::kIdHiddenCompressionBox, app::kIdAddFolder,
                                         app::kIdSelectAll, app::kIdPstList}));
}

TEST_F(WindowLayout, StartsInTheDesignTimeState) {
    EXPECT_EQ(GetFocus(), h.control(app::kIdPstList));
    EXPECT_EQ(h.ui().pstList().count(), 0);
    EXPECT_EQ(h.ui().totalLabel().caption(), L"0");
    EXPECT_EQ(h.ui().selectAll().value(), 0);
    EXPECT_FALSE(h.ui().selectAll().enabled());
    EXPECT_TRUE(h.ui().attachButton().enabled());
    EXPECT_EQ(SendMessageW(h.control(app::kIdHiddenCompressionBox), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    for (ControlId id : {app::kIdAddFile, app::kIdAddFolder, app::kIdClearList})
        EXPECT_TRUE(IsWindowEnabled(h.control(id)));
    EXPECT_EQ(h.ui().fileDialog().title(), L"Select Web Pages");
}

TEST_F(WindowLayout, ListViewColumnsImagesAndChecks) {
    HWND list = h.control(app::kIdPstList);
    const struct {
        const wchar_t* text;
        int width;
    } columns[] = {{L"File Name", 393}, {L"Size (KB)", 67}, {L"Status", 120}};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64]{};
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = text;
        c.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c)));
        EXPECT_STREQ(text, columns[i].text);
        EXPECT_EQ(c.cx, columns[i].width);
        EXPECT_EQ(c.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    LVCOLUMNW none{};
    none.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageW(list, LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&none)));
    const auto ex = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(ex & LVS_EX_CHECKBOXES);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE));
    EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_EDITLABELS));

    auto small = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small,
              reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(small, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    if (programResources()) {
        EXPECT_EQ(ImageList_GetImageCount(small), 3);
    }
}

TEST_F(WindowLayout, LabelColours) {
    HWND w = h.window().hwnd();
    const UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
    const HDC dc = memory.get();
    auto colours = [&](ControlId id) {
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        SendMessageW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(h.control(id)));
        return std::pair{GetTextColor(dc), GetBkColor(dc)};
    };
    EXPECT_EQ(colours(app::kIdWarning), std::pair(RGB(192, 0, 0), RGB(255, 255, 128)));
    EXPECT_EQ(colours(app::kIdHelpLink).first, RGB(0, 0, 255));
    EXPECT_EQ(colours(app::kIdHelpLink).second, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(colours(app::kIdTotalCaption).first, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(WindowLayout, PointerOverTheLinkIsTheHandAndHourglassWinsEverywhere) {
    HWND w = h.window().hwnd();
    auto pointerOver = [&](ControlId id) {
        SetCursor(nullptr);
        SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(h.control(id)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const HCURSOR hand = h.window().linkPointer();
    ASSERT_NE(hand, nullptr);
    if (programResources()) {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(hand, &info));
        EXPECT_EQ(info.xHotspot, 5u);  // the window's own hand, not the system's
        EXPECT_EQ(info.yHotspot, 0u);
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    EXPECT_EQ(pointerOver(app::kIdHelpLink), hand);
    EXPECT_NE(pointerOver(app::kIdTotalCaption), hand);

    h.ui().setCursor(ui::Cursor::Hourglass);
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    EXPECT_EQ(pointerOver(app::kIdHelpLink), wait);
    EXPECT_EQ(pointerOver(app::kIdAddFile), wait);
    h.ui().setCursor(ui::Cursor::Default);
    EXPECT_EQ(pointerOver(app::kIdHelpLink), hand);
}

TEST_F(WindowLayout, LinkClickOpensTheHelpPageOnceAndChangesNothing) {
    HWND link = h.control(app::kIdHelpLink);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(h.openedPages.size(), 1u);
    EXPECT_EQ(h.openedPages[0], app::kHelpUrl);
    EXPECT_EQ(textOf(link), L"Click Here to Know more about File Properties Read-only attribute");
    EXPECT_TRUE(h.unhandled.empty());
}

// A resize moves each control by its anchor; the design size is the smallest.
TEST_F(WindowLayout, ResizeAndMaximiseMoveTheControlsByTheirAnchors) {
    HWND w = h.window().hwnd();
    auto resizeClient = [&](int cx, int cy) {
        RECT frame{0, 0, cx, cy};
        AdjustWindowRectEx(&frame, app::kWindowStyle, FALSE, 0);
        SetWindowPos(w, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOZORDER);
    };
    const struct {
        const char* name;
        std::function<void()> act;
    } steps[] = {
        {"800x600", [&] { resizeClient(800, 600); }},
        {"maximised", [&] { ShowWindow(w, SW_MAXIMIZE); }},
        {"restored", [&] { ShowWindow(w, SW_RESTORE); }},
        {"design size", [&] { resizeClient(600, 410); }},
        {"900x640", [&] { resizeClient(900, 640); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        RECT c;
        GetClientRect(w, &c);
        const LONG cx = c.right, cy = c.bottom;
        EXPECT_GE(cx, 600);
        EXPECT_GE(cy, 410);
        const struct {
            ControlId id;
            RECT want;
        } rows[] = {
            {app::kIdPstList, {8, 160, cx - 8, cy - 41}},
            {app::kIdAttach, {cx - 144, cy - 34, cx - 7, cy - 9}},
            {app::kIdAddFile, {8, cy - 34, 97, cy - 9}},
            {app::kIdClearList, {216, cy - 34, 321, cy - 9}},
            {app::kIdHelpLink, {cx - 376, 120, cx - 7, 137}},
            {app::kIdWarning, {16, 88, cx - 15, 105}},
            {app::kIdSelectAll, {14, 136, 111, 153}},
        };
        for (const auto& row : rows) {
            const RECT r = clientRectOf(h.control(row.id));
            EXPECT_TRUE(EqualRect(&r, &row.want))
                << row.id << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        }
        RECT hidden = clientRectOf(h.control(app::kIdHiddenCompressionBox)), overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &hidden, &c));
    }
    MINMAXINFO limits{};
    SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT design{0, 0, 600, 410};
    AdjustWindowRectEx(&design, app::kWindowStyle, FALSE, 0);
    EXPECT_EQ(limits.ptMinTrackSize.x, design.right - design.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, design.bottom - design.top);
}

}  // namespace
}  // namespace pelorin::test
