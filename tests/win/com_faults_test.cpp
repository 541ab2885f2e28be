// The attach run over real late-bound COM calls into an in-process Outlook
// whose calls fail where each case says: the lookup of a member name, the
// call itself with a plain failure code, a server exception (filled in at
// once or deferred), a result that is not an object. Every case ends in the
// one failure message with the failing row untouched, and every object the
// run obtained is released.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pstlist/attach_run.h"
#include "outlook/automation_win.h"
#include "outlook/com_win.h"
#include "base/error.h"
#include "outlook/failure_text.h"
#include "scan/filesystem.h"
#include "support/attach_messages.h"
#include "support/temp_tree.h"
#include "ui/headless_toolkit.h"

namespace pelorin::outlook {
namespace {

constexpr DISPID kGetNamespace = 1, kAddStore = 2;

enum class Fault { None, UnknownName, CallFails, Exception, DeferredException, NotAnObject };

struct Plan {
    DISPID member = 0;  // where the fault strikes
    int onCall = 1;     // on which call of that member
    Fault fault = Fault::None;
};

HRESULT CALLBACK fillInRefusal(EXCEPINFO* info) {
    info->bstrDescription = ::SysAllocString(L"The file is not a personal folders file.");
    info->scode = E_FAIL;
    return S_OK;
}

// One object plays the application and its namespace; `live` counts the
// references handed out, so a leak shows as a count above zero at the end.
class FakeOutlook final : public IDispatch {
public:
    explicit FakeOutlook(Plan plan) : plan_(plan) {}
    long live = 0;
    std::vector<std::wstring> stores;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++live); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--live); }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
        const std::wstring name = names[0];
        *id = name == L"GetNamespace" ? kGetNamespace
              : name == L"AddStore"   ? kAddStore
                                      : DISPID_UNKNOWN;
        if (*id == DISPID_UNKNOWN || lookupFails(*id)) return DISP_E_UNKNOWNNAME;
        return S_OK;
    }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* error, UINT*) override {
        const int call = ++calls_[id];
        if (params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        if (plan_.member == id && plan_.onCall == call) {
            switch (plan_.fault) {
            case Fault::CallFails: return RPC_E_DISCONNECTED;
            case Fault::Exception:
                error->bstrDescription = ::SysAllocString(L"File access is denied.");
                error->scode = E_ACCESSDENIED;
                return DISP_E_EXCEPTION;
            case Fault::DeferredException:
                error->pfnDeferredFillIn = fillInRefusal;
                return DISP_E_EXCEPTION;
            case Fault::NotAnObject:
                result->vt = VT_BSTR;
                result->bstrVal = ::SysAllocString(L"MAPI");
                return S_OK;
            default: break;
            }
        }
        if (id == kAddStore) {
            stores.emplace_back(params->rgvarg[0].bstrVal,
                                ::SysStringLen(params->rgvarg[0].bstrVal));
        } else if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = this;
            AddRef();
        }
        return S_OK;
    }

private:
    // Name lookups are counted apart from calls: the lookup comes first.
    bool lookupFails(DISPID id) {
        return plan_.member == id && plan_.fault == Fault::UnknownName &&
               plan_.onCall == ++lookups_[id];
    }
    Plan plan_;
    int calls_[3]{}, lookups_[3]{};
};

// Creates the fake as the application, or fails as CoCreateInstance would.
class FakeAutomation final : public Automation {
public:
    FakeAutomation(FakeOutlook& outlook, HRESULT createResult)
        : outlook_(outlook), hr_(createResult) {}
    std::unique_ptr<AutoObject> create(const std::wstring& progId) override {
        com::check(hr_, progId);
        return wrapDispatch(&outlook_);
    }

private:
    FakeOutlook& outlook_;
    HRESULT hr_;
};

using test::kAllAdded;
using test::kFailed;
constexpr wchar_t kRefused[] = L"Failed: ";  // a status that starts so
constexpr wchar_t kNotTried[] = L"Not tried";

TEST(ComFaults, EveryFailureEndsInTheMessageWithTheRowMarkedAndNothingHeld) {
    const struct {
        const char* name;
        HRESULT create;
        Plan plan;
        std::vector<std::wstring> statuses;  // rows a, b, c after the run
        std::wstring message;                // its first paragraph
    } cases[] = {
        {"no fault", S_OK, {}, {L"Done", L"Done", L"Done"}, kAllAdded},
        {"create fails", REGDB_E_CLASSNOTREG, {}, {kNotTried, kNotTried, kNotTried}, kNotInstalled},
        {"other integrity level",
         CO_E_SERVER_EXEC_FAILURE,
         {},
         {kNotTried, kNotTried, kNotTried},
         kUnreachable},
        {"GetNamespace unknown",
         S_OK,
         {kGetNamespace, 1, Fault::UnknownName},
         {kNotTried, kNotTried, kNotTried},
         kCannotStart},
        {"GetNamespace fails",
         S_OK,
         {kGetNamespace, 1, Fault::CallFails},
         {kNotTried, kNotTried, kNotTried},
         kCannotStart},
        {"GetNamespace no object",
         S_OK,
         {kGetNamespace, 1, Fault::NotAnObject},
         {kNotTried, kNotTried, kNotTried},
         kCannotStart},
        {"AddStore unknown",
         S_OK,
         {kAddStore, 1, Fault::UnknownName},
         {kRefused, kNotTried, kNotTried},
         kFailed},
        {"AddStore fails at row b",
         S_OK,
         {kAddStore, 2, Fault::CallFails},
         {L"Done", kRefused, kNotTried},
         kFailed},
        {"AddStore refuses row b",
         S_OK,
         {kAddStore, 2, Fault::Exception},
         {L"Done", kRefused, kNotTried},
         kFailed},
        {"AddStore refuses row c later",
         S_OK,
         {kAddStore, 3, Fault::DeferredException},
         {L"Done", L"Done", kRefused},
         kFailed},
    };
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    test::TempTree tree;
    auto fs = scan::makePlatformFileSystem();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOutlook outlook(c.plan);
        FakeAutomation automation(outlook, c.create);
        ui::HeadlessToolkit tk;
        for (const wchar_t* name : {L"c.pst", L"b.pst", L"a.pst"}) {
            tree.file(name, 10);
            tk.list.insert(1, tree.path(name), 2);
            tk.list.setChecked(1, true);
            tk.list.setSubItem(1, ui::Column::Status, L"old");
        }
        tk.selectAll().setValue(1);

        pstlist::RowReasons reasons;
        pstlist::attachTickedRows(tk, automation, *fs, reasons);

        std::vector<std::wstring> statuses;
        for (int i = 1; i <= tk.list.count(); ++i) {
            const std::wstring s = tk.list.subItem(i, ui::Column::Status);
            statuses.push_back(s.rfind(kRefused, 0) == 0 ? kRefused : s);
        }
        EXPECT_EQ(statuses, c.statuses);
        ASSERT_EQ(tk.dlg.messages.size(), 1u);
        EXPECT_EQ(tk.dlg.messages[0].text.substr(0, tk.dlg.messages[0].text.find(L"\n\n")),
                  c.message);
        EXPECT_EQ(outlook.live, 0) << "a COM reference outlived the run";
    }
    ::CoUninitialize();
}

// A server's refusal reaches the caller with its own description and code,
// also when the server defers filling them in.
TEST(ComFaults, ServerExceptionsKeepTheirDescriptionAndCode) {
    const struct {
        Fault fault;
        HRESULT code;
        const wchar_t* description;
    } cases[] = {
        {Fault::Exception, E_ACCESSDENIED, L"File access is denied."},
        {Fault::DeferredException, E_FAIL, L"The file is not a personal folders file."},
        {Fault::CallFails, RPC_E_DISCONNECTED, nullptr},
    };
    for (const auto& c : cases) {
        FakeOutlook outlook({kAddStore, 1, c.fault});
        try {
            com::invoke(&outlook, L"AddStore", DISPATCH_METHOD, std::wstring_view(L"C:\\x.pst"));
            ADD_FAILURE() << "no error raised";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), kErrAutomation);
            EXPECT_EQ(e.hresult(), c.code);
            if (c.description) {
                EXPECT_NE(e.description().find(c.description), std::wstring::npos);
            }
        }
        EXPECT_EQ(outlook.live, 0);
    }
}

}  // namespace
}  // namespace pelorin::outlook
