// Late-bound automation, reduced to what the attach run needs: create an
// object by ProgID on the local machine, and call a member by name with one
// text argument. Win32: automation_win.cpp (CoCreateInstance + IDispatch by
// name). Tests script it. Every failure raises pelorin::Error carrying the
// HRESULT.
#pragma once
#include <memory>
#include <string>

namespace pelorin::outlook {

class AutoObject {
public:
    virtual ~AutoObject() = default;  // releases the object
    // Calls a member that returns an object (GetNamespace("MAPI")).
    virtual std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                                   const std::wstring& arg) = 0;
    // Calls a member whose result is not read (AddStore(path)).
    virtual void call(const std::wstring& member, const std::wstring& arg) = 0;
};

class Automation {
public:
    virtual ~Automation() = default;
    virtual std::unique_ptr<AutoObject> create(const std::wstring& progId) = 0;
};

}  // namespace pelorin::outlook
