// Outlook reached the way a script reaches it: the ProgID looked up on the
// local machine, the object created out of process, every member called by
// name through IDispatch. No type library, no Outlook version assumed.
#include "outlook/automation_win.h"

#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <array>
#include <cstdint>
#include <unordered_map>

#include "outlook/com_win.h"
#include "outlook/failure_text.h"
#include "outlook/message_filter_win.h"

namespace pelorin::outlook {

namespace {

using Microsoft::WRL::ComPtr;

// What every object of one application shares: the retry rule, the message
// filter (registered until the last of them is released) and the DISPIDs
// learnt, by kind of object and member name.
struct Shared {
    CallRetry retry;
    std::unique_ptr<MessageFilterScope> filter;
    std::unordered_map<std::wstring, DISPID> ids;
};

class ComObject final : public AutoObject {
public:
    // `kind` says how the object was reached (the ProgID, then each member
    // on the way): objects reached the same way are of one interface.
    ComObject(ComPtr<IDispatch> object, std::shared_ptr<Shared> shared, std::wstring kind)
        : object_(std::move(object)), shared_(std::move(shared)), kind_(std::move(kind)) {}
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    // Before the filter goes. Releasing is a call Outlook answers too: its
    // wait is watched like any other.
    ~ComObject() override {
        if (!shared_->filter) {
            object_.Reset();
            return;
        }
        const auto watch = shared_->filter->call();
        object_.Reset();
    }

    std::unique_ptr<AutoObject> getObject(const std::wstring& member) override {
        return objectOf(run(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET), member);
    }
    std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                           const std::wstring& arg) override {
        com::Variant a(arg);
        return objectOf(run(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &a, 1), member);
    }
    std::unique_ptr<AutoObject> item(long index) override {
        com::Variant a(index);
        return objectOf(run(L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, &a, 1), L"Item");
    }
    // For Each: the collection's enumerator hands out many elements a call.
    // A collection without one is read through Count and Item(i).
    std::vector<std::unique_ptr<AutoObject>> elements() override {
        ComPtr<IEnumVARIANT> items;
        try {
            com::Variant e = watched([&] {
                return com::invokeId(object_.Get(), DISPID_NEWENUM, L"_NewEnum",
                                     DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
                                     &shared_->retry);
            });
            if ((e.vt() == VT_UNKNOWN || e.vt() == VT_DISPATCH) && e.get()->punkVal)
                e.get()->punkVal->QueryInterface(IID_PPV_ARGS(&items));
        } catch (const Error& error) {
            if (isStoppedWait(error)) throw;
        }
        if (!items) return AutoObject::elements();
        std::vector<std::unique_ptr<AutoObject>> out;
        for (HRESULT hr = S_OK; hr == S_OK;) {
            constexpr ULONG kBatch = 100;
            std::array<VARIANT, kBatch> batch;
            for (VARIANT& v : batch) ::VariantInit(&v);
            ULONG got = 0;
            hr = watched([&] {
                return com::retryWhileBusy(&shared_->retry,
                                           [&] { return items->Next(kBatch, batch.data(), &got); });
            });
            com::check(hr, L"_NewEnum");
            if (got > kBatch) com::raise(E_UNEXPECTED, L"_NewEnum: too many elements");
            std::vector<com::Variant> owned(got);
            for (ULONG i = 0; i < got; ++i) *owned[i].put() = batch[i];
            for (com::Variant& v : owned) out.push_back(objectOf(std::move(v), L"Item"));
            if (got == 0) break;
        }
        return out;
    }
    std::wstring getText(const std::wstring& member) override {
        com::Variant v = run(member, DISPATCH_PROPERTYGET);
        com::check(::VariantChangeType(v.get(), v.get(), 0, VT_BSTR), member);
        return com::Bstr::copyOf(v.get()->bstrVal);
    }
    long getInteger(const std::wstring& member) override {
        com::Variant v = run(member, DISPATCH_PROPERTYGET);
        com::check(::VariantChangeType(v.get(), v.get(), 0, VT_I4), member);
        return v.get()->lVal;
    }
    void call(const std::wstring& member, const std::wstring& arg) override {
        com::Variant a(arg);
        run(member, DISPATCH_METHOD, &a, 1);
    }
    void callWith(const std::wstring& member, AutoObject& arg) override {
        auto* other = dynamic_cast<ComObject*>(&arg);
        if (!other)
            com::raise(E_INVALIDARG, member + L": the argument is not an automation object");
        com::Variant a(other->object_.Get());
        run(member, DISPATCH_METHOD, &a, 1);
    }
    void callArgs(const std::wstring& member, const std::vector<Argument>& args) override {
        std::vector<com::Variant> values;
        for (const Argument& arg : args) {
            if (const auto* text = std::get_if<std::wstring>(&arg))
                values.emplace_back(*text);
            else if (const auto* yes = std::get_if<bool>(&arg))
                values.push_back(com::Variant::boolean(*yes));
            else
                values.push_back(com::Variant::omitted());
        }
        run(member, DISPATCH_METHOD, values.data(), static_cast<unsigned>(values.size()));
    }

private:
    com::Variant run(const std::wstring& member, WORD flags, com::Variant* args = nullptr,
                     unsigned count = 0) {
        return watched([&] { return send(member, flags, args, count); });
    }

    // The call, with the thread's message filter watching its wait.
    template <class Call>
    auto watched(Call&& call) -> decltype(call()) {
        if (!shared_->filter) return call();
        const auto watch = shared_->filter->call();
        return call();
    }

    // A member's DISPID is asked for once per kind of object, as an
    // interface's DISPIDs are fixed. Should an object not know a DISPID
    // learnt from another of its kind, it is asked for its own.
    com::Variant send(const std::wstring& member, WORD flags, com::Variant* args, unsigned count) {
        const std::wstring key = kind_ + L"|" + member;
        const auto found = shared_->ids.find(key);
        const bool known = found != shared_->ids.end();
        const DISPID id = known ? found->second : com::idOf(object_.Get(), member, &shared_->retry);
        if (!known) shared_->ids.emplace(key, id);
        try {
            return com::invokeId(object_.Get(), id, member, flags, args, count, &shared_->retry);
        } catch (const Error& e) {
            if (!known || e.hresult() != static_cast<std::int32_t>(DISP_E_MEMBERNOTFOUND)) throw;
        }
        return com::invokeArgs(object_.Get(), member, flags, args, count, &shared_->retry);
    }

    std::unique_ptr<AutoObject> objectOf(com::Variant result, const std::wstring& member) {
        ComPtr<IDispatch> object;
        if (result.vt() == VT_DISPATCH && result.get()->pdispVal) {
            object = result.get()->pdispVal;
        } else if (result.vt() == VT_UNKNOWN && result.get()->punkVal) {
            com::check(result.get()->punkVal->QueryInterface(IID_PPV_ARGS(&object)), member);
        } else {
            com::raise(DISP_E_TYPEMISMATCH, member + L": the result is not an object");
        }
        return std::make_unique<ComObject>(std::move(object), shared_, kind_ + L"." + member);
    }

    ComPtr<IDispatch> object_;
    std::shared_ptr<Shared> shared_;
    std::wstring kind_;
};

class ComAutomation final : public Automation {
public:
    explicit ComAutomation(CallRetry retry) : retry_(retry) {}

    // Objects made while others of this automation live share their filter:
    // a second filter registered over the first would be unregistered with
    // the first, leaving the later calls with none (no retry, no cancel).
    std::unique_ptr<AutoObject> create(const std::wstring& progId) override {
        std::shared_ptr<Shared> shared = shared_.lock();
        if (!shared) {
            shared = std::make_shared<Shared>();
            shared->retry = retry_;
            if (retry_.enabled) shared->filter = std::make_unique<MessageFilterScope>(retry_);
            shared_ = shared;
        }
        CLSID clsid{};
        com::check(::CLSIDFromProgID(progId.c_str(), &clsid), progId);
        ComPtr<IDispatch> object;
        com::check(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object)),
                   progId);
        return std::make_unique<ComObject>(std::move(object), std::move(shared), progId);
    }

    // Outlook registers its application as the active object while it runs.
    bool running(const std::wstring& progId) override {
        CLSID clsid{};
        ComPtr<IUnknown> active;
        return SUCCEEDED(::CLSIDFromProgID(progId.c_str(), &clsid)) &&
               SUCCEEDED(::GetActiveObject(clsid, nullptr, &active));
    }

private:
    CallRetry retry_;
    std::weak_ptr<Shared> shared_;
};

}  // namespace

std::unique_ptr<Automation> makeComAutomation(CallRetry retry) {
    return std::make_unique<ComAutomation>(retry);
}

std::unique_ptr<AutoObject> wrapDispatch(IDispatch* object) {
    return std::make_unique<ComObject>(ComPtr<IDispatch>(object), std::make_shared<Shared>(),
                                       L"wrapped");
}

}  // namespace pelorin::outlook
