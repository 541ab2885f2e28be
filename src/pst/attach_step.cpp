#include "pst/attach_step.h"

#include <algorithm>

#include "base/error.h"
#include "outlook/failure_text.h"

namespace pelorin::pst {

bool ProfileFiles::contains(const std::wstring& path) const {
    return std::any_of(paths_.begin(), paths_.end(),
                       [&](const std::wstring& p) { return sameFile(p, path); });
}

AttachOutcome attachFile(scan::FileSystem& files, outlook::OutlookSession& outlook,
                         ProfileFiles& profile, const std::wstring& path) {
    try {
        files.fileLength(path);
    } catch (const Error&) {
        throw Error(kErrFileNotFound, L"The file does not exist, or it is a folder.",
                    outlook::kHrFileNotFound);
    }
    if (profile.contains(path)) return AttachOutcome::AlreadyInProfile;
    outlook.addStore(path);
    profile.add(path);
    return AttachOutcome::Added;
}

}  // namespace pelorin::pst
