#pragma once

#include "fleet/DeviceList.h"
#include "snmp/QvSNMPRequest.h"

#include <QHostAddress>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct VariableDescriptor;

// The SNMP exchanges of one device's job, each a notifying request with the device's own
// connection. A completion runs from the event loop exactly once, also when the request
// could not even be sent (then with that error).
class DeviceLink {
public:
    using Done = std::function<void(const QvSNMPError& error, const QvSNMPVarList& list)>;

    // address: where the device is reached (its name resolved), in place of the listed text.
    DeviceLink(const FleetDevice& device, const QHostAddress& address, uint32_t retries);

    // Gets the scalars of the table (ended by a row without OID); with kListSingleInstances
    // the table's OIDs name their instances.
    void get(const VariableDescriptor* table, Done done, uint8_t listKind = kListScalars);
    // The same, asked once (no retry), waiting up to timeout hundredths of a second: for a run
    // that has been told to stop and may only glance at the device.
    void getOnce(const VariableDescriptor* table, uint32_t timeout, Done done);
    // Sets the scalars of the table to the values (as the device's numbers), one per row, waiting up to timeout
    // hundredths of a second for the answer (per try).
    void set(const VariableDescriptor* table, const std::vector<std::string>& values, uint32_t timeout, Done done,
             uint8_t listKind = kListScalars);
    // Walks a table whose first `keys` rows are its index: row sees the items of each row in
    // turn, done comes once after the last (or with the error that ended the walk).
    void walk(const VariableDescriptor* table, int32_t keys, std::function<void(const QvSNMPVarList& row)> row,
              Done done);
    // Gives up the exchanges under way: their completions never run (a run told to stop).
    void abandon();
    // The device's job is over: its SNMP session closes, so a site of a thousand devices keeps
    // only the sessions of the devices under way.
    void release();

private:
    QvSNMPRequest& newRequest(const VariableDescriptor* table, uint8_t listKind, int32_t keys = 0);
    void send(QvSNMPRequest& request, const Done& done, const std::function<void(QvSNMPRequest::Completion)>& start);

    FleetDevice m_device;
    std::string m_address;
    uint32_t m_retries;
    // Kept until the link goes: a request must outlive its completion.
    std::vector<std::unique_ptr<QvSNMPRequest>> m_requests;
};
