// An open file as CreateFileW leaves it: descriptor, access and share mode, and the
// identity (device, inode) that the share-mode check compares. Shared by File.cpp and the
// directory functions that must respect open files (delete, move).
#pragma once

#include "platform/core/KernelObjects.h"

#include <sys/types.h>

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
};

// Would an open with (access, share) coexist with every handle already open on the file?
bool ShareModesAdmit(dev_t dev, ino_t ino, DWORD access, DWORD share);
// Does every open handle on the file allow deleting or renaming it?
bool ShareModesAllowDelete(dev_t dev, ino_t ino);

}  // namespace vireo::platform
