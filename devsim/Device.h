#pragma once

#include "ConfigurationFile.h"
#include "Mib.h"
#include "TftpClient.h"

#include <map>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <set>
#include <vector>

// Transmitted frames per second of radio 1 unless --traffic-rate says otherwise.
inline constexpr int kDefaultTrafficRate = 120;

struct DeviceSettings {
    int restartSeconds = 3;   // how long a restart keeps the device silent
    int clientRows = 3;       // associated stations on radio 1
    int clientRows2 = 0;      // associated stations on radio 2 (while it runs)
    int emptyClientRows = 0;  // free slots (MAC of twelve zeros) among radio 1's stations
    bool clientTable = true;  // older firmware has no client table and no acquire command
    bool temperature = true;  // serve the temperature object
    int temperatureValue = 42;
    int surveyRows = 5;       // neighbours a site survey finds
    int logRows = 0;          // synthetic entries in the system log at start
    uint16_t tftpServerPort = 69;
    std::string tftpLocalAddress;  // the address transfers leave from; empty: any
    int tftpTimeoutMs = 2000;
    int tftpRetries = 3;
    bool signalStrength = false;  // serve the point-to-point signal strength object
    int signalStrengthValue = 0;
    int trafficRate = kDefaultTrafficRate;  // radio 1's transmitted frames per second
    std::vector<std::string> missingFeatures;  // optional radio features this firmware lacks
    std::vector<Oid> missingObjects;           // objects (subtrees) this firmware does not serve
};

// The access point's behaviour around its object store: what commands do, what runs after
// a restart, the status lamps, the log, the TFTP transfers.
class Device {
public:
    using Clock = std::chrono::steady_clock;

    explicit Device(DeviceSettings settings);
    ~Device();

    MibStore& store() { return m_store; }
    // Sets the LAN address and mask as if configured and restarted with them.
    bool configureLan(const std::string& address, const std::string& mask, std::string& error);
    const DeviceSettings& settings() const { return m_settings; }
    // An object of an optional feature this device lacks: answered noSuchName in every
    // SNMP version, as the device's firmware does.
    bool lacks(const Oid& instance) const { return m_lacking.count(instance) != 0; }

    // Refreshes values that change by themselves (up time, lamps, temperature) before a read.
    void refreshLive(const Oid& instance, Variable& variable);
    // Extra checks of a set beyond the variable's own rules; an SNMP error status.
    int checkSet(const Oid& instance, const Variable& updated);
    // Runs what a committed set makes the device do.
    void committed(const Oid& instance);

    // Restart: the device answers the set, then stays silent for restartSeconds and boots.
    bool silent(Clock::time_point now) const;
    void poll(Clock::time_point now);  // advances restarts; call often
    bool restartPending() const { return m_restartAt.has_value() || m_bootAt.has_value(); }
    unsigned boots() const { return m_boots; }

    // TFTP control: command 1 firmware, 2 load configuration, 3 store configuration.
    bool transferRunning() const { return m_transfer != nullptr; }
    // The running transfer, for the agent's loop to drive; null when none runs.
    TftpTransfer* transfer() const;
    // SNMP_ERR_NOERROR when the transfer started, else the status to answer at once.
    int startTransfer(int command, const std::string& serverAddress, const std::string& remoteFile,
                       const std::string& localFile);
    // The SNMP error status that answers the command once the transfer has ended.
    std::optional<int> finishedTransfer();

    // Configuration as the JSON text the device stores and loads over TFTP.
    const std::string& configurationText();
    void log(const std::string& message);
    // The newest entry of the device log (what a transfer's start or end wrote, for example).
    std::string lastLogEntry() const { return m_log.empty() ? std::string() : m_log.back().second; }

private:
    struct Transfer;

    void boot();
    void factoryReset();
    Variable* at(const char* suffix);
    long long number(const char* suffix);
    std::string text(const char* suffix);
    void fillClients(int radio);
    void fillSurvey(int radio);
    void fillMappings();
    void publishLog();
    void detectRogues();
    void moveRogueToList(long long key);
    int finishFirmware(const TftpResult& result, const std::string& fileName);
    int finishConfiguration(const TftpResult& result);

    DeviceSettings m_settings;
    MibStore m_store;
    std::set<Oid> m_lacking;
    Clock::time_point m_bootTime;
    std::optional<Clock::time_point> m_restartAt;  // silence starts
    std::optional<Clock::time_point> m_bootAt;     // silence ends
    bool m_radioRunning[2] = {true, false};
    std::string m_pendingFirmware;
    std::deque<std::pair<std::string, std::string>> m_log;  // time, message
    std::map<Oid, Clock::time_point> m_counterTimes;  // when each traffic counter last advanced
    std::unique_ptr<Transfer> m_transfer;
    ConfigurationFile m_configuration;
    unsigned m_boots = 0;
};

// Firmware versions "major.minor": the first such number in the image's first line, else in
// its file name. Returns false when neither has one.
bool FirmwareVersion(const std::string& image, const std::string& fileName, int& major, int& minor);
