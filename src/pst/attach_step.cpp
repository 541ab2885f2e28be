#include "pst/attach_step.h"

#include "base/error.h"
#include "outlook/failure_text.h"

namespace pelorin::pst {

namespace {

// The path's names, after a \\?\ or \\?\UNC\ prefix and a drive.
std::vector<std::wstring> namesOf(const std::wstring& path) {
    std::size_t start = 0;
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        start = 8;
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        start = 4;
    std::vector<std::wstring> names;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = path.size();
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

bool sameFile(const std::wstring& a, const std::wstring& b) { return fileKey(a) == fileKey(b); }

std::wstring nameRefusal(const std::wstring& path) {
    const std::vector<std::wstring> names = namesOf(path);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::wstring& name = names[i];
        if (name.empty() || name == L"." || name == L".." || name.back() == L':') continue;
        if (name.back() != L' ' && name.back() != L'.') continue;
        return i + 1 == names.size()
                   ? L"the name ends in a space or a dot; rename the file"
                   : L"a folder's name ends in a space or a dot; rename the folder";
    }
    return {};
}

ProfileFiles::ProfileFiles(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) add(path);
}

bool ProfileFiles::contains(const std::wstring& path) const {
    if (pathKeys_.count(pathKey(path)) > 0) return true;
    if (!fileKeysRead_) {
        for (const std::wstring& known : paths_) fileKeys_.insert(fileKey(known));
        fileKeysRead_ = true;
    }
    return fileKeys_.count(fileKey(path)) > 0;
}

void ProfileFiles::add(const std::wstring& path) {
    paths_.push_back(path);
    pathKeys_.insert(pathKey(path));
    if (fileKeysRead_) fileKeys_.insert(fileKey(path));
}

AttachOutcome attachFile(scan::FileSystem& files, outlook::OutlookSession& outlook,
                         ProfileFiles& profile, const std::wstring& path) {
    try {
        files.fileLength(path);
    } catch (const Error&) {
        throw Error(kErrFileNotFound, L"The file does not exist, or it is a folder.",
                    outlook::kHrFileNotFound);
    }
    if (std::wstring refusal = nameRefusal(path); !refusal.empty())
        throw Error(kErrBadFileName, refusal);
    if (profile.contains(path)) return AttachOutcome::AlreadyInProfile;
    const long before = outlook.lastStoreCount();
    outlook.addStore(path);
    const auto same = [&](const std::wstring& p) { return sameFile(p, path); };
    if (outlook.listsStore(before, same) == outlook::OutlookSession::Listed::No)
        throw Error(kErrAutomation, kNotAdded);
    profile.add(path);
    return AttachOutcome::Added;
}

}  // namespace pelorin::pst
