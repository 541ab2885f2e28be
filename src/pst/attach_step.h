// One file's way into Outlook's profile, for the window's attach run and for
// any other program that attaches files: the file is checked again (an
// existing file, not a folder, through the same file-system service as Add
// File), a name Windows would trim is refused, a file already in the profile
// is not sent again, and only then is it handed to AddStore; afterwards the
// profile must list it. Outlook makes a new, empty PST for a path that does
// not exist, so a file that went missing must never reach it.
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include "outlook/session.h"
#include "scan/filesystem.h"

namespace pelorin::pst {

// What two spellings of one file have in common: on Windows the volume and
// file ID when the file can be opened, else the full path upper-cased, with
// no \\?\ prefix; elsewhere the path lower-cased.
std::wstring fileKey(const std::wstring& path);

// Whether two paths name the same file (their keys are equal).
bool sameFile(const std::wstring& a, const std::wstring& b);

// What two spellings of one path have in common, without opening the file:
// the full path case-folded, with no \\?\ prefix.
std::wstring pathKey(const std::wstring& path);

// Why the path must not reach AddStore though the file exists: a name in it
// ends in a space or a dot, which a plain Windows path loses (AddStore would
// open another file, or make a new one). Empty: none.
std::wstring nameRefusal(const std::wstring& path);

// The file stores of the profile, read once at the start of a run and
// extended with every file the run adds; looked up by their keys' hash. A
// path the profile holds as it is spelled is found without opening a file;
// only for another spelling are the files opened for their keys, each once.
class ProfileFiles {
public:
    explicit ProfileFiles(const std::vector<std::wstring>& paths);
    bool contains(const std::wstring& path) const;
    void add(const std::wstring& path);

private:
    std::vector<std::wstring> paths_;  // every file, for their keys when first needed
    std::unordered_set<std::wstring> pathKeys_;
    mutable std::unordered_set<std::wstring> fileKeys_;
    mutable bool fileKeysRead_ = false;
};

enum class AttachOutcome { Added, AlreadyInProfile };

// The reason of an AddStore that answered success while the profile's
// stores do not list the file.
inline constexpr wchar_t kNotAdded[] = L"Outlook did not add the file";

// Raises pelorin::Error: kErrFileNotFound (HRESULT of a missing file) when
// the path is no existing file; kErrBadFileName with nameRefusal's text;
// kErrAutomation with kNotAdded; else Outlook's own failure.
AttachOutcome attachFile(scan::FileSystem& files, outlook::OutlookSession& outlook,
                         ProfileFiles& profile, const std::wstring& path);

}  // namespace pelorin::pst
