// ListingPool: lists folders ahead of the scanner on a few worker threads.
// Folders are requested in the order the scanner will reach them; at most a
// window of them is listed (or held listed) ahead, so the memory it holds
// stays bounded however large the tree. The scanner takes each listing when
// it reaches the folder; a listing that failed raises its failure then, on
// the scanner's thread. The workers touch nothing but the list function.
// They start only when asked to: until then (and for any folder no worker
// has reached yet) take() lists the folder on the caller's thread. While
// listings are fast the scanner, waiting for one, lists the next folder of
// the window itself instead of sleeping.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
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

    // A listing taking this long or more waits rather than works: a share.
    static constexpr std::chrono::microseconds kSlowListing{500};
    static constexpr int kRecentListings = 16;  // the bits of recentSlow_

    void work(bool extra);
    void run(const JobRef& job, std::unique_lock<std::mutex>& lock);
    void noteListingTime(std::chrono::steady_clock::duration took);  // under the lock
    bool waitFor(const JobRef& job, std::unique_lock<std::mutex>& lock,
                 std::chrono::milliseconds wait);
    JobRef nextJob();                             // under the lock; null when nothing may start
    JobRef find(const std::wstring& path) const;  // under the lock
    std::condition_variable* workerToWake();      // under the lock

    Lister list_;
    const int threads_;
    const int coreWorkers_;  // workers that list fast listings too
    std::mutex mutex_;
    std::condition_variable workWaiting_;   // core workers wait here for a folder
    std::condition_variable extraWaiting_;  // the others wait here for slow listings
    std::condition_variable listingDone_;   // the scanner waits here
    int idleCoreWorkers_ = 0;
    int idleExtraWorkers_ = 0;
    bool scannerWaiting_ = false;
    std::deque<JobRef> jobs_;
    std::size_t heldNames_ = 0;  // names in listings done and not yet taken
    std::vector<std::thread> workers_;
    // One bit per recent listing, the latest lowest. The scanner helps only
    // once kRecentListings listings have shown they are fast: while it lists
    // it cannot pump events.
    std::uint16_t recentSlow_ = 0;
    int listingsMade_ = 0;
    bool slow_ = false;
    bool stopping_ = false;
};

}  // namespace pelorin::scan
