// The listing pool: a queue of folders, a window at its front that the
// workers list, and the scanner taking listings off the front.
#include "scan/listing_pool.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <system_error>
#include <utility>

namespace pelorin::scan {
namespace {

std::size_t namesIn(const FolderListing& listing) {
    return listing.subFolders.size() + listing.files.size();
}

}  // namespace

int spareProcessors() {
    return static_cast<int>(std::max(2u, std::thread::hardware_concurrency())) - 1;
}

ListingPool::ListingPool(Lister list, PoolTuning tuning)
    : list_(std::move(list)), tuning_(std::move(tuning)) {
    workers_.reserve(static_cast<std::size_t>(std::max(tuning_.threads, 0)));
}

ListingPool::~ListingPool() {
    std::vector<std::thread> workers;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;  // no worker starts after this
        workers.swap(workers_);
    }
    workWaiting_.notify_all();
    extraWaiting_.notify_all();
    for (auto& worker : workers) worker.join();
}

void ListingPool::request(const std::wstring& path) {
    auto job = std::make_shared<Job>();
    job->path = path;
    std::condition_variable* wake;
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        grow();
        wake = workerToWake();
    }
    if (wake) wake->notify_one();
}

int ListingPool::workersStarted() const {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(workers_.size());
}

// Starts the workers the listings now call for: none for a small tree of
// fast listings, the core workers once enough folders wait, and while
// listings are slow one for each folder waiting, up to them all. Workers
// stay until the pool ends.
void ListingPool::grow() {
    const int cores = std::min(tuning_.coreWorkers, tuning_.threads);
    const int waiting = static_cast<int>(std::min<std::size_t>(jobs_.size(), INT32_MAX));
    const int wanted = slow_                                    ? std::min(tuning_.threads, waiting)
                       : jobs_.size() >= tuning_.startWorkersAt ? cores
                                                                : 0;
    if (stopping_ || cannotGrow_) return;
    try {
        while (static_cast<int>(workers_.size()) < wanted) {
            const bool extra = static_cast<int>(workers_.size()) >= cores;
            workers_.emplace_back([this, extra] { work(extra); });
        }
    } catch (const std::system_error&) {
        // No room for another thread (a 32-bit process deep into a huge
        // tree): the workers there are do the listing, or take() does.
        cannotGrow_ = true;
    }
}

ListingPool::JobRef ListingPool::find(const std::wstring& path) const {
    for (const auto& job : jobs_)
        if (job->path == path) return job;
    return nullptr;
}

ListingPool::JobRef ListingPool::nextJob() {
    if (heldNames_ >= tuning_.heldNamesLimit) return nullptr;
    const std::size_t reach = std::min(tuning_.window, jobs_.size());
    for (std::size_t i = 0; i < reach; ++i)
        if (!jobs_[i]->started) return jobs_[i];
    return nullptr;
}

// Lists a folder with the lock let go meanwhile, and notes how long it took,
// failed or not.
FolderListing ListingPool::listTimed(const std::wstring& path, std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    FolderListing listing;
    std::exception_ptr failure;
    const auto begun = std::chrono::steady_clock::now();
    try {
        listing = list_(path);
    } catch (...) {
        failure = std::current_exception();
    }
    const auto took = std::chrono::steady_clock::now() - begun;
    lock.lock();
    noteListing(path, took);
    if (failure) std::rethrow_exception(failure);
    return listing;
}

// Lists one job and keeps what came of it. A sleeping worker is woken when
// another folder waits: a wake-up sent to a worker already woken and not yet
// running is lost, and without this the others would sleep through it.
void ListingPool::run(const JobRef& job, std::unique_lock<std::mutex>& lock) {
    job->started = true;
    if (nextJob())
        if (std::condition_variable* const wake = workerToWake()) wake->notify_one();
    try {
        job->listing = listTimed(job->path, lock);
    } catch (...) {
        job->failure = std::current_exception();
    }
    job->done = true;
    heldNames_ += namesIn(job->listing);
    if (scannerWaiting_) listingDone_.notify_one();
}

// Under the lock. Slow means half of the recent listings or more, so that
// one listing held up by a busy machine does not start every worker.
void ListingPool::noteListing(const std::wstring& path, std::chrono::steady_clock::duration took) {
    const bool wasSlow = slow_;
    const bool slow = tuning_.isSlow(path, took);
    recentSlow_ = static_cast<std::uint16_t>((recentSlow_ << 1) | (slow ? 1 : 0));
    slow_ = 2 * std::popcount(recentSlow_) >= kRecentListings;
    if (listingsMade_ < kRecentListings) ++listingsMade_;
    if (!slow_ || wasSlow) return;
    grow();
    if (idleExtraWorkers_ > 0) extraWaiting_.notify_all();
}

// The core workers list whenever a folder of the window waits; the others
// only while listings are slow (they wait on the network, not on the
// processor).
void ListingPool::work(bool extra) {
    std::condition_variable& waiting = extra ? extraWaiting_ : workWaiting_;
    int& idle = extra ? idleExtraWorkers_ : idleCoreWorkers_;
    std::unique_lock lock(mutex_);
    for (;;) {
        JobRef job;
        const auto mayStart = [&] { return (!extra || slow_) && (job = nextJob()) != nullptr; };
        if (!stopping_ && !mayStart()) {
            ++idle;
            waiting.wait(lock, [&] { return stopping_ || mayStart(); });
            --idle;
        }
        if (stopping_) return;
        run(job, lock);
    }
}

// Under the lock: where a sleeping worker that could start a listing now
// waits, if there is one.
std::condition_variable* ListingPool::workerToWake() {
    if (idleCoreWorkers_ > 0) return &workWaiting_;
    if (slow_ && idleExtraWorkers_ > 0) return &extraWaiting_;
    return nullptr;
}

// The scanner waits for a listing a worker is making, `wait` at most. While
// listings are fast it lists the next folders of the window itself
// meanwhile: sleeping and being woken would take longer than a listing.
bool ListingPool::waitFor(const JobRef& job, std::unique_lock<std::mutex>& lock,
                          std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!job->done && !slow_ && listingsMade_ >= kRecentListings &&
           std::chrono::steady_clock::now() < until) {
        const JobRef other = nextJob();
        if (!other) break;
        run(other, lock);
    }
    scannerWaiting_ = true;
    const bool done = listingDone_.wait_until(lock, until, [&] { return job->done; });
    scannerWaiting_ = false;
    return done;
}

bool ListingPool::ready(const std::wstring& path, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    const JobRef job = find(path);
    if (!job || !job->started) return true;  // take() lists it at once
    return waitFor(job, lock, wait);
}

std::optional<FolderListing> ListingPool::take(const std::wstring& path) {
    std::unique_lock lock(mutex_);
    const JobRef job = find(path);
    if (!job) return std::nullopt;
    if (!job->started) {
        // No worker has reached it: listing it here beats waiting for one.
        jobs_.erase(std::find(jobs_.begin(), jobs_.end(), job));
        if (std::condition_variable* const wake = workerToWake()) wake->notify_one();
        return listTimed(path, lock);
    }
    while (!waitFor(job, lock, std::chrono::milliseconds(20))) {}
    jobs_.erase(std::find(jobs_.begin(), jobs_.end(), job));
    heldNames_ -= namesIn(job->listing);
    std::condition_variable* const wake = workerToWake();
    lock.unlock();
    if (wake) wake->notify_one();  // the window moved on: another folder may start
    if (job->failure) std::rethrow_exception(job->failure);
    return std::move(job->listing);
}

}  // namespace pelorin::scan
