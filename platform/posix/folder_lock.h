#pragma once
// An exclusive lock on a folder, for the programs that agree to take it.

#include <chrono>
#include <string>

namespace bellwick {

// Held while the object lives. The system lets go of it when the process
// ends, even by SIGKILL, so nothing is left to clean up. Not held when the
// folder cannot be opened, the file system takes no locks, or another
// holder keeps it longer than the wait.
class FolderLock {
public:
    FolderLock(const std::string& folder, std::chrono::milliseconds wait);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace bellwick
