// ListingPool: lists folders ahead of the scanner on a few worker threads.
// Folders are requested in the order the scanner will reach them; at most a
// window of them is listed (or held listed) ahead, so the memory it holds
// stays bounded however large the tree. The scanner takes each listing when
// it reaches the folder; a listing that failed raises its failure then, on
// the scanner's thread. The workers touch nothing but the list function.
// They start only when asked to: until then (and for any folder no worker
// has reached yet) take() lists the folder on the caller's thread.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "scan/filesystem.h"

namespace pelorin::scan {

class ListingPool {
public:
    ListingPool(Lister list, int threads);
    ~ListingPool();  // stops the workers and waits for each to end
    ListingPool(const ListingPool&) = delete;
    ListingPool& operator=(const ListingPool&) = delete;

    // Queues a folder for listing.
    void request(const std::wstring& path);
    // Starts the workers (once).
    void start();
    // Waits up to `wait` for the folder's listing: true once it is done, or
    // when the folder was never requested (nothing to wait for).
    bool ready(const std::wstring& path, std::chrono::milliseconds wait);
    // Hands over the folder's listing, waiting for it if need be, or raises
    // the failure of listing it; nothing when it was never requested.
    std::optional<FolderListing> take(const std::wstring& path);

private:
    struct Job {
        std::wstring path;
        bool started = false;
        bool done = false;
        FolderListing listing;
        std::exception_ptr failure;
    };
    using JobRef = std::shared_ptr<Job>;

    void work();
    JobRef nextJob();                             // under the lock; null when nothing may start
    JobRef find(const std::wstring& path) const;  // under the lock

    Lister list_;
    const int threads_;
    const std::size_t window_;
    std::mutex mutex_;
    std::condition_variable workWaiting_;  // a folder may start: workers wait here
    std::condition_variable listingDone_;  // the scanner waits here
    std::deque<JobRef> jobs_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

}  // namespace pelorin::scan
