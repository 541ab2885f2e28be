#include "support/scripted_outlook.h"

#include "base/error.h"

namespace pelorin::test {

namespace {

constexpr std::int32_t kMemberNotFound = static_cast<std::int32_t>(0x80020003);

[[noreturn]] void notFound(const std::wstring& member) {
    throw Error(kErrAutomation, member + L": member not found", kMemberNotFound);
}

class Object final : public StubObject {
public:
    Object(ScriptedOutlook& o, std::wstring name, long index = 0)
        : o_(o), name_(std::move(name)), index_(index) {
        ++o_.alive;
    }
    ~Object() override {
        --o_.alive;
        o_.log.push_back(L"release " + name_);
    }

    std::unique_ptr<AutoObject> getObject(const std::wstring& member) override {
        if (name_ != L"MAPI" || member != L"Stores") notFound(member);
        o_.step(L"Stores");
        if (o_.storesFail) throw Error(kErrAutomation, L"Stores failed", -2147467259);
        return std::make_unique<Object>(o_, L"Stores");
    }
    std::unique_ptr<AutoObject> callObject(const std::wstring& member,
                                           const std::wstring& arg) override {
        o_.step(member + L" " + arg);
        return std::make_unique<Object>(o_, arg);
    }
    std::unique_ptr<AutoObject> item(long index) override {
        return std::make_unique<Object>(o_, L"store " + std::to_wstring(index), index);
    }
    std::wstring getText(const std::wstring& member) override {
        if (name_ == L"application" && member == L"DefaultProfileName") {
            o_.step(member);
            return o_.defaultProfileName;
        }
        if (name_ == L"MAPI" && member == L"CurrentProfileName") {
            o_.step(member);
            return o_.openProfile;
        }
        const std::wstring& path = o_.stores.at(static_cast<size_t>(index_ - 1));
        if (member != L"FilePath" || path.empty()) notFound(member);
        return path;
    }
    long getInteger(const std::wstring& member) override {
        if (member != L"Count") notFound(member);
        return static_cast<long>(o_.stores.size());
    }
    void call(const std::wstring& member, const std::wstring& arg) override {
        o_.step(member + L" " + arg);
        if (member == L"AddStore" && o_.addedStoresJoin) o_.stores.push_back(arg);
    }
    void callArgs(const std::wstring& member, const std::vector<outlook::Argument>& args) override {
        const std::wstring* profile = std::get_if<std::wstring>(&args.at(0));
        if (member != L"Logon" || !profile) notFound(member);
        o_.step(member + L" " + *profile);
        if (!o_.runs) o_.openProfile = *profile;
    }

private:
    ScriptedOutlook& o_;
    std::wstring name_;
    long index_;
};

}  // namespace

std::unique_ptr<outlook::AutoObject> StubObject::getObject(const std::wstring& m) { notFound(m); }
std::unique_ptr<outlook::AutoObject> StubObject::callObject(const std::wstring& m,
                                                            const std::wstring&) {
    notFound(m);
}
std::unique_ptr<outlook::AutoObject> StubObject::item(long) { notFound(L"Item"); }
std::wstring StubObject::getText(const std::wstring& m) { notFound(m); }
long StubObject::getInteger(const std::wstring& m) { notFound(m); }
void StubObject::call(const std::wstring& m, const std::wstring&) { notFound(m); }
void StubObject::callWith(const std::wstring& m, AutoObject&) { notFound(m); }
void StubObject::callArgs(const std::wstring& m, const std::vector<outlook::Argument>&) {
    notFound(m);
}

std::vector<std::wstring> ScriptedOutlook::calls(const std::wstring& prefix) const {
    std::vector<std::wstring> out;
    for (const auto& entry : log)
        if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
    return out;
}

void ScriptedOutlook::step(const std::wstring& entry) {
    log.push_back(entry);
    if (during) during(entry);
    const auto it = failures.find(entry);
    if (it != failures.end())
        throw Error(kErrAutomation, it->second.description, it->second.hresult);
}

std::unique_ptr<outlook::AutoObject> ScriptedOutlook::create(const std::wstring& progId) {
    step(L"create " + progId);
    return std::make_unique<Object>(*this, L"application");
}

}  // namespace pelorin::test
