// Folder listings in hand, shared by the two platform file systems. The
// scanner opens every folder twice, once for its subfolders and once for its
// files; the one-entry cache hands the second opening the listing of the
// first, so the disk is read once. The first opening takes the listing the
// pool made ahead when there is one.
#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scan/filesystem.h"
#include "scan/listing_pool.h"

namespace pelorin::scan {

// A folder whose listing is in hand. When the folder is the listing's only
// holder, each part is handed over rather than copied (a folder of the
// scan holds up to hundreds of thousands of names); a part asked for again
// after that is read from the disk afresh.
class ListedFolder final : public Folder {
public:
    ListedFolder(std::wstring path, std::shared_ptr<FolderListing> listing, Lister list)
        : path_(std::move(path)), listing_(std::move(listing)), list_(std::move(list)) {}
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
    Lister list_;
    bool subFoldersTaken_ = false;
    bool filesTaken_ = false;
};

// Remembers the last listing made; the next opening of the same path takes
// it (once), any other opening takes the pool's listing or lists afresh.
class ListingCache {
public:
    explicit ListingCache(ListingSetup setup)
        : list_(std::move(setup.list)),
          pool_(setup.threads > 0 ? std::make_unique<ListingPool>(list_, tuning(setup)) : nullptr) {
    }

    void listAhead(const std::wstring& path) {
        if (pool_) pool_->request(path);
    }
    bool ready(const std::wstring& path, std::chrono::milliseconds wait) {
        return !pool_ || pool_->ready(path, wait);
    }

    std::unique_ptr<Folder> open(const std::wstring& path) {
        if (listing_ && path == path_) {
            auto listing = std::move(listing_);
            path_.clear();
            return std::make_unique<ListedFolder>(path, std::move(listing), list_);
        }
        listing_.reset();
        auto listing = std::make_shared<FolderListing>(listNow(path));
        path_ = path;
        listing_ = listing;
        return std::make_unique<ListedFolder>(path, std::move(listing), list_);
    }

private:
    static PoolTuning tuning(const ListingSetup& setup) {
        PoolTuning tuning;
        tuning.threads = setup.threads;
        return tuning;
    }
    FolderListing listNow(const std::wstring& path) {
        std::optional<FolderListing> listing = pool_ ? pool_->take(path) : std::nullopt;
        return listing ? std::move(*listing) : list_(path);
    }

    Lister list_;
    std::unique_ptr<ListingPool> pool_;
    std::wstring path_;
    std::shared_ptr<FolderListing> listing_;
};

// What the platform file systems share: folders are opened through the
// listing cache, whose pool lists the folders named ahead.
class CachedFileSystem : public FileSystem {
public:
    explicit CachedFileSystem(ListingSetup setup) : cache_(std::move(setup)) {}

    std::unique_ptr<Folder> openFolder(const std::wstring& path) override {
        return cache_.open(path);
    }
    void listAhead(const std::wstring& path) override { cache_.listAhead(path); }
    bool listingReady(const std::wstring& path, std::chrono::milliseconds wait) override {
        return cache_.ready(path, wait);
    }

private:
    ListingCache cache_;
};

}  // namespace pelorin::scan
