// ListingPool: lists folders ahead of the scanner on a few worker threads.
// Folders are requested in the order the scanner will reach them; at most a
// window of them is listed (or held listed) ahead, so the memory it holds
// stays bounded however large the tree. The scanner takes each listing when
// it reaches the folder; a listing that failed raises its failure then, on
// the scanner's thread. The workers touch nothing but the list function.
// No worker is started until one pays for itself: a small tree is listed on
// the caller's thread alone, take() listing each folder no worker has
// reached. Workers for fast listings start once enough folders wait; the
// rest start once listings prove slow (a share). While listings are fast
// the scanner, waiting for one, lists the next folder of the window itself
// instead of sleeping.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "scan/filesystem.h"

namespace pelorin::scan {

// Whether a listing that took `took` waited (a share) rather than worked.
using SlowListing =
    std::function<bool(const std::wstring& path, std::chrono::steady_clock::duration took)>;

// One processor fewer than the machine has, at least one: the scanner's own
// thread is the first.
int spareProcessors();

// The pool's tuning, each number with its reason.
struct PoolTuning {
    // The most workers, all of them listing while listings are slow: on a
    // share a listing is a network round trip that mostly waits.
    int threads = kListingThreads;
    // Workers that list fast listings too: a listing from a local disk
    // keeps a processor busy, so more than one per processor gains nothing.
    int coreWorkers = spareProcessors();
    // Folders waiting to be taken that start the core workers. Starting a
    // thread costs about as much as a dozen local listings; a tree that
    // never queues this many is done before a worker would pay for itself.
    std::size_t startWorkersAt = 16;
    // Folders listed or held ahead: enough that the workers rarely wait for
    // the scanner to take one, few enough that the listings held stay small.
    std::size_t window = kListAheadFolders;
    // Names held in listings made and not yet taken: a tree of huge folders
    // would otherwise hold a whole window of them.
    std::size_t heldNamesLimit = 64 * 1024;
    // A local listing takes microseconds; a share's round trip, a millisecond.
    SlowListing isSlow = [](const std::wstring&, std::chrono::steady_clock::duration took) {
        return took >= std::chrono::microseconds(500);
    };
};

class ListingPool {
public:
    ListingPool(Lister list, PoolTuning tuning);
    ~ListingPool();  // stops the workers and waits for each to end
    ListingPool(const ListingPool&) = delete;
    ListingPool& operator=(const ListingPool&) = delete;

    // Queues a folder for listing.
    void request(const std::wstring& path);
    // Waits up to `wait` for the folder's listing: true once it is done, or
    // when no worker has begun it (take() lists it at once).
    bool ready(const std::wstring& path, std::chrono::milliseconds wait);
    // Hands over the folder's listing, waiting for it if need be, or raises
    // the failure of listing it; nothing when it was never requested.
    std::optional<FolderListing> take(const std::wstring& path);
    // The worker threads started so far.
    int workersStarted() const;

private:
    struct Job {
        std::wstring path;
        bool started = false;
        bool done = false;
        FolderListing listing;
        std::exception_ptr failure;
    };
    using JobRef = std::shared_ptr<Job>;

    static constexpr int kRecentListings = 16;  // the bits of recentSlow_

    void work(bool extra);
    void run(const JobRef& job, std::unique_lock<std::mutex>& lock);
    FolderListing listTimed(const std::wstring& path, std::unique_lock<std::mutex>& lock);
    // Both under the lock:
    void noteListing(const std::wstring& path, std::chrono::steady_clock::duration took);
    void grow();
    bool waitFor(const JobRef& job, std::unique_lock<std::mutex>& lock,
                 std::chrono::milliseconds wait);
    JobRef nextJob();                             // under the lock; null when nothing may start
    JobRef find(const std::wstring& path) const;  // under the lock
    std::condition_variable* workerToWake();      // under the lock

    Lister list_;
    const PoolTuning tuning_;
    mutable std::mutex mutex_;
    std::condition_variable workWaiting_;   // core workers wait here for a folder
    std::condition_variable extraWaiting_;  // the others wait here for slow listings
    std::condition_variable listingDone_;   // the scanner waits here
    int idleCoreWorkers_ = 0;
    int idleExtraWorkers_ = 0;
    bool scannerWaiting_ = false;
    std::deque<JobRef> jobs_;
    std::size_t heldNames_ = 0;  // names in listings done and not yet taken
    std::vector<std::thread> workers_;
    bool cannotGrow_ = false;  // the system refused a thread
    // One bit per recent listing, the latest lowest. The scanner helps only
    // once kRecentListings listings have shown they are fast: while it lists
    // it cannot pump events.
    std::uint16_t recentSlow_ = 0;
    int listingsMade_ = 0;
    bool slow_ = false;
    bool stopping_ = false;
};

}  // namespace pelorin::scan
