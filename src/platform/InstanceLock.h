#pragma once

#include <string>

// A lock named after a text (the window caption), held until the process ends. It is an
// flock() on a file in the runtime folder, so the kernel frees it when the process dies,
// however it dies. One module per device address: the caption names the address.
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

    // Folder of the lock files: $VTA_LOCK_DIR, else $XDG_RUNTIME_DIR, else /tmp.
    static std::string lockFolder();
    static std::string lockFilePath(const std::string& name);

private:
    std::string m_path;
    int m_fd = -1;
};
