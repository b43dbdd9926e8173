#include "fleet/MetricsExposition.h"

#include "binding/DeviceVariables.h"
#include "fleet/StatusCommand.h"
#include "snmp/ValueText.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace MetricFields {

const std::vector<TrafficCounter>& TrafficCounters()
{
    static const std::vector<TrafficCounter> counters{
        {DeviceVariables::TransmittedFrameCount1, "transmitted", "vta_radio_transmitted_frames_total",
         "Frames the radio transmitted (a 32-bit counter: it wraps, and starts from 0 when the device starts)."},
        {DeviceVariables::ReceivedFrameCount1, "received", "vta_radio_received_frames_total",
         "Frames the radio received (a 32-bit counter: it wraps, and starts from 0 when the device starts)."},
        {DeviceVariables::TransmittedErrorCount1, "transmit_errors", "vta_radio_transmit_errors_total",
         "Frames the radio failed to transmit (32-bit, wrapping)."},
        {DeviceVariables::ReceivedFrameFCSErrorCount1, "receive_errors", "vta_radio_receive_fcs_errors_total",
         "Frames the radio received with a bad checksum (32-bit, wrapping)."},
        {DeviceVariables::TransmittedTotalRetryCount1, "retries", "vta_radio_transmit_retries_total",
         "Retries of the radio's transmissions (32-bit, wrapping)."},
    };
    return counters;
}

}  // namespace MetricFields

namespace {

using Labels = std::vector<std::pair<std::string, std::string>>;

// Label values are UTF-8 with backslash, double quote and line feed escaped. A device's name
// is whatever bytes it holds: what is not UTF-8 becomes the replacement character.
std::string LabelValue(const std::string& text)
{
    const std::string utf8 = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString();
    std::string escaped;
    for (char c : utf8) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

std::optional<std::string> Field(const DeviceOutcome& outcome, const char* name)
{
    for (const auto& [key, value] : outcome.fields)
        if (key == name)
            return value;
    return std::nullopt;
}

// A whole number as the device gave it; nothing for "(NULL)" or anything else.
std::optional<unsigned long long> Number(const std::optional<std::string>& text)
{
    if (!text || text->empty() || text->size() > 19 || text->find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(*text);
}

class Exposition {
public:
    void family(const char* name, const char* type, const char* help)
    {
        m_text += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
        m_family = name;
    }
    void sample(const DeviceOutcome& outcome, const Labels& more, const std::string& value)
    {
        m_text += m_family + "{device=\"" + LabelValue(outcome.device) + "\"";
        for (const auto& [label, text] : more)
            m_text += "," + label + "=\"" + LabelValue(text) + "\"";
        m_text += "} " + value + "\n";
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
    std::string m_family;
};

}  // namespace

std::string MetricsExposition(const std::vector<DeviceOutcome>& all)
{
    using namespace MetricFields;
    std::vector<DeviceOutcome> finished, answered;
    std::copy_if(all.begin(), all.end(), std::back_inserter(finished),
                 [](const DeviceOutcome& o) { return o.ending == DeviceOutcome::Ending::Finished; });
    std::copy_if(finished.begin(), finished.end(), std::back_inserter(answered),
                 [](const DeviceOutcome& o) { return o.ok; });
    Exposition out;

    out.family("vta_device_reachable", "gauge", "Whether the device answered (1) or not (0).");
    for (const DeviceOutcome& outcome : finished)
        out.sample(outcome, {}, outcome.ok ? "1" : "0");

    out.family("vta_device_info", "gauge", "The device's system name and running firmware version; always 1.");
    for (const DeviceOutcome& outcome : answered)
        out.sample(outcome, {{"name", Field(outcome, kName).value_or("")}, {"firmware", Field(outcome, kFirmware).value_or("")}},
                   "1");

    out.family("vta_device_uptime_seconds", "gauge", "Time since the device started.");
    for (const DeviceOutcome& outcome : answered) {
        if (const auto ticks = ValueText::ParseTimeTicks(Field(outcome, kUpTime).value_or(""))) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%u.%02u", *ticks / 100, *ticks % 100);
            out.sample(outcome, {}, seconds);
        }
    }

    out.family("vta_device_lamp", "gauge",
               "The status lamps (power, lan, radio1, radio2): 1 for the state each is in (off, on, blinking), "
               "0 for the others.");
    for (const DeviceOutcome& outcome : answered) {
        const auto flags = Number(Field(outcome, kLamps));
        if (!flags)
            continue;
        for (const auto& [lamp, state] : LampStates(static_cast<int>(*flags)))
            for (const char* shown : {"off", "on", "blinking"})
                out.sample(outcome, {{"lamp", lamp}, {"state", shown}}, state == shown ? "1" : "0");
    }

    out.family("vta_radio_clients", "gauge", "Stations associated with the radio.");
    for (const DeviceOutcome& outcome : answered)
        if (const auto clients = Number(Field(outcome, kClients)))
            out.sample(outcome, {{"radio", "1"}}, std::to_string(*clients));

    for (const TrafficCounter& counter : TrafficCounters()) {
        out.family(counter.metric, "counter", counter.help);
        for (const DeviceOutcome& outcome : answered)
            if (const auto value = Number(Field(outcome, counter.field)))
                out.sample(outcome, {{"radio", "1"}}, std::to_string(*value));
    }
    return out.text();
}
