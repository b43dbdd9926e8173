#pragma once

#include <string>

// A lock named after a text (the window caption), held until the process ends. It is an
// flock() on a file in a folder of the user's own, so the kernel frees it when the process
// dies, however it dies, and other users' modules never meet it. One module per device
// address and user: the caption names the address.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock; false when another process holds it
    // or the lock file cannot be created.
    bool acquire();
    bool held() const { return m_fd >= 0; }

    // Folder of the lock files: $VTA_LOCK_DIR, else $XDG_RUNTIME_DIR, else the folder
    // vta-module-<uid> in $TMPDIR (or /tmp), which acquire() creates with mode 0700 and uses
    // only while it is a real folder of this user that nobody else may write to.
    static std::string lockFolder();
    static std::string lockFilePath(const std::string& name);

private:
    std::string m_path;
    int m_fd = -1;
};
