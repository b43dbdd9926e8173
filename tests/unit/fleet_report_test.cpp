// What vta-fleet prints: the table keeps each sub-command's columns whatever happened, the
// summary of a stopped run, and the firmware version an image carries.
#include "fleet/FirmwareVersion.h"
#include "fleet/FleetReport.h"
#include "fleet/StatusCommand.h"

#include <gtest/gtest.h>

namespace {

using Ending = DeviceOutcome::Ending;

TEST(FleetTable, KeepsTheCommandsColumnsWhenEveryDeviceFails)
{
    const std::vector<DeviceOutcome> failed{{"10.0.0.1", false, "(SNMPClass) SNMP request timed out!", {}},
                                            {"10.0.0.22", false, "the host name x does not resolve", {}}};
    EXPECT_EQ(OutcomesAsTable(failed, StatusColumns()),
              "device     name  firmware  uptime  power  lan  radio1  radio2  result\n"
              "10.0.0.1   -     -         -       -      -    -       -       (SNMPClass) SNMP request timed out!\n"
              "10.0.0.22  -     -         -       -      -    -       -       the host name x does not resolve\n");
    // A device that has them fills them; a further field goes before the result.
    const std::vector<DeviceOutcome> mixed{{"a", true, "saved", {{"file", "/b/a.cfg"}, {"note", "n"}}},
                                           {"bb", false, "failed", {}}};
    EXPECT_EQ(OutcomesAsTable(mixed, {"file"}),
              "device  file      note  result\n"
              "a       /b/a.cfg  n     saved\n"
              "bb      -         -     failed\n");
}

TEST(FleetSummary, CountsEachWayADeviceEnded)
{
    const std::vector<DeviceOutcome> outcomes{
        {"a", true, "saved", {}},         {"b", true, "saved", {}},
        {"c", false, "timed out", {}},    {"d", false, "interrupted", {}, Ending::Interrupted},
        {"e", false, "not started", {}, Ending::NotStarted}, {"f", false, "not started", {}, Ending::NotStarted},
    };
    EXPECT_EQ(OutcomeSummary(outcomes, "saved"), "2 saved, 1 failed, 1 interrupted, 2 not started");
    EXPECT_EQ(OutcomeSummary({{"a", true, "reachable", {}}}, "reachable"), "1 reachable, 0 failed");
}

TEST(FleetFirmware, AnImagesVersionIsInItsFirstLineElseInItsName)
{
    using V = FirmwareVersion;
    const struct {
        const char* head;
        const char* name;
        std::optional<V> version;
    } cases[] = {
        {"VTA-3100QX FW 2.10\nbuilt 3.4", "vta.tfp", V{2, 10}},
        {"binary\n2.10", "vta_2.05.tfp", V{2, 5}},  // only the first line counts
        {"no version", "VTA_3.00.TFP", V{3, 0}},
        {"", "vta.tfp", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ImageVersion(c.head, c.name), c.version) << c.head << " / " << c.name;
    // Compared as two numbers: 2.05 is older than 2.10, and "2.10" equals "2.10".
    EXPECT_LT(*ParseVersion("2.05"), *ParseVersion("2.10"));
    EXPECT_EQ(ParseVersion("2.10"), ParseVersion("firmware 2.10"));
    EXPECT_EQ(ParseVersion("none"), std::nullopt);
}

}  // namespace
