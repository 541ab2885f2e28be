// One file's way into Outlook's profile, for the window's attach run and for
// any other program that attaches files: the file is checked again (an
// existing file, not a folder, through the same file-system service as Add
// File), a file already in the profile is not sent again, and only then is
// it handed to AddStore. Outlook makes a new, empty PST for a path that does
// not exist, so a file that went missing must never reach it.
#pragma once
#include <string>
#include <vector>

#include "outlook/session.h"
#include "scan/filesystem.h"

namespace pelorin::pst {

// Whether two paths name the same file: on Windows both made full and
// compared without regard to case; elsewhere compared without regard to case.
bool sameFile(const std::wstring& a, const std::wstring& b);

// The file stores of the profile, read once at the start of a run and
// extended with every file the run adds.
class ProfileFiles {
public:
    explicit ProfileFiles(std::vector<std::wstring> paths) : paths_(std::move(paths)) {}
    bool contains(const std::wstring& path) const;
    void add(const std::wstring& path) { paths_.push_back(path); }

private:
    std::vector<std::wstring> paths_;
};

enum class AttachOutcome { Added, AlreadyInProfile };

// Raises pelorin::Error: kErrFileNotFound (HRESULT of a missing file) when
// the path is no existing file, else Outlook's own failure.
AttachOutcome attachFile(scan::FileSystem& files, outlook::OutlookSession& outlook,
                         ProfileFiles& profile, const std::wstring& path);

}  // namespace pelorin::pst
