// The listing pool: a queue of folders, a window at its front that the
// workers list, and the scanner taking listings off the front.
#include "scan/listing_pool.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace pelorin::scan {
namespace {

// Folders listed or held ahead per worker: enough that a worker never waits
// for the scanner to queue more, few enough that the listings held stay small.
constexpr std::size_t kWindowPerThread = 4;

}  // namespace

ListingPool::ListingPool(Lister list, int threads)
    : list_(std::move(list)),
      threads_(std::max(threads, 1)),
      window_(kWindowPerThread * static_cast<std::size_t>(std::max(threads, 1))) {}

ListingPool::~ListingPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workWaiting_.notify_all();
    for (auto& worker : workers_) worker.join();
}

void ListingPool::request(const std::wstring& path) {
    auto job = std::make_shared<Job>();
    job->path = path;
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    if (!workers_.empty()) workWaiting_.notify_one();
}

void ListingPool::start() {
    if (!workers_.empty()) return;
    try {
        workers_.reserve(static_cast<std::size_t>(threads_));
        for (int i = 0; i < threads_; ++i) workers_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // No room for another thread (a 32-bit process deep into a huge
        // tree): the workers there are do the listing, or take() does.
    }
}

ListingPool::JobRef ListingPool::find(const std::wstring& path) const {
    for (const auto& job : jobs_)
        if (job->path == path) return job;
    return nullptr;
}

ListingPool::JobRef ListingPool::nextJob() {
    const std::size_t reach = std::min(window_, jobs_.size());
    for (std::size_t i = 0; i < reach; ++i)
        if (!jobs_[i]->started) return jobs_[i];
    return nullptr;
}

void ListingPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        JobRef job;
        workWaiting_.wait(lock, [&] { return stopping_ || (job = nextJob()) != nullptr; });
        if (stopping_) return;
        job->started = true;
        lock.unlock();
        FolderListing listing;
        std::exception_ptr failure;
        try {
            listing = list_(job->path);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        job->listing = std::move(listing);
        job->failure = failure;
        job->done = true;
        listingDone_.notify_one();
    }
}

bool ListingPool::ready(const std::wstring& path, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    const JobRef job = find(path);
    if (!job || !job->started) return true;  // take() lists it at once
    return listingDone_.wait_for(lock, wait, [&] { return job->done; });
}

std::optional<FolderListing> ListingPool::take(const std::wstring& path) {
    std::unique_lock lock(mutex_);
    const JobRef job = find(path);
    if (!job) return std::nullopt;
    if (!job->started) {
        // No worker has reached it: listing it here beats waiting for one.
        jobs_.erase(std::find(jobs_.begin(), jobs_.end(), job));
        lock.unlock();
        workWaiting_.notify_one();
        return list_(path);
    }
    listingDone_.wait(lock, [&] { return job->done; });
    jobs_.erase(std::find(jobs_.begin(), jobs_.end(), job));
    lock.unlock();
    workWaiting_.notify_one();  // the window moved on: another folder may start
    if (job->failure) std::rethrow_exception(job->failure);
    return std::move(job->listing);
}

}  // namespace pelorin::scan
