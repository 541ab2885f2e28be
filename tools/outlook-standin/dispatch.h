// IDispatch written by hand: a small table of member names, no type library.
// Every live object keeps the server process alive; when the last one goes,
// the server's message loop ends.
#pragma once
#include <oaidl.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace standin {

// The server's object count; reaching zero ends the message loop.
void lockServer();
void unlockServer();

// The calls the server's objects answered, for count-calls.
struct CallCounts {
    unsigned long names = 0;    // GetIDsOfNames
    unsigned long invokes = 0;  // Invoke
    unsigned long nexts = 0;    // IEnumVARIANT::Next
};
CallCounts& callCounts();

struct Member {
    const wchar_t* name;
    DISPID id;
    WORD flags;  // DISPATCH_METHOD and/or DISPATCH_PROPERTYGET
};

// Arguments of one call, read left to right; a refusal is raised as a
// Refusal and turned into DISP_E_EXCEPTION with its description.
class Args {
public:
    Args(DISPPARAMS* params, UINT* argErr) : params_(params), argErr_(argErr) {}
    HRESULT expect(unsigned count) const;
    // For members whose arguments are all optional: no more than `count`.
    HRESULT atMost(unsigned count) const;
    // Whether the argument was passed (not left out).
    bool given(unsigned index) const;
    HRESULT boolean(unsigned index, bool& out) const;
    HRESULT text(unsigned index, std::wstring& out) const;
    HRESULT integer(unsigned index, long& out) const;
    // A root folder of this server's stores: its file path. Anything else,
    // a text included, is a type mismatch (as in Outlook).
    HRESULT rootFolder(unsigned index, std::wstring& path) const;

private:
    VARIANT* at(unsigned index) const { return &params_->rgvarg[params_->cArgs - 1 - index]; }
    DISPPARAMS* params_;
    UINT* argErr_;
};

struct Refusal {
    HRESULT code;
    std::wstring description;
};

class DispatchObject : public IDispatch {
public:
    DispatchObject(std::initializer_list<Member> members);
    virtual ~DispatchObject();
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* error, UINT* argErr) override;

protected:
    // One member call; the flags were already checked against the table.
    // Throws Refusal to fail with a description.
    virtual HRESULT call(DISPID id, const Args& args, VARIANT* result) = 0;

private:
    LONG refs_ = 1;
    std::vector<Member> members_;
};

// Result helpers: a result pointer may be null when the caller ignores it.
HRESULT returnText(VARIANT* result, const std::wstring& text);
HRESULT returnInteger(VARIANT* result, long value);
HRESULT returnObject(VARIANT* result, IDispatch* object);  // takes the reference

}  // namespace standin
