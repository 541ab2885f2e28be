// A folder read once and split into its subfolders and its files, shared by
// the two platform file systems. The scanner opens every folder twice, once
// for its subfolders and once for its files; the one-entry cache hands the
// second opening the listing of the first, so the disk is read once.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scan/filesystem.h"

namespace pelorin::scan {

struct FolderListing {
    std::vector<std::wstring> subFolders;
    std::vector<std::wstring> files;
};

using ListFunction = FolderListing (*)(const std::wstring& path);

// A folder whose listing is in hand. When the folder is the listing's only
// holder, each part is handed over rather than copied (a folder of the
// scan holds up to hundreds of thousands of names); a part asked for again
// after that is read from the disk afresh.
class ListedFolder final : public Folder {
public:
    ListedFolder(std::wstring path, std::shared_ptr<FolderListing> listing, ListFunction list)
        : path_(std::move(path)), listing_(std::move(listing)), list_(list) {}
    std::vector<std::wstring> subFolders() override {
        return take(&FolderListing::subFolders, subFoldersTaken_);
    }
    std::vector<std::wstring> files() override { return take(&FolderListing::files, filesTaken_); }

private:
    std::vector<std::wstring> take(std::vector<std::wstring> FolderListing::*part, bool& taken) {
        if (taken) return list_(path_).*part;
        if (listing_.use_count() != 1) return (*listing_).*part;
        taken = true;
        return std::move((*listing_).*part);
    }

    std::wstring path_;
    std::shared_ptr<FolderListing> listing_;
    ListFunction list_;
    bool subFoldersTaken_ = false;
    bool filesTaken_ = false;
};

// Remembers the last listing made; the next opening of the same path takes
// it (once), any other opening lists afresh.
class ListingCache {
public:
    std::unique_ptr<Folder> open(const std::wstring& path, ListFunction list) {
        if (listing_ && path == path_) {
            auto listing = std::move(listing_);
            path_.clear();
            return std::make_unique<ListedFolder>(path, std::move(listing), list);
        }
        listing_.reset();
        auto listing = std::make_shared<FolderListing>(list(path));
        path_ = path;
        listing_ = listing;
        return std::make_unique<ListedFolder>(path, std::move(listing), list);
    }

private:
    std::wstring path_;
    std::shared_ptr<FolderListing> listing_;
};

}  // namespace pelorin::scan
