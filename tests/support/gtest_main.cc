// Test entry point shared by the native and the Wine test programs.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

// GoogleTest on Windows starts a watcher thread for each thread that reports
// results; it waits on that thread's handle. Under Wine 8 a process that ends
// while such a thread waits now and then dies of SIGSEGV (the thread's
// termination signal handler faults), so a program whose tests all passed
// ended with exit code 139. So the tests run on a thread of their own, and
// the program ends only once that thread's watcher has ended too.

HANDLE watcherDone;  // set as the watcher forgets the test thread
HANDLE watcher;      // the watcher thread, to wait until it has ended

// A value GoogleTest keeps per thread: the watcher deletes the test thread's
// one when that thread has ended, on its own thread.
struct WatcherProbe {
    ~WatcherProbe() {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &watcher,
                        SYNCHRONIZE, FALSE, 0);
        SetEvent(watcherDone);
    }
};

struct TestRun {
    testing::internal::ThreadLocal<WatcherProbe>* probe;
    int result = 1;
};

DWORD WINAPI runTests(void* param) {
    auto& run = *static_cast<TestRun*>(param);
    run.probe->pointer();  // this thread's value, deleted by its watcher
    run.result = RUN_ALL_TESTS();
    std::fflush(nullptr);
    return 0;
}

// Runs every test on a thread of its own; returns their result once that
// thread and its watcher have ended.
int runOnOwnThread() {
    watcherDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Never destroyed: GoogleTest's registry must not outlive it.
    TestRun run{new testing::internal::ThreadLocal<WatcherProbe>};
    const HANDLE thread = CreateThread(nullptr, 0, runTests, &run, 0, nullptr);
    if (!thread || !watcherDone) {
        std::fprintf(stderr, "cannot start the test thread (error %lu)\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    WaitForSingleObject(watcherDone, INFINITE);
    if (watcher) WaitForSingleObject(watcher, INFINITE);
    return run.result;
}

}  // namespace
#endif

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    return runOnOwnThread();
#else
    return RUN_ALL_TESTS();
#endif
}
