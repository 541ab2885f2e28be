// Outlook scripted in memory, for the attach run's tests: every call goes
// into a log ("create Outlook.Application", "GetNamespace MAPI", "AddStore
// <path>", "release <object>"), the profile's stores are a list of paths,
// and a call whose log entry is a key of `failures` raises that failure.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "outlook/automation.h"

namespace pelorin::test {

// An automation object whose every member raises "member not found": fakes
// override only what they serve.
class StubObject : public outlook::AutoObject {
public:
    std::unique_ptr<AutoObject> getObject(const std::wstring& member) override;
    std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                           const std::wstring& arg) override;
    std::unique_ptr<AutoObject> item(long index) override;
    std::wstring getText(const std::wstring& member) override;
    long getInteger(const std::wstring& member) override;
    void call(const std::wstring& member, const std::wstring& arg) override;
    void callWith(const std::wstring& member, AutoObject& arg) override;
    void callArgs(const std::wstring& member, const std::vector<outlook::Argument>& args) override;
};

struct Failure {
    std::int32_t hresult;
    std::wstring description;
};

class ScriptedOutlook final : public outlook::Automation {
public:
    std::vector<std::wstring> log;
    std::vector<std::wstring> stores;  // FilePath of each store; empty = none
    std::map<std::wstring, Failure> failures;
    bool storesFail = false;
    int alive = 0;                // objects handed out and not yet released
    bool addedStoresJoin = true;  // AddStore puts the path into `stores`
    // Runs inside each call, after its log entry: the time it waits on Outlook.
    std::function<void(const std::wstring& entry)> during;
    // The application's DefaultProfileName; empty: the user has no profile.
    std::wstring defaultProfileName = L"Outlook";
    // Outlook runs already (running() says so), and the profile it has open
    // (CurrentProfileName); Logon, logged "Logon NAME", opens NAME unless
    // Outlook was running.
    bool runs = false;
    std::wstring openProfile = L"Outlook";

    // Fails the call with this log entry like a refused AddStore.
    void failOn(const std::wstring& entry, std::int32_t hresult = -2147352567,
                std::wstring description = L"refused") {
        failures[entry] = {hresult, std::move(description)};
    }
    // The log entries naming AddStore or Stores, in order.
    std::vector<std::wstring> calls(const std::wstring& prefix) const;

    void step(const std::wstring& entry);
    std::unique_ptr<outlook::AutoObject> create(const std::wstring& progId) override;
    bool running(const std::wstring&) override { return runs; }
};

}  // namespace pelorin::test
