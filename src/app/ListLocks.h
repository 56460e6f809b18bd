#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

namespace pondel {

// What the main window, the status monitor, the address sweep and the list
// editing commands share to keep off each other's work on the host list.
//
// Order: ProbeLock before ViewLock; CollectLock is only ever taken alone.
// None of the locks is recursive, so a thread holding one must not take it
// again.
class ListLocks final {
public:
    // Held while the status monitor reads the hosts it is to probe, while a
    // sweep runs, and while the host list is restructured.
    std::mutex ProbeLock;
    // Held while list rows or their marks change, and while an active flag is
    // written or read.
    std::mutex ViewLock;
    // Counts the changes of the list made under ListChangeLock. Written with
    // both locks held, so either one is enough to read it: a verdict about
    // the list as it was is dropped once it has changed.
    std::uint64_t ListGeneration = 0;
    // Guards CollectRunning.
    std::mutex CollectLock;

    // Asks a running pass to stop at the next host. Whoever needs ProbeLock
    // sets it first, so that it waits for one probe at most.
    std::atomic<bool> AbortPass{false};

    // Set while an address-range sweep runs; status passes and the list
    // changing commands then do nothing.
    [[nodiscard]] bool IsCollectRunning()
    {
        const std::scoped_lock lock(CollectLock);
        return CollectRunning;
    }
    void SetCollectRunning(bool running)
    {
        const std::scoped_lock lock(CollectLock);
        CollectRunning = running;
    }

private:
    bool CollectRunning = false;
};

// AbortPass for the length of a step that will want the list: a running
// pass gives the list up at its next host.
class AbortingPass final {
public:
    explicit AbortingPass(ListLocks& locks)
        : locks_(locks)
    {
        locks_.AbortPass = true;
    }
    ~AbortingPass() { locks_.AbortPass = false; }
    AbortingPass(const AbortingPass&) = delete;
    AbortingPass& operator=(const AbortingPass&) = delete;

private:
    ListLocks& locks_;
};

// The whole list for a change of its hosts: AbortPass first, then ProbeLock
// and ViewLock in their order, given back in reverse.
class ListChangeLock final {
public:
    explicit ListChangeLock(ListLocks& locks)
        : aborting_(locks)
        , probing_(locks.ProbeLock)
        , viewing_(locks.ViewLock)
    {
        ++locks.ListGeneration;
    }

private:
    AbortingPass aborting_;
    std::scoped_lock<std::mutex> probing_;
    std::scoped_lock<std::mutex> viewing_;
};

} // namespace pondel
