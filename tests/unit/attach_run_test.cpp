// The attach run over a scripted Outlook: which calls it makes, in which
// order, what the status column and the message say, and when the objects
// are released. Runs on the headless toolkit and, under Wine, on the real
// list view.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pstlist/attach_run.h"
#include "support/harness.h"
#include "base/error.h"

namespace pelorin::outlook {
namespace {

using Log = std::vector<std::wstring>;

constexpr wchar_t kNoneSelected[] = L"No PST files selected for adding to Outlook.";
constexpr wchar_t kAllAdded[] = L"All PST files are successfully added to Outlook.";
constexpr wchar_t kFailed[] =
    L"Error opening PST file, please check if PST file is corrupt or password protected.";

// An Outlook that writes every call into a log and fails on the call whose
// log entry equals `failOn` (e.g. L"AddStore C:\\b.pst", L"create ...").
struct ScriptedOutlook final : Automation {
    Log log;
    std::wstring failOn;

    void step(const std::wstring& entry) {
        log.push_back(entry);
        if (entry == failOn) throw Error(kErrAutomation, L"refused", static_cast<std::int32_t>(0x80020009));
    }

    struct Object final : AutoObject {
        Object(ScriptedOutlook& o, std::wstring n) : outlook(o), name(std::move(n)) {}
        ~Object() override { outlook.log.push_back(L"release " + name); }
        std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                               const std::wstring& arg) override {
            outlook.step(member + L" " + arg);
            return std::make_unique<Object>(outlook, arg);
        }
        void call(const std::wstring& member, const std::wstring& arg) override {
            outlook.step(member + L" " + arg);
        }
        ScriptedOutlook& outlook;
        std::wstring name;
    };

    std::unique_ptr<AutoObject> create(const std::wstring& progId) override {
        step(L"create " + progId);
        return std::make_unique<Object>(*this, L"application");
    }
};

struct Row {
    std::wstring text;
    bool checked;
    std::wstring status;
};

class AttachRun : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override { h = test::makeHarness(GetParam()); }

    // Rows top to bottom; each gets its tick and a status from an earlier run.
    void fill(const std::vector<Row>& rows, int selectAll) {
        auto& list = h->ui().pstList();
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
            list.insert(1, it->text, 2);
            list.setChecked(1, it->checked);
            list.setSubItem(1, 2, it->status);
        }
        h->ui().selectAll().setValue(selectAll);
    }
    std::vector<std::wstring> statuses() {
        auto& list = h->ui().pstList();
        std::vector<std::wstring> out;
        for (int i = 1; i <= list.count(); ++i) out.push_back(list.subItem(i, 2));
        return out;
    }
    std::vector<std::wstring> texts() {
        auto& list = h->ui().pstList();
        std::vector<std::wstring> out;
        for (int i = 1; i <= list.count(); ++i) out.push_back(list.text(i));
        return out;
    }
    std::vector<std::wstring> messages() {
        std::vector<std::wstring> out;
        for (const auto& m : h->dialogs().messages) out.push_back(m.text);
        return out;
    }

    std::unique_ptr<test::Harness> h;
    ScriptedOutlook outlook;
};

const Log kOpen = {L"create Outlook.Application", L"GetNamespace MAPI"};
Log opened(Log more) {
    Log log = kOpen;
    log.insert(log.end(), more.begin(), more.end());
    return log;
}

TEST_P(AttachRun, OutcomesOfOneClick) {
    const std::vector<Row> abc = {{L"C:\\a.pst", true, L"old"},
                                  {L"C:\\b.pst", false, L"Done"},
                                  {L"C:\\c.pst", true, L""}};
    const std::vector<Row> allTicked = {{L"C:\\a.pst", true, L""},
                                        {L"C:\\b.pst", true, L"x"},
                                        {L"C:\\c.pst", true, L""}};
    const std::vector<Row> noneTicked = {{L"C:\\a.pst", false, L"Done"},
                                         {L"C:\\b.pst", false, L"Done"}};
    struct Case {
        const char* name;
        std::vector<Row> rows;
        int selectAll;
        std::wstring failOn;
        Log calls;
        std::vector<std::wstring> statuses;
        std::wstring message;
        ui::Icon icon;
    } cases[] = {
        {"every ticked row added, unticked rows blanked", abc, 1, L"",
         opened({L"AddStore C:\\a.pst", L"AddStore C:\\c.pst", L"release MAPI",
                 L"release application"}),
         {L"Done", L"", L"Done"}, kAllAdded, ui::Icon::Information},
        {"rows already Done are added again", allTicked, 1, L"",
         opened({L"AddStore C:\\a.pst", L"AddStore C:\\b.pst", L"AddStore C:\\c.pst",
                 L"release MAPI", L"release application"}),
         {L"Done", L"Done", L"Done"}, kAllAdded, ui::Icon::Information},
        {"failure at row 2 leaves it and the rest untouched", allTicked, 1, L"AddStore C:\\b.pst",
         opened({L"AddStore C:\\a.pst", L"AddStore C:\\b.pst", L"release application",
                 L"release MAPI"}),
         {L"Done", L"x", L""}, kFailed, ui::Icon::Critical},
        {"failure at the last row", abc, 1, L"AddStore C:\\c.pst",
         opened({L"AddStore C:\\a.pst", L"AddStore C:\\c.pst", L"release application",
                 L"release MAPI"}),
         {L"Done", L"", L""}, kFailed, ui::Icon::Critical},
        {"Outlook cannot be started", abc, 1, L"create Outlook.Application",
         {L"create Outlook.Application"}, {L"old", L"Done", L""}, kFailed, ui::Icon::Critical},
        {"GetNamespace fails", abc, 1, L"GetNamespace MAPI",
         {L"create Outlook.Application", L"GetNamespace MAPI", L"release application"},
         {L"old", L"Done", L""}, kFailed, ui::Icon::Critical},
        {"every row unticked: Outlook contacted, nothing added", noneTicked, 1, L"",
         opened({L"release MAPI", L"release application"}), {L"", L""}, kAllAdded,
         ui::Icon::Information},
        {"Select All unticked", abc, 0, L"", {}, {L"old", L"Done", L""}, kNoneSelected,
         ui::Icon::Critical},
        {"Select All greyed", abc, 2, L"", {}, {L"old", L"Done", L""}, kNoneSelected,
         ui::Icon::Critical},
        {"rows ticked by hand only", allTicked, 0, L"", {}, {L"", L"x", L""}, kNoneSelected,
         ui::Icon::Critical},
        {"empty list with Select All ticked", {}, 1, L"", {}, {}, kNoneSelected,
         ui::Icon::Critical},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        outlook.log.clear();
        outlook.failOn = c.failOn;
        fill(c.rows, c.selectAll);
        // The window's box has two states; only the headless one can be greyed.
        if (h->ui().selectAll().value() != c.selectAll) continue;
        pstlist::attachTickedRows(h->ui(), outlook);
        EXPECT_EQ(outlook.log, c.calls);
        EXPECT_EQ(statuses(), c.statuses);
        ASSERT_EQ(h->dialogs().messages.size(), 1u);
        EXPECT_EQ(h->dialogs().messages[0].text, c.message);
        EXPECT_EQ(h->dialogs().messages[0].icon, c.icon);
        // The run never changes ticks, texts or Select All.
        std::vector<std::wstring> before;
        for (const auto& r : c.rows) before.push_back(r.text);
        EXPECT_EQ(texts(), before);
        for (int i = 1; i <= static_cast<int>(c.rows.size()); ++i)
            EXPECT_EQ(h->ui().pstList().checked(i), c.rows[static_cast<size_t>(i - 1)].checked);
        EXPECT_EQ(h->ui().selectAll().value(), c.selectAll);
    }
}

TEST_P(AttachRun, ObjectsAreReleasedOnlyAfterTheFailureMessageIsClosed) {
    fill({{L"C:\\a.pst", true, L""}}, 1);
    outlook.failOn = L"AddStore C:\\a.pst";
    Log atMessage;
    h->dialogs().onMessageBox = [&] { atMessage = outlook.log; };
    pstlist::attachTickedRows(h->ui(), outlook);
    EXPECT_EQ(atMessage, opened({L"AddStore C:\\a.pst"}));
    EXPECT_EQ(outlook.log, opened({L"AddStore C:\\a.pst", L"release application", L"release MAPI"}));
}

TEST_P(AttachRun, SuccessReleasesBeforeTheMessage) {
    fill({{L"C:\\a.pst", true, L""}}, 1);
    Log atMessage;
    h->dialogs().onMessageBox = [&] { atMessage = outlook.log; };
    pstlist::attachTickedRows(h->ui(), outlook);
    EXPECT_EQ(atMessage, outlook.log);
    EXPECT_EQ(atMessage.back(), L"release application");
}

TEST_P(AttachRun, EventsAreProcessedOnceAtTheStartAndBeforeEachRow) {
    fill({{L"C:\\a.pst", true, L""}, {L"C:\\b.pst", false, L""}}, 1);
    std::vector<size_t> callsSeen;
    h->at(1, [&] { callsSeen.push_back(outlook.log.size()); });
    h->at(2, [&] { callsSeen.push_back(outlook.log.size()); });
    h->at(3, [&] { callsSeen.push_back(outlook.log.size()); });
    pstlist::attachTickedRows(h->ui(), outlook);
    EXPECT_EQ(h->doEventsCalls(), 3);
    // Before Outlook is contacted; after GetNamespace; after row 1's AddStore.
    EXPECT_EQ(callsSeen, (std::vector<size_t>{0, 2, 3}));
}

TEST_P(AttachRun, PathsGoOverExactlyAsTheRowsHoldThem) {
    const std::vector<std::wstring> paths = {
        L" C:\\x\\padded .PST ", L"C:\\\u041f\u043e\u0447\u0442\u0430\\\u0430\u0440\u0445\u0438\u0432.pst",
        L"D:\\\u65e5\u672c\u8a9e\\\u30e1\u30fc\u30eb.pst", L"no-extension", L"C:\\emoji\\\U0001F4E7.pst"};
    std::vector<Row> rows;
    Log expected = kOpen;
    for (const auto& p : paths) {
        rows.push_back({p, true, L""});
        expected.push_back(L"AddStore " + p);
    }
    expected.insert(expected.end(), {L"release MAPI", L"release application"});
    fill(rows, 1);
    pstlist::attachTickedRows(h->ui(), outlook);
    EXPECT_EQ(outlook.log, expected);
}

TEST_P(AttachRun, ClearListDuringTheRunEndsItThroughTheFailurePath) {
    fill({{L"C:\\a.pst", true, L""}, {L"C:\\b.pst", true, L""}, {L"C:\\c.pst", true, L""}}, 1);
    // doEvents 1 is the start, 2 before row 1, 3 before row 2.
    h->at(3, [&] { h->ui().pstList().clear(); });
    pstlist::attachTickedRows(h->ui(), outlook);
    EXPECT_EQ(outlook.log, opened({L"AddStore C:\\a.pst", L"release application", L"release MAPI"}));
    EXPECT_EQ(messages(), std::vector<std::wstring>{kFailed});
    EXPECT_EQ(h->ui().pstList().count(), 0);
}

TEST_P(AttachRun, RowsAddedDuringTheRunShiftTheRestWhileTheBoundStays) {
    fill({{L"C:\\a.pst", true, L""}, {L"C:\\b.pst", false, L"Done"}, {L"C:\\c.pst", true, L""}}, 1);
    // After row 1 was added, two new rows arrive on top: the rows the run
    // still visits (2 and 3) are now the new bottom one and the old row 1.
    h->at(3, [&] {
        auto& list = h->ui().pstList();
        list.insert(1, L"C:\\new1.pst", 2);
        list.insert(1, L"C:\\new2.pst", 2);
        list.setChecked(1, true);
    });
    pstlist::attachTickedRows(h->ui(), outlook);
    EXPECT_EQ(outlook.log, opened({L"AddStore C:\\a.pst", L"AddStore C:\\a.pst", L"release MAPI",
                                   L"release application"}));
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"C:\\new2.pst", L"C:\\new1.pst", L"C:\\a.pst",
                                                  L"C:\\b.pst", L"C:\\c.pst"}));
    EXPECT_EQ(statuses(), (std::vector<std::wstring>{L"", L"", L"Done", L"Done", L""}));
    EXPECT_EQ(messages(), std::vector<std::wstring>{kAllAdded});
}

INSTANTIATE_TEST_SUITE_P(Kinds, AttachRun, testing::ValuesIn(test::harnessKinds()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace pelorin::outlook
