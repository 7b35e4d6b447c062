#pragma once
// Finding files by a wildcard pattern below one or more volume roots, on a
// worker thread. Full paths throughout; links to folders are not followed; a
// walk stays on its root's volume; hidden entries are skipped as the
// program's file lists skip them; unreadable folders are passed over.

#include "platform/qt/main_thread_call.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumeno {

// Mount points that hold files: pseudo file systems (proc, sys, devices,
// cgroups and the like) are none.
std::vector<std::string> SearchVolumes();
bool IsPseudoFileSystem(const std::string& Type, const std::string& MountPoint);

// Walks Root (recursively, on Root's volume) and calls Found for every
// ordinary file whose name matches Pattern (";"-separated masks, any case)
// and Folder for every folder entered, until Stop turns true.
void SearchFolder(const std::string& Root, const std::string& Pattern, const std::atomic<bool>& Stop,
                  const std::function<void(const std::string& Path)>& Found,
                  const std::function<void(const std::string& Folder)>& Folder);

// Sorted without regard to case, as a sorted list box lists them.
void SortSearchResults(std::vector<std::string>& Paths);

class TFileSearch {
public:
    struct TEvents {
        // Main thread: files found since the last call, and the folder the
        // walk is in (with a trailing '/').
        std::function<void(const std::vector<std::string>& Paths, const std::string& Folder)> OnProgress;
        std::function<void()> OnDone; // after the walk ended by itself
    };

    TFileSearch() = default;
    ~TFileSearch();
    TFileSearch(const TFileSearch&) = delete;
    TFileSearch& operator=(const TFileSearch&) = delete;

    void Start(std::vector<std::string> Roots, std::string Pattern, TEvents Events);
    // Ends the walk; what was found reaches OnProgress before this returns.
    void Stop();
    bool Running() const { return running_; }

private:
    void Run(std::vector<std::string> Roots, std::string Pattern, unsigned Walk);
    void Flush();

    TEvents events_;
    std::thread thread_;
    TMainThreadCall gate_;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> flushQueued_ = false;
    bool running_ = false;
    unsigned walk_ = 0; // main thread: which Start the running walk came from
    std::mutex mutex_;
    std::vector<std::string> found_;
    std::string folder_;
};

} // namespace lumeno
