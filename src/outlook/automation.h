// Late-bound automation, reduced to what talking to Outlook needs: create an
// object by ProgID on the local machine, read its properties, and call its
// members by name with a text or object argument. Win32: automation_win.cpp
// (CoCreateInstance + IDispatch by name). Tests script it. Every failure
// raises pelorin::Error carrying the HRESULT.
#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace pelorin::outlook {

// An argument of AutoObject::callArgs: a text, a yes/no, or an optional
// one left out.
struct Omitted {};
using Argument = std::variant<std::wstring, bool, Omitted>;

class AutoObject {
public:
    virtual ~AutoObject() = default;  // releases the object
    // A property or a member without arguments that returns an object
    // (Stores, DefaultStore, GetRootFolder).
    virtual std::unique_ptr<AutoObject> getObject(const std::wstring& member) = 0;
    // A member with one text argument that returns an object (GetNamespace("MAPI")).
    virtual std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                                   const std::wstring& arg) = 0;
    // Item(index) of a collection, 1-based.
    virtual std::unique_ptr<AutoObject> item(long index) = 0;
    // Every element of a collection in order, as For Each gives them; here
    // through Count and Item(i).
    virtual std::vector<std::unique_ptr<AutoObject>> elements() {
        std::vector<std::unique_ptr<AutoObject>> out;
        const long count = getInteger(L"Count");
        for (long i = 1; i <= count; ++i) out.push_back(item(i));
        return out;
    }
    virtual std::wstring getText(const std::wstring& member) = 0;
    virtual long getInteger(const std::wstring& member) = 0;
    // Members whose result is not read: AddStore(path), RemoveStore(folder).
    virtual void call(const std::wstring& member, const std::wstring& arg) = 0;
    virtual void callWith(const std::wstring& member, AutoObject& arg) = 0;
    // A member with several arguments whose result is not read
    // (Logon(profile, , False, True)).
    virtual void callArgs(const std::wstring& member, const std::vector<Argument>& args) = 0;
};

// How a call that a busy Outlook refused (RPC_E_CALL_REJECTED,
// RPC_E_SERVERCALL_RETRYLATER) is tried again: every `interval` until
// `limit` has passed since the first try. Off: the refusal is raised at once.
// A call Outlook accepted but does not answer (it shows a prompt) is given
// up after `waitLimit` (zero: never), and looked at every `waitCheck` by the
// thread's WaitWatcher (outlook/call_wait.h), when one is set.
struct CallRetry {
    bool enabled = true;
    std::chrono::milliseconds interval{250};
    std::chrono::milliseconds limit{60000};
    std::chrono::milliseconds waitLimit{0};
    std::chrono::milliseconds waitCheck{250};
};

class Automation {
public:
    virtual ~Automation() = default;
    virtual std::unique_ptr<AutoObject> create(const std::wstring& progId) = 0;
    // Whether the program of the ProgID runs already (it has registered its
    // object as the active one). An automation that cannot tell says no.
    virtual bool running(const std::wstring& progId) {
        (void)progId;
        return false;
    }
};

}  // namespace pelorin::outlook
