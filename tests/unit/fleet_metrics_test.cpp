// What vta-fleet metrics makes of outcomes the network cannot easily produce: a name that is
// not UTF-8, a run stopped part-way, values a device did not give.
#include "fleet/MetricsExposition.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

DeviceOutcome Answered(const std::string& device, const std::string& name)
{
    DeviceOutcome outcome{device, true, "reachable", {}};
    outcome.fields = {{MetricFields::kName, name},    {MetricFields::kFirmware, "2.05"},
                      {MetricFields::kUpTime, "0:00:01.50"}, {MetricFields::kLamps, "(NULL)"},
                      {"transmitted", "4294967295"}, {"received", "(NULL)"}};
    return outcome;
}

TEST(FleetMetricsExposition, NamesBecomeUtf8AndWhatADeviceDidNotGiveIsLeftOut)
{
    const std::string text = MetricsExposition({Answered("a", "caf\xe9")});
    // Latin-1 bytes are not UTF-8: Prometheus would refuse the whole file.
    EXPECT_NE(text.find("name=\"caf\xef\xbf\xbd\""), std::string::npos) << text;
    EXPECT_TRUE(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8().toStdString() == text);
    EXPECT_NE(text.find("vta_device_uptime_seconds{device=\"a\"} 1.50\n"), std::string::npos);
    EXPECT_NE(text.find("vta_radio_transmitted_frames_total{device=\"a\",radio=\"1\"} 4294967295\n"), std::string::npos);
    EXPECT_EQ(text.find("vta_radio_received_frames_total{"), std::string::npos) << "no value, no sample";
    EXPECT_EQ(text.find("vta_device_lamp{"), std::string::npos) << "no lamps without the status flags";
    EXPECT_NE(text.find("# TYPE vta_radio_received_frames_total counter\n"), std::string::npos)
        << "every family is declared, even without samples";
}

TEST(FleetMetricsExposition, DevicesAStoppedRunDidNotFinishAreLeftOut)
{
    DeviceOutcome interrupted{"b", false, "interrupted", {}, DeviceOutcome::Ending::Interrupted};
    DeviceOutcome notStarted{"c", false, "not started", {}, DeviceOutcome::Ending::NotStarted};
    DeviceOutcome silent{"d", false, "(SNMPClass) SNMP request timed out!", {}};
    const std::string text = MetricsExposition({Answered("a", "ap"), interrupted, notStarted, silent});
    EXPECT_EQ(text.find("device=\"b\""), std::string::npos);
    EXPECT_EQ(text.find("device=\"c\""), std::string::npos);
    EXPECT_NE(text.find("vta_device_reachable{device=\"d\"} 0\n"), std::string::npos);
    EXPECT_NE(text.find("vta_device_reachable{device=\"a\"} 1\n"), std::string::npos);
}

} // namespace
