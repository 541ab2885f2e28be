// Outlook reached the way a script reaches it: the ProgID looked up on the
// local machine, the object created out of process, every member called by
// name through IDispatch. No type library, no Outlook version assumed.
#include "outlook/automation_win.h"

#include <objbase.h>
#include <wrl/client.h>

#include "outlook/com_win.h"

namespace pelorin::outlook {

namespace {

using Microsoft::WRL::ComPtr;

class ComObject final : public AutoObject {
public:
    explicit ComObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                           const std::wstring& arg) override {
        com::Variant result = com::invoke(object_.Get(), member,
                                          DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                          std::wstring_view(arg));
        ComPtr<IDispatch> object;
        if (result.vt() == VT_DISPATCH && result.get()->pdispVal) {
            object = result.get()->pdispVal;
        } else if (result.vt() == VT_UNKNOWN && result.get()->punkVal) {
            com::check(result.get()->punkVal->QueryInterface(IID_PPV_ARGS(&object)), member);
        } else {
            com::raise(DISP_E_TYPEMISMATCH, member + L": the result is not an object");
        }
        return std::make_unique<ComObject>(std::move(object));
    }

    void call(const std::wstring& member, const std::wstring& arg) override {
        com::invoke(object_.Get(), member, DISPATCH_METHOD, std::wstring_view(arg));
    }

private:
    ComPtr<IDispatch> object_;
};

class ComAutomation final : public Automation {
public:
    std::unique_ptr<AutoObject> create(const std::wstring& progId) override {
        CLSID clsid{};
        com::check(::CLSIDFromProgID(progId.c_str(), &clsid), progId);
        ComPtr<IDispatch> object;
        com::check(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object)),
                   progId);
        return std::make_unique<ComObject>(std::move(object));
    }
};

}  // namespace

std::unique_ptr<Automation> makeComAutomation() { return std::make_unique<ComAutomation>(); }

std::unique_ptr<AutoObject> wrapDispatch(IDispatch* object) {
    return std::make_unique<ComObject>(ComPtr<IDispatch>(object));
}

}  // namespace pelorin::outlook
