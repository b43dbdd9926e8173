// A page's opening reads asked of the device together: each binding sees exactly what it saw
// when it read alone, also when the device lacks an object or refuses one binding of a merged
// get, on SNMPv2c and SNMPv1; a merged get too big for the device is split; nothing read ahead
// is served after the page's creation.
#include "binding/DeviceVariables.h"
#include "binding/QvPage.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/ReadTogether.h"
#include "snmp/SnmpSettings.h"
#include "support/BulkSpoilingProxy.h"
#include "support/PageTestKit.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>

using namespace DeviceVariables;

namespace {

#define COUNTRY_CODE_OID VTA_OID(".99.1.1.6")

const VariableDescriptor kStatus[] = {StLed, StFirmwareVersion, EndOfTable};
const VariableDescriptor kCountry[] = {CountryCode, EndOfTable};
const VariableDescriptor kModes[] = {AdApMode1, TurboModes1, EndOfTable};
const VariableDescriptor kXr[] = {{VTA_OID(".2.3.1.99.1"), "adXR", kSyntaxInteger, kAccessReadWrite}, EndOfTable};

// What a binding showed of its opening read.
struct Seen {
    bool ok = true;
    int code = 0;
    std::string message;
    std::vector<std::string> values;
    QStringList rows;
    QString status;  // its status line, the time taken out
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* out)
{
    *out << "{ok " << s.ok << ", code " << s.code << " \"" << s.message << "\", values";
    for (const std::string& v : s.values)
        *out << " \"" << v << '"';
    *out << ", " << s.rows.size() << " rows, status \"" << s.status.toStdString() << "\"}";
}

std::vector<std::string> valuesOf(const QvSNMPRequest& request)
{
    std::vector<std::string> values;
    for (int32_t i = 0; i < request.list.Count(); ++i)
        values.push_back(request.list.Item(i).value);
    return values;
}

// Opens like a page: scalars, single instances, the DHCP pool (notifying), the static leases
// walked into a list (notifying), the country code and the XR feature, each reporting into a
// memo of its own. Together or each alone; one binding's Get may be left out of the opening.
class OpeningPage : public QvPage {
public:
    static constexpr int kBindings = 6;
    enum { Status, Country, Modes, Pool, Leases, Xr };

    OpeningPage(bool together, int leftOut = -1)
    {
        RunFormCreate([&] { FormCreate(together, leftOut); });
    }

    void FormCreate(bool together, int leftOut)
    {
        const VariableDescriptor* tables[kBindings] = {kStatus, kCountry, kModes, DhcpDynamicPool,
                                                        DhcpStaticLeases, kXr};
        const uint8_t kinds[kBindings] = {kListScalars, kListScalars, kListSingleInstances, kListScalars, kListTable,
                                          kListSingleInstances};
        std::vector<QvSNMPRequest2Controls*> all;
        for (int b = 0; b < kBindings; ++b) {
            auto& binding = NewBinding<QvSNMPRequest2Edits>();
            binding.request.list.Assign(QvSNMPVarList(tables[b], kinds[b], b == Leases ? 1 : 0));
            const bool notifying = b == Pool || b == Leases;
            binding.RequestMode = notifying ? QvSNMPRequest2Controls::kNotifying : QvSNMPRequest2Controls::kWaiting;
            memos[b] = new QPlainTextEdit(this);
            binding.SetStatusSink(memos[b]);
            if (b == Leases) {
                leases = new QTreeWidget(this);
                binding.BindListView(leases, false);
            }
            binding.OnGetDone = [this, b](QvSNMPRequest2Controls& done, const QvSNMPError& record) {
                seen[b].code = record.code;
                seen[b].message = record.message;
                note(b, done);
            };
            bindings[b] = &binding;
            all.push_back(&binding);
        }
        if (together)
            ReadTogether(all);
        for (int b = 0; b < kBindings; ++b) {
            if (b == leftOut)
                continue;
            seen[b].ok = bindings[b]->Get();
            if (bindings[b]->RequestMode == QvSNMPRequest2Controls::kWaiting)
                note(b, *bindings[b]);
        }
    }

    void note(int b, QvSNMPRequest2Controls& binding)
    {
        seen[b].values = valuesOf(binding.request);
        if (b == Leases)
            for (int r = 0; r < leases->topLevelItemCount(); ++r)
                seen[b].rows << leases->topLevelItem(r)->text(1);
        static const QRegularExpression time("\\d\\d:\\d\\d:\\d\\d \\S+");
        seen[b].status = memos[b]->toPlainText().replace(time, "TIME");
    }

    std::array<Seen, kBindings> seen;
    std::array<QvSNMPRequest2Edits*, kBindings> bindings{};
    std::array<QPlainTextEdit*, kBindings> memos{};
    QTreeWidget* leases = nullptr;
};

std::array<Seen, OpeningPage::kBindings> open(bool together, uint64_t* exchanges = nullptr)
{
    const uint64_t before = SnmpSession::global().exchangesSent();
    OpeningPage page(together);
    EXPECT_TRUE(waitFor([&] { return !page.AnyBindingBusy(); }));
    if (exchanges)
        *exchanges = SnmpSession::global().exchangesSent() - before;
    return page.seen;
}

// A firmware without the country code object and without XR (which it refuses by name), on
// SNMPv2c (1) and SNMPv1 (0).
class CombinedOpeningRead : public PageAgainstDevice, public ::testing::WithParamInterface<uint8_t> {
protected:
    QStringList deviceArguments() const override { return {"--without", COUNTRY_CODE_OID, "--without", "xr"}; }
    void SetUp() override
    {
        PageAgainstDevice::SetUp();
        QvSNMPSecurity.version = GetParam();
    }
};

TEST_P(CombinedOpeningRead, EveryBindingShowsWhatItShowsWhenReadAlone)
{
    const auto alone = open(false);
    const auto together = open(true);
    for (int b = 0; b < OpeningPage::kBindings; ++b)
        EXPECT_EQ(together[b], alone[b]) << "binding " << b;

    // What they show: the device's values, and each refusal where it belongs.
    EXPECT_TRUE(together[OpeningPage::Status].ok);
    EXPECT_FALSE(together[OpeningPage::Status].values[1].empty());
    EXPECT_EQ(together[OpeningPage::Modes].values[0], "Access Point");
    EXPECT_EQ(together[OpeningPage::Pool].values[0], "192.168.0.100");
    EXPECT_EQ(together[OpeningPage::Pool].code, 0);
    EXPECT_EQ(together[OpeningPage::Leases].code, 0);
    EXPECT_FALSE(together[OpeningPage::Xr].ok);
    EXPECT_TRUE(together[OpeningPage::Xr].status.contains("(SNMP) Variable does not exist!"))
        << together[OpeningPage::Xr].status.toStdString();
    if (GetParam() == 0) {
        EXPECT_FALSE(together[OpeningPage::Country].ok);
        EXPECT_TRUE(together[OpeningPage::Country].status.contains("(SNMP) Variable does not exist!"));
    } else {
        // SNMPv2c names the missing object in its binding and answers the rest.
        EXPECT_TRUE(together[OpeningPage::Country].ok);
        EXPECT_EQ(together[OpeningPage::Country].values[0], "");  // an empty display string
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, CombinedOpeningRead, ::testing::Values(uint8_t{1}, uint8_t{0}),
                         [](const auto& info) { return info.param == 0 ? "SNMPv1" : "SNMPv2c"; });

class ReadAheadLifetime : public PageAgainstDevice {};

TEST_F(ReadAheadLifetime, NothingReadAheadIsServedAfterTheOpening)
{
    // The pool's Get is left out of the opening: what was read ahead for it goes with it.
    OpeningPage page(true, OpeningPage::Pool);
    ASSERT_TRUE(waitFor([&] { return !page.AnyBindingBusy(); }));
    for (QvSNMPRequest2Edits* binding : page.bindings)
        EXPECT_FALSE(binding->request.HasReadAhead());

    // A later read asks the device, and a refresh of a read-ahead binding does too.
    for (int b : {int{OpeningPage::Pool}, int{OpeningPage::Status}}) {
        const uint64_t before = SnmpSession::global().exchangesSent();
        page.bindings[b]->RequestMode = QvSNMPRequest2Controls::kWaiting;
        EXPECT_TRUE(page.bindings[b]->Get());
        EXPECT_EQ(SnmpSession::global().exchangesSent() - before, 1u) << "binding " << b;
    }
    EXPECT_EQ(page.bindings[OpeningPage::Pool]->request.list.Item(0).value, "192.168.0.100");
}

TEST_F(ReadAheadLifetime, AnotherExchangeOfTheRequestDropsItsAnswer)
{
    QvSNMPRequest request;
    request.list.Assign(QvSNMPVarList(kStatus, kListScalars, 0));
    ReadTogether::Read({&request});
    ASSERT_TRUE(request.HasReadAhead());
    request.list.Item(0).access = kAccessInvalid;  // the Get now asks another question
    const uint64_t before = SnmpSession::global().exchangesSent();
    bool ok = true;
    request.GetSync(true, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(SnmpSession::global().exchangesSent() - before, 1u);
    EXPECT_FALSE(request.HasReadAhead());
}

// A device whose answers must fit a datagram of nine bindings.
class SmallDatagramDevice : public PageAgainstDevice {};

TEST_F(SmallDatagramDevice, AMergedGetRefusedAsTooBigIsSplitUntilItFits)
{
    BulkSpoilingProxy proxy(device->port(), BulkSpoilingProxy::Spoil::TooBigGet, 9);
    ASSERT_TRUE(proxy.started());
    AimAt(proxy.port());
    const VariableDescriptor* tables[] = {kStatus, kModes, DhcpDynamicPool, kCountry};
    const uint8_t kinds[] = {kListScalars, kListSingleInstances, kListScalars, kListScalars};
    std::vector<std::unique_ptr<QvSNMPRequest>> alone, together;
    for (int r = 0; r < 4; ++r)
        for (auto* requests : {&alone, &together}) {
            requests->push_back(std::make_unique<QvSNMPRequest>());
            requests->back()->list.Assign(QvSNMPVarList(tables[r], kinds[r], 0));
        }
    for (auto& request : alone) {
        bool ok = true;
        request->GetSync(true, ok);
        EXPECT_TRUE(ok);
    }

    // 14 bindings: too big; 4 and 10: the second too big; its 9 and 1 fit.
    const int getsBefore = proxy.getRequests();
    const ReadTogether::Outcome outcome =
        ReadTogether::Read({together[0].get(), together[1].get(), together[2].get(), together[3].get()});
    EXPECT_EQ(outcome.exchanges, 5);
    EXPECT_EQ(outcome.rounds, 3);
    EXPECT_EQ(proxy.getRequests() - getsBefore, 5);
    for (size_t r = 0; r < together.size(); ++r) {
        EXPECT_TRUE(together[r]->HasReadAhead()) << r;
        bool ok = true;
        together[r]->GetSync(true, ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(valuesOf(*together[r]), valuesOf(*alone[r])) << r;
    }
    EXPECT_EQ(proxy.getRequests() - getsBefore, 5);  // the Gets took their answers
}

// The device's rows of a table walk, as a binding takes them.
std::vector<std::vector<std::string>> walk(QvSNMPRequest& request)
{
    std::vector<std::vector<std::string>> rows;
    bool ok = true;
    for (bool more = request.GetSync(true, ok); ok && more; more = request.GetSync(false, ok))
        rows.push_back(valuesOf(request));
    EXPECT_TRUE(ok);
    return rows;
}

// A table wider than an agent answers in one get-bulk (eight columns of sixteen rows): its
// first get-bulk goes out in groups of columns at once, and the walk then needs nothing more.
class WideTableOpening : public PageAgainstDevice {};

TEST_F(WideTableOpening, ComesWholeInOneRoundAndGivesTheRowsOfAWalkAlone)
{
    QvSNMPRequest alone, together;
    for (QvSNMPRequest* request : {&alone, &together})
        request->list.Assign(QvSNMPVarList(DhcpStaticLeases, kListTable, 1));
    const auto rows = walk(alone);
    ASSERT_EQ(rows.size(), 16u);

    const ReadTogether::Outcome outcome = ReadTogether::Read({&together});
    EXPECT_EQ(outcome.rounds, 1);
    EXPECT_GT(outcome.exchanges, 1);
    const uint64_t before = SnmpSession::global().exchangesSent();
    EXPECT_EQ(walk(together), rows);
    EXPECT_EQ(SnmpSession::global().exchangesSent() - before, 0u) << "the walk asked the device again";
}

} // namespace
