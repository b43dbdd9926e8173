// `vta-fleet metrics` over a simulated site: a device with moving traffic and a name that
// needs escaping, a silent one and one that refuses the station-list command. Prometheus' own
// checker reads the output.
#include "support/DevsimSite.h"
#include "support/FleetTool.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

enum Device { kSound, kSilent, kReadOnly };
// Quotes, a backslash and a line break: each must be escaped in a label value.
const QString kAwkwardName = "lobby \"east\" \\ 2\nfloor";

class FleetMetrics : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString state = folder.filePath("named.json");
        WriteDevsimState(state, {{"1.3.6.1.2.1.1.5.0", {"string", kAwkwardName}}});
        std::vector<QStringList> devices(3);
        devices[kSound] = {"--state-in", state, "--traffic-rate", "1000", "--clients", "4", "--empty-client-rows", "2"};
        devices[kSilent] = {"--drop-percent", "100"};
        devices[kReadOnly] = {"--write-community", "secret"};
        site = std::make_unique<DevsimSite>(devices);
        ASSERT_TRUE(site->start()) << site->error();
        QFile list(folder.filePath("site.txt"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        for (size_t i = 0; i < site->size(); ++i)
            list.write((label(i) + " /Rpublic /Wprivate\n").toUtf8());
    }

    QString label(size_t device) const { return site->address(device) + ":" + QString::number(site->port()); }

    FleetResult run(const QStringList& arguments)
    {
        return RunFleetTool(QStringList{"--devices", folder.filePath("site.txt"), "--retries", "0"} + arguments,
                            FleetEnvironment(folder.path()));
    }

    // Each sample line as "name{labels}" -> value.
    static std::map<QString, QString> Samples(const QString& exposition)
    {
        std::map<QString, QString> samples;
        for (const QString& line : exposition.split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith('#'))
                continue;
            const qsizetype blank = line.lastIndexOf(' ');
            samples[line.left(blank)] = line.mid(blank + 1);
        }
        return samples;
    }

    QTemporaryDir folder;
    std::unique_ptr<DevsimSite> site;
};

TEST_F(FleetMetrics, EveryDeviceInTheExpositionFormatThatPrometheusAccepts)
{
    const FleetResult result = run({"metrics"});
    ASSERT_EQ(result.exitCode, 0) << "a silent device is reported, not a failure: " << result.errors.toStdString();

    const QString promtool = QStandardPaths::findExecutable("promtool");
    ASSERT_FALSE(promtool.isEmpty()) << "promtool is missing (Debian package prometheus; scripts/setup installs it)";
    QProcess check;
    check.start(promtool, {"check", "metrics"});
    check.write(result.output.toUtf8());
    check.closeWriteChannel();
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                   << check.readAllStandardError().toStdString() << "\n"
                                   << result.output.toStdString();

    const std::map<QString, QString> samples = Samples(result.output);
    const auto at = [&](const QString& key) {
        const auto found = samples.find(key);
        return found == samples.end() ? QString("(none)") : found->second;
    };
    const QString sound = "device=\"" + label(kSound) + "\"";
    const QString silent = "device=\"" + label(kSilent) + "\"";
    const QString readOnly = "device=\"" + label(kReadOnly) + "\"";

    EXPECT_EQ(at("vta_device_reachable{" + sound + "}"), "1");
    EXPECT_EQ(at("vta_device_reachable{" + silent + "}"), "0");
    EXPECT_EQ(at("vta_device_reachable{" + readOnly + "}"), "1");
    EXPECT_EQ(at("vta_device_info{" + sound + ",name=\"lobby \\\"east\\\" \\\\ 2\\nfloor\",firmware=\"2.05\"}"), "1");
    EXPECT_GT(at("vta_device_uptime_seconds{" + sound + "}").toDouble(), 0);
    EXPECT_EQ(at("vta_device_lamp{" + sound + ",lamp=\"power\",state=\"on\"}"), "1");
    EXPECT_EQ(at("vta_device_lamp{" + sound + ",lamp=\"radio1\",state=\"blinking\"}"), "1");
    EXPECT_EQ(at("vta_device_lamp{" + sound + ",lamp=\"radio2\",state=\"off\"}"), "1");
    EXPECT_EQ(at("vta_device_lamp{" + sound + ",lamp=\"radio1\",state=\"on\"}"), "0");
    EXPECT_EQ(at("vta_radio_clients{" + sound + ",radio=\"1\"}"), "4") << "free slots are not stations";
    EXPECT_EQ(at("vta_radio_clients{" + readOnly + ",radio=\"1\"}"), "(none)")
        << "a device that refuses the list command has no station count";
    EXPECT_GT(at("vta_radio_transmitted_frames_total{" + sound + ",radio=\"1\"}").toLongLong(), 0);
    EXPECT_GT(at("vta_radio_received_frames_total{" + sound + ",radio=\"1\"}").toLongLong(), 0);
    for (const auto& [key, value] : samples) {
        if (key.contains(silent)) {
            EXPECT_TRUE(key.startsWith("vta_device_reachable{")) << "a silent device has no stale values: " << key.toStdString();
        }
    }
}

TEST_F(FleetMetrics, JsonDoesNotApply)
{
    const FleetResult result = run({"--json", "metrics"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.errors.contains("--json does not apply")) << result.errors.toStdString();
}

} // namespace
