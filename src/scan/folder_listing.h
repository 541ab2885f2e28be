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

class ListedFolder final : public Folder {
public:
    explicit ListedFolder(std::shared_ptr<const FolderListing> listing)
        : listing_(std::move(listing)) {}
    std::vector<std::wstring> SubFolders() override { return listing_->subFolders; }
    std::vector<std::wstring> Files() override { return listing_->files; }

private:
    std::shared_ptr<const FolderListing> listing_;
};

// Remembers the last listing made; the next opening of the same path takes
// it (once), any other opening lists afresh.
class ListingCache {
public:
    template <class ListFn>
    std::unique_ptr<Folder> open(const std::wstring& path, ListFn&& list) {
        if (listing_ && path == path_) {
            auto listing = std::move(listing_);
            listing_.reset();
            path_.clear();
            return std::make_unique<ListedFolder>(std::move(listing));
        }
        listing_.reset();
        auto listing = std::make_shared<FolderListing>(list(path));
        path_ = path;
        listing_ = listing;
        return std::make_unique<ListedFolder>(std::move(listing));
    }

private:
    std::wstring path_;
    std::shared_ptr<const FolderListing> listing_;
};

}  // namespace pelorin::scan
