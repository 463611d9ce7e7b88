// An open file as CreateFileW leaves it: descriptor, access and share mode, and the
// identity (device, inode) that the share-mode check compares. Shared by File.cpp and the
// directory functions that must respect open files (delete, move).
#pragma once

#include "platform/core/KernelObjects.h"

#include <sys/types.h>

#include <string>

namespace vireo::platform {

class CFileObject : public CKernelObject {
  public:
    CFileObject(int fd, DWORD access, DWORD share, dev_t dev, ino_t ino);
    ~CFileObject() override;

    int m_fd;
    DWORD m_access;
    DWORD m_share;
    dev_t m_dev;
    ino_t m_ino;
    std::wstring m_path; // as opened, for the fault plan
};

// Faults scripted by tests for files whose path (with '/' separators) contains a text:
// refused opens, a disk that fills up, short reads; open handles follow a new plan at once.
// Counts writes so tests can check that a failing disk is not hammered.
struct FileFaultPlan {
    bool active = false;
    std::wstring pathContains;
    bool failOpen = false;
    long long writeLimit = -1; // bytes accepted before ERROR_DISK_FULL; -1 unlimited
    DWORD maxReadChunk = 0;    // bytes per ReadFile at most; 0 unlimited
    long long bytesWritten = 0;
    long long writeCalls = 0;
    long long readCalls = 0;
    long long seekCalls = 0;
};

FileFaultPlan& FileFaults();
bool PathIsFaulty(LPCWSTR path);

// Would an open with (access, share) coexist with every handle already open on the file?
bool ShareModesAdmit(dev_t dev, ino_t ino, DWORD access, DWORD share);
// Does every open handle on the file allow deleting or renaming it?
bool ShareModesAllowDelete(dev_t dev, ino_t ino);

} // namespace vireo::platform
