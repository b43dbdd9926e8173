#pragma once

#include <QString>

// What the main window knows of the device and keeps polling, read-only, for the pages and
// the wait dialog. Each value is the text last read ("" before the first answer, and again
// after ten capability ticks without one).
class DeviceCapabilities {
public:
    virtual ~DeviceCapabilities() = default;

    // The address the module was started for (its command line).
    virtual QString DeviceAddress() const = 0;
    // The main window's status text; "Ready. " after every answered status poll.
    virtual QString StatusText() const = 0;
    bool DeviceReady() const { return StatusText() == "Ready. "; }

    virtual QString FirmwareVersion() const = 0;
    virtual QString CountryCode() const = 0;
    // radio 1 is the radio the pages configure, 2 the hidden second one.
    virtual QString TurboMode(int radio) const = 0;
    virtual QString ApModes() const = 0;
    virtual QString MultiSsidSupported() const = 0;
    // The device's own address and mask, as it reports them.
    virtual QString IpAddress() const = 0;
    virtual QString SubnetMask() const = 0;
};

// The capabilities of the running module: the main window's while it exists, otherwise a
// device that is not known (every text empty).
const DeviceCapabilities& Capabilities();

// The main window installs itself; tests install their own. Null restores the unknown device.
void InstallCapabilities(const DeviceCapabilities* capabilities);
