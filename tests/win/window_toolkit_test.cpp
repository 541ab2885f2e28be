// The Win32 toolkit over the real controls, real clicks dispatched through
// the window procedure, the event pump, and the top-level error report.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "pstlist/pst_list.h"
#include "support/error_of.h"
#include "support/rows.h"
#include "support/temp_tree.h"
#include "base/error.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

class WindowToolkit : public ::testing::Test {
protected:
    Win32Harness h;
    ui::ListView& list() { return h.ui().pstList(); }
};

// Pixels inside `rect` of the window's surface that differ from its corner.
int inkIn(HWND hwnd, const RECT& rect) {
    UpdateWindow(hwnd);
    const WindowDc dc(hwnd);
    const COLORREF background = GetPixel(dc.get(), rect.right - 1, rect.bottom - 1);
    int ink = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) ink += GetPixel(dc.get(), x, y) != background;
    return ink;
}

TEST_F(WindowToolkit, RowsInsertAtTheTopAndKeepTheirPlace) {
    list().insert(1, L"C:\\a.pst", 2);
    list().insert(1, L"C:\\b.pst", 2);
    list().insert(3, L"C:\\c.pst", 2);  // after the last row
    list().insert(2, L"C:\\d.pst", 2);
    EXPECT_EQ(rowTexts(list()),
              (std::vector<std::wstring>{L"C:\\b.pst", L"C:\\d.pst", L"C:\\a.pst", L"C:\\c.pst"}));
    for (int row = 1; row <= 4; ++row) {
        EXPECT_FALSE(list().checked(row));
        EXPECT_EQ(list().subItem(row, ui::Column::Size), L"");
        EXPECT_EQ(list().subItem(row, ui::Column::Status), L"");
    }
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    SendMessageW(h.control(app::kIdPstList), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 1);  // image 2, the application icon
}

// The run keeps the row it attaches in view: the real list scrolls as
// little as needed to show the row, whichever way. The window's own
// taskbar progress (Wine's ITaskbarList3 is a stub) takes every call.
TEST_F(WindowToolkit, EnsureVisibleScrollsTheRowIntoView) {
    for (int i = 1; i <= 40; ++i) list().insert(1, L"C:\\" + std::to_wstring(i) + L".pst", 2);
    const HWND hwnd = h.control(app::kIdPstList);
    const auto perPage = static_cast<int>(SendMessageW(hwnd, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_LT(perPage, 30);
    const struct {
        int row, top;  // 1-based row asked for, 1-based top row after it (0: any)
    } cases[] = {{40, 0}, {2, 2}, {1, 1}, {6, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        list().ensureVisible(c.row);
        const auto top = static_cast<int>(SendMessageW(hwnd, LVM_GETTOPINDEX, 0, 0)) + 1;
        EXPECT_TRUE(top <= c.row && c.row < top + perPage) << top;
        if (c.top) EXPECT_EQ(top, c.top);
    }
    h.window().toolkit().useTaskbar(nullptr);
    auto& bar = h.ui().taskbar();
    bar.setProgress(1, 3);
    bar.setError();
    bar.clear();
}

// Inserts stop the list's drawing for speed; the end of the click draws the
// rows again, so the user sees them.
TEST_F(WindowToolkit, RowsAddedByAClickAreDrawnWhenItEnds) {
    TempTree tree;
    tree.file(L"drawn.pst", 5000);
    h.fileDialog().answers = {tree.path(L"drawn.pst")};
    h.click(app::kIdAddFile);
    ASSERT_EQ(list().count(), 1);
    HWND lv = h.control(app::kIdPstList);
    RECT row{};
    row.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageW(lv, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    EXPECT_GT(inkIn(lv, row), 20) << "the new row's text is not drawn";
}

TEST_F(WindowToolkit, ChecksAndSubItemsBelongToTheirRow) {
    list().insert(1, L"C:\\one.pst", 2);
    list().setChecked(1, true);
    list().setSubItem(1, ui::Column::Size, L"4.8828125");
    list().setSubItem(1, ui::Column::Status, L"Done");
    list().insert(1, L"C:\\two.pst", 2);  // a new row is unticked even above a ticked one
    EXPECT_FALSE(list().checked(1));
    EXPECT_TRUE(list().checked(2));
    EXPECT_EQ(list().subItem(2, ui::Column::Size), L"4.8828125");
    EXPECT_EQ(list().subItem(2, ui::Column::Status), L"Done");
    EXPECT_EQ(list().subItem(1, ui::Column::Status), L"");
    list().setChecked(2, false);
    EXPECT_FALSE(list().checked(2));
    list().clear();
    EXPECT_EQ(list().count(), 0);
}

TEST_F(WindowToolkit, TextsComeBackExactlyWhateverTheirLengthAndCharacters) {
    const std::wstring longPath = L"C:\\" + std::wstring(600, L'x') + L"\\deep.pst";
    const std::wstring unicode = L"C:\\Почта\\日本語\\Ünïcödé 😀.pst";
    for (const std::wstring& text : {longPath, unicode, std::wstring(L"")}) {
        list().insert(1, text, 2);
        EXPECT_EQ(list().text(1), text);
        list().setSubItem(1, ui::Column::Status, text);
        EXPECT_EQ(list().subItem(1, ui::Column::Status), text);
    }
}

TEST_F(WindowToolkit, IndexesOutOfRangeRaiseSubscriptErrors) {
    list().insert(1, L"C:\\only.pst", 2);
    const std::function<void()> cases[] = {
        [&] { list().text(0); },
        [&] { list().text(2); },
        [&] { list().subItem(1, static_cast<ui::Column>(-1)); },
        [&] { list().subItem(1, static_cast<ui::Column>(ui::kColumnCount)); },
        [&] { list().setSubItem(2, ui::Column::Size, L"x"); },
        [&] { list().checked(-1); },
        [&] { list().setChecked(2, true); },
        [&] { list().insert(0, L"x", 2); },
        [&] { list().insert(3, L"x", 2); },
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c), kErrSubscript);
    EXPECT_EQ(list().count(), 1);
}

TEST_F(WindowToolkit, CheckBoxButtonAndLabel) {
    auto& box = h.ui().selectAll();
    box.setEnabled(true);
    EXPECT_TRUE(box.enabled());
    box.setValue(1);
    EXPECT_EQ(box.value(), 1);
    box.setValue(0);
    EXPECT_EQ(box.value(), 0);
    h.ui().attachButton().setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(h.control(app::kIdAttach)));
    h.ui().attachButton().setEnabled(true);
    EXPECT_TRUE(h.ui().attachButton().enabled());
    h.ui().totalLabel().setCaption(L"12");
    EXPECT_EQ(h.ui().totalLabel().caption(), L"12");
}

TEST_F(WindowToolkit, DisablingTheFocusedControlMovesTheFocusOn) {
    h.ui().selectAll().setEnabled(true);
    SetFocus(h.control(app::kIdSelectAll));
    ASSERT_EQ(GetFocus(), h.control(app::kIdSelectAll));
    h.ui().selectAll().setEnabled(false);
    EXPECT_EQ(GetFocus(), h.control(app::kIdPstList));
}

// Rows as the add operations leave them, with Select All enabled.
void addRows(Win32Harness& h, int n) {
    for (int i = 0; i < n; ++i)
        pstlist::insertPstRow(h.ui(), L"C:\\mail\\" + std::to_wstring(i) + L".pst", 5000);
    pstlist::refreshTotal(h.ui());
    h.ui().selectAll().setEnabled(true);
}

TEST_F(WindowToolkit, SelectAllAndClearListByRealClicks) {
    addRows(h, 3);
    h.click(app::kIdSelectAll);
    EXPECT_EQ(h.ui().selectAll().value(), 1);
    for (int row = 1; row <= 3; ++row) EXPECT_TRUE(list().checked(row));
    h.click(app::kIdSelectAll);
    for (int row = 1; row <= 3; ++row) EXPECT_FALSE(list().checked(row));

    h.click(app::kIdSelectAll);
    h.click(app::kIdClearList);
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(h.ui().totalLabel().caption(), L"0");
    EXPECT_EQ(h.ui().selectAll().value(), 0);
    EXPECT_FALSE(h.ui().selectAll().enabled());
    EXPECT_TRUE(h.unhandled.empty());
}

TEST_F(WindowToolkit, SettingSelectAllRaisesNoClick) {
    addRows(h, 2);
    h.ui().selectAll().setValue(1);
    EXPECT_FALSE(list().checked(1));
    EXPECT_FALSE(list().checked(2));
}

TEST_F(WindowToolkit, DoEventsRunsQueuedClicksAndScheduledActions) {
    addRows(h, 2);
    // A click the user made while a loop ran: it waits on the queue.
    PostMessageW(h.window().hwnd(), WM_COMMAND, MAKEWPARAM(app::kIdClearList, BN_CLICKED),
                 reinterpret_cast<LPARAM>(h.control(app::kIdClearList)));
    Sleep(2 * static_cast<DWORD>(ui::Win32Toolkit::kPumpInterval.count()));
    int ran = 0;
    h.at(2, [&] { ran = h.doEventsCalls(); });
    h.ui().doEvents();
    EXPECT_EQ(list().count(), 0);
    h.ui().doEvents();
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(h.doEventsCalls(), 2);
}

TEST_F(WindowToolkit, DoEventsLeavesAQuitForTheMainLoop) {
    Sleep(2 * static_cast<DWORD>(ui::Win32Toolkit::kPumpInterval.count()));
    PostQuitMessage(7);
    h.ui().doEvents();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(WindowToolkit, UntrappedErrorsOfAClickEndInOneReport) {
    const struct {
        std::function<void()> fault;
        UnhandledReport report;
    } cases[] = {
        {[] { throw Error(kErrPathNotFound, L"Path not found"); }, {76, L"Path not found"}},
        {[] { throw std::bad_alloc(); }, {7, L"Out of memory"}},
        {[] { throw std::runtime_error("boom"); }, {51, L"Internal error: boom"}},
        {[] { throw 42; }, {51, L"Internal error"}},
    };
    for (const auto& c : cases) {
        h.unhandled.clear();
        h.fileSystems = [&]() -> std::unique_ptr<scan::FileSystem> {
            c.fault();
            return nullptr;
        };
        h.click(app::kIdAddFile);  // Add File asks for the file system first
        ASSERT_EQ(h.unhandled.size(), 1u);
        EXPECT_EQ(h.unhandled[0], c.report);
    }
    EXPECT_EQ(app::runtimeErrorText(76, L"Path not found"),
              L"Run-time error '76':\n\nPath not found");
}

// Refuses to create windows of one class on this thread while it lives.
class RefuseWindowClass {
public:
    explicit RefuseWindowClass(const wchar_t* className) {
        refused = className;
        hook_ = SetWindowsHookExW(WH_CBT, refuse, nullptr, GetCurrentThreadId());
    }
    ~RefuseWindowClass() { UnhookWindowsHookEx(hook_); }

private:
    static LRESULT CALLBACK refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const wchar_t* cls = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszClass;
            if (!IS_INTRESOURCE(cls) && lstrcmpiW(cls, refused) == 0) return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline const wchar_t* refused = nullptr;
    HHOOK hook_;
};

BOOL CALLBACK countMainWindow(HWND hwnd, LPARAM count) {
    wchar_t cls[64]{};
    GetClassNameW(hwnd, cls, 64);
    if (lstrcmpW(cls, app::kWindowClass) == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int mainWindowsOfThisThread() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), countMainWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST(WindowCreation, AFailureIsReportedAsSuchAndLeavesNoWindow) {
    const struct {
        const wchar_t* refusedClass;
        const wchar_t* description;
    } cases[] = {
        {app::kWindowClass, L"Could not create the main window"},
        {WC_LISTVIEWW, L"Could not create the PST list"},
        {WC_BUTTONW, L"Could not create the Add File button"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.description);
        std::int32_t number = 0;
        std::wstring description;
        try {
            const RefuseWindowClass refuse(c.refusedClass);
            Win32Harness h;
        } catch (const Error& e) {
            number = e.number();
            description = e.description();
        }
        EXPECT_EQ(number, kErrWindowCreation);
        EXPECT_EQ(description, c.description);
        EXPECT_EQ(mainWindowsOfThisThread(), 0);
    }
}

}  // namespace
}  // namespace pelorin::test
