// The pool that lists folders ahead: failures reach the scanner's thread at
// the folder they belong to, and the pool ends with no thread left running
// whatever it was doing. Run under ThreadSanitizer by `make test-thread`.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
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
        3);
    const struct {
        const wchar_t* name;
        int error;  // 0: listed; -1: out of memory
    } cases[] = {{L"ok1", 0},
                 {L"throws", kErrPermission},
                 {L"nomemory", -1},
                 {L"removed", kErrPathNotFound},
                 {L"ok2", 0}};
    for (const auto& c : cases) pool.request(tree.path(c.name));
    pool.start();
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
        bool started;
    } cases[] = {{0, 0, true}, {200, 0, false}, {200, 0, true}, {200, 5, true}, {3, 3, true}};
    for (const auto& c : cases) {
        {
            ListingPool pool(slow, 4);
            for (int i = 0; i < c.requested; ++i) pool.request(std::to_wstring(i));
            if (c.started) pool.start();
            for (int i = 0; i < c.taken; ++i) EXPECT_TRUE(pool.take(std::to_wstring(i)));
        }  // the scan ends here, early or not
        EXPECT_EQ(running.load(), 0) << c.requested << " " << c.taken;
    }
}

// Listings that wait (a share) are made on every worker at once; listings
// that keep a processor busy, on one worker per further processor and the
// scanner's own thread only.
TEST(ListingPool, OnlySlowListingsWakeEveryWorker) {
    const int processors = static_cast<int>(std::max(2u, std::thread::hardware_concurrency()));
    const struct {
        std::chrono::microseconds takes;
        int atLeast, atMost;  // listings made at the same time, at most
    } cases[] = {{50us, 1, processors}, {2000us, 8, 16}};
    for (const auto& c : cases) {
        std::atomic<int> running{0}, most{0};
        ListingPool pool(
            [&](const std::wstring&) {
                const int now = ++running;
                for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {}
                std::this_thread::sleep_for(c.takes);
                --running;
                return FolderListing{};
            },
            16);
        constexpr int kFolders = 400;
        for (int i = 0; i < kFolders; ++i) pool.request(std::to_wstring(i));
        pool.start();
        for (int i = 0; i < kFolders; ++i) EXPECT_TRUE(pool.take(std::to_wstring(i)));
        EXPECT_GE(most.load(), c.atLeast) << c.takes.count();
        EXPECT_LE(most.load(), c.atMost) << c.takes.count();
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
        16);
    for (int i = 0; i < 64; ++i) pool.request(std::to_wstring(i));
    pool.start();
    std::this_thread::sleep_for(300ms);  // none taken meanwhile
    EXPECT_LE(made.load(), 16 + 4);      // those begun at once, and a few more
    EXPECT_TRUE(pool.take(L"0"));
}

}  // namespace
}  // namespace pelorin::scan
