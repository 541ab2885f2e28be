// The pool that lists folders ahead: failures reach the scanner's thread at
// the folder they belong to, and the pool ends with no thread left running
// whatever it was doing. Run under ThreadSanitizer by `make test-thread`.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "scan/listing_pool.h"
#include "support/error_of.h"
#include "support/temp_tree.h"
#include "base/error.h"

namespace pelorin::scan {
namespace {

using namespace std::chrono_literals;

// A pool whose workers start with the first folder requested.
PoolTuning withWorkers(int threads) {
    PoolTuning tuning;
    tuning.threads = threads;
    tuning.startWorkersAt = 1;
    return tuning;
}

// Counts the listings under way at once; enter() holds a listing until
// `together` are under way. A pool that never gets there is broken: after
// half a minute the listing gives up and the probe says so.
class ConcurrencyProbe {
public:
    void enter(int together) {
        std::unique_lock lock(mutex_);
        most_ = std::max(most_, ++running_);
        changed_.notify_all();
        if (!changed_.wait_for(lock, 30s, [&] { return most_ >= together; })) gaveUp_ = true;
        --running_;
    }
    int most() {
        const std::lock_guard lock(mutex_);
        return most_;
    }
    bool gaveUp() {
        const std::lock_guard lock(mutex_);
        return gaveUp_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0, most_ = 0;
    bool gaveUp_ = false;
};

TEST(ListingPool, EachFailureIsRaisedAtItsOwnFolderOnly) {
    test::TempTree tree;
    for (const wchar_t* name : {L"ok1", L"throws", L"nomemory", L"removed", L"ok2"})
        tree.file(std::wstring(name) + L"/f.pst");
    // "removed" is taken away by the worker that is about to list it.
    ListingPool pool(
        [&](const std::wstring& path) -> FolderListing {
            if (path == tree.path(L"throws")) throw Error(kErrPermission, L"Permission denied");
            if (path == tree.path(L"nomemory")) throw std::bad_alloc();
            if (path == tree.path(L"removed")) tree.remove(L"removed");
            return listPlatformFolder(path);
        },
        withWorkers(3));
    const struct {
        const wchar_t* name;
        int error;  // 0: listed; -1: out of memory
    } cases[] = {{L"ok1", 0},
                 {L"throws", kErrPermission},
                 {L"nomemory", -1},
                 {L"removed", kErrPathNotFound},
                 {L"ok2", 0}};
    for (const auto& c : cases) pool.request(tree.path(c.name));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
        const std::wstring path = tree.path(c.name);
        while (!pool.ready(path, 20ms)) {}
        if (c.error == -1) {
            EXPECT_THROW(pool.take(path), std::bad_alloc);
        } else if (c.error != 0) {
            EXPECT_EQ(test::errorOf([&] { pool.take(path); }), c.error);
        } else {
            const auto listing = pool.take(path);
            ASSERT_TRUE(listing);
            EXPECT_EQ(listing->files, std::vector<std::wstring>{L"f.pst"});
        }
    }
    EXPECT_FALSE(pool.take(tree.path(L"ok1")));  // taken once; never asked again: nothing
}

TEST(ListingPool, EndsWithNoWorkerLeftWhateverItWasDoing) {
    std::atomic<int> running{0};
    const Lister slow = [&](const std::wstring&) {
        ++running;
        std::this_thread::sleep_for(2ms);
        --running;
        return FolderListing{};
    };
    const struct {
        int requested, taken;
        bool workers;
    } cases[] = {{0, 0, true}, {200, 0, false}, {200, 0, true}, {200, 5, true}, {3, 3, true}};
    for (const auto& c : cases) {
        {
            PoolTuning tuning = withWorkers(4);
            if (!c.workers) tuning.startWorkersAt = 1000;
            ListingPool pool(slow, tuning);
            for (int i = 0; i < c.requested; ++i) pool.request(std::to_wstring(i));
            for (int i = 0; i < c.taken; ++i) EXPECT_TRUE(pool.take(std::to_wstring(i)));
        }  // the scan ends here, early or not
        EXPECT_EQ(running.load(), 0) << c.requested << " " << c.taken;
    }
}

// Threads are started only where they pay: none for a small tree, one per
// further processor for a big tree of fast listings (which then never has
// more listings under way than processors), and once listings are slow one
// per folder waiting, up to them all, listing at once. Whether a listing is slow is decided by
// its name here, not by the clock, so a busy machine changes nothing.
TEST(ListingPool, StartsOnlyTheWorkersTheListingsCallFor) {
    const int processors = spareProcessors() + 1;
    const struct {
        int folders;
        bool slow;
        int workers, atLeast, atMost;  // listings under way at once
    } cases[] = {{10, false, 0, 1, 1},
                 {400, false, std::min(processors - 1, kListingThreads), 1, processors},
                 {10, true, 2, 1, 2},  // slow from the 8th: one worker per folder left
                 {400, true, kListingThreads, 8, kListingThreads + 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folders << (c.slow ? " slow" : " fast"));
        ConcurrencyProbe probe;
        PoolTuning tuning;
        tuning.isSlow = [&](const std::wstring&, auto) { return c.slow; };
        // Slow listings past the first hundred wait until `atLeast` are under way.
        ListingPool pool(
            [&](const std::wstring& path) {
                probe.enter(c.slow && std::stoi(path) >= 100 ? c.atLeast : 1);
                return FolderListing{};
            },
            tuning);
        for (int i = 0; i < c.folders; ++i) pool.request(std::to_wstring(i));
        for (int i = 0; i < c.folders; ++i) EXPECT_TRUE(pool.take(std::to_wstring(i)));
        EXPECT_EQ(pool.workersStarted(), c.workers);
        EXPECT_GE(probe.most(), c.atLeast);
        EXPECT_LE(probe.most(), c.atMost);
        EXPECT_FALSE(probe.gaveUp()) << "listings waited for workers that never came";
    }
}

// Listings made ahead and not yet taken stop at a bound on the names they
// hold, not only on the folders: a tree of huge folders would otherwise hold
// a whole window of them.
TEST(ListingPool, HugeFoldersAreNotListedFarAhead) {
    std::atomic<int> made{0};
    ListingPool pool(
        [&](const std::wstring&) {
            FolderListing listing;
            listing.files.assign(20000, L"x.msg");
            std::this_thread::sleep_for(2ms);
            ++made;
            return listing;
        },
        withWorkers(16));
    for (int i = 0; i < 64; ++i) pool.request(std::to_wstring(i));
    std::this_thread::sleep_for(300ms);  // none taken meanwhile
    EXPECT_LE(made.load(), 16 + 4);      // those begun at once, and a few more
    EXPECT_TRUE(pool.take(L"0"));
}

}  // namespace
}  // namespace pelorin::scan
