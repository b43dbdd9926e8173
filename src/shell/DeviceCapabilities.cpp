#include "shell/DeviceCapabilities.h"

namespace {

class UnknownDevice : public DeviceCapabilities {
public:
    QString DeviceAddress() const override { return {}; }
    QString StatusText() const override { return {}; }
    QString FirmwareVersion() const override { return {}; }
    QString CountryCode() const override { return {}; }
    QString TurboMode(int) const override { return {}; }
    QString ApModes() const override { return {}; }
    QString MultiSsidSupported() const override { return {}; }
    QString IpAddress() const override { return {}; }
    QString SubnetMask() const override { return {}; }
};

const UnknownDevice kUnknownDevice;
const DeviceCapabilities* g_installed = nullptr;

} // namespace

const DeviceCapabilities& Capabilities() { return g_installed ? *g_installed : kUnknownDevice; }

void InstallCapabilities(const DeviceCapabilities* capabilities) { g_installed = capabilities; }
