#include "support/SnmpLibrary.h"
#include "binding/ByteForm.h"
#include "binding/Controls.h"
#include "support/DialogRecorder.h"
#include "snmp/QvException.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/QvSNMPStartup.h"
#include "binding/RadioGroup.h"
#include "binding/UnreadSettingError.h"
#include "snmp/SnmpSettings.h"
#include "binding/QvStatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

const OptionRow kEnableRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const OptionRow kModeRows[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {0, nullptr}};
const QvOptionList kEnable(kEnableRows);
const QvOptionList kMode(kModeRows);

enum Item { kNumber, kAddress, kMac, kName, kMode_, kSwitch, kChoice, kFlag, kUptime, kCount };

const VariableDescriptor kScalars[] = {
    {"1.3.6.1.4.1.32473.99.1", "number", kSyntaxInteger, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.2", "address", kSyntaxIpAddress, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.3", "mac", kSyntaxMacAddress, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.4", "name", kSyntaxDisplayString, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.5", "mode", kSyntaxInteger, kAccessReadWrite, &kMode},
    {"1.3.6.1.4.1.32473.99.6", "switch", kSyntaxInteger, kAccessReadWrite, &kEnable},
    {"1.3.6.1.4.1.32473.99.7", "choice", kSyntaxInteger, kAccessReadWrite, &kMode},
    {"1.3.6.1.4.1.32473.99.8", "flag", kSyntaxBoolean, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.10", "uptime", kSyntaxTimeTicks, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};

const VariableDescriptor kTable[] = {
    {"1.3.6.1.4.1.32473.99.9.1.1", "index", kSyntaxInteger, kAccessNotAccessible},
    {"1.3.6.1.4.1.32473.99.9.1.2", "value", kSyntaxInteger, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

// An agent that never answers: a UDP socket on loopback that only counts what arrives.
class SilentAgent {
public:
    SilentAgent() { socket.bind(QHostAddress::LocalHost, 0); }
    uint16_t port() const { return socket.localPort(); }
    // Datagrams received so far (waits a little for late ones).
    int received()
    {
        socket.waitForReadyRead(30);
        while (socket.hasPendingDatagrams()) {
            socket.receiveDatagram();
            ++count;
        }
        return count;
    }

private:
    QUdpSocket socket;
    int count = 0;
};

void runUntil(const std::function<bool()>& done, int milliseconds = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

const QRegularExpression kClock(R"(\d\d:\d\d:\d\d (AM|PM|am|pm)\.$)");

// A form whose controls are bound to the scalar items; every exchange goes to an agent that
// never answers, after 10 ms and no retry.
class BoundForm : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    void SetUp() override
    {
        SetDefaultSnmpSettings();
        QvSNMPDevice.address = "127.0.0.1";
        QvSNMPDevice.port = agent.port();
        binding = std::make_unique<QvSNMPRequest2Edits>(&form);
        binding->request.list.Assign(QvSNMPVarList(kScalars, kListScalars, 0));
        binding->request.timeout = 1;
        binding->request.retries = 0;
        binding->RequestMode = QvSNMPRequest2Controls::kWaiting;
        for (QLineEdit*& edit : edits)
            edit = new QLineEdit(&form);
        binding->BindEdit(kNumber, edits[kNumber], "%s");
        binding->BindEdit(kAddress, edits[kAddress], "%s");
        binding->BindEdit(kMac, edits[kMac], "%h");
        binding->BindEdit(kName, edits[kName], "%s");
        binding->BindControl(kUptime, label);
        binding->BindComboBox(kMode_, combo);
        binding->BindCheckBox(kSwitch, check);
        binding->BindRadioGroup(kChoice, radios);
        binding->BindCheckBox(kFlag, flag);
    }

    std::string value(int item) const { return binding->request.list.Item(item).value; }
    void setValue(int item, const std::string& text) { binding->request.list.Item(item).value = text; }

    void fillValidControls()
    {
        edits[kNumber]->setText("1");
        edits[kAddress]->setText("10.0.0.1");
        edits[kMac]->setText("00E0A6310524");
        edits[kName]->setText("x");
        combo->setCurrentIndex(0);
        radios->SetItemIndex(0);
        check->setChecked(true);
        flag->setChecked(true);
    }

    SilentAgent agent;
    QWidget form;
    DialogRecorder recorder;
    QLineEdit* edits[4] = {};
    QLabel* label = new QLabel(&form);
    QComboBox* combo = new QComboBox(&form);
    QCheckBox* check = new QCheckBox(&form);
    RadioGroup* radios = new RadioGroup(&form);
    QCheckBox* flag = new QCheckBox(&form);
    std::unique_ptr<QvSNMPRequest2Edits> binding;
};

TEST_F(BoundForm, SetTurnsEditTextsIntoValueTextsOfTheirSyntax)
{
    struct Case {
        int item;
        const char* text;
        const char* sent;  // the value text that goes out, or null when Set throws
        int code;
    };
    const Case cases[] = {
        {kNumber, "0012", "12", 0},
        {kNumber, "12abc", "12", 0},
        {kNumber, " -7", "-7", 0},
        {kNumber, "", "0", 0},
        {kNumber, "abc", "0", 0},
        // "(NULL)" is what a value that never arrived shows: it is not written as 0 or as a
        // null value, the set stops and names the setting.
        {kNumber, "(NULL)", nullptr, UnreadSettingError::kCode},
        {kNumber, "99999999999", "2147483647", 0},
        {kAddress, "192.168.001.010", "192.168.1.10", 0},
        // An address is read as every check reads it: never a value other than the one approved.
        {kAddress, "10.0.0.300", nullptr, -518},
        {kAddress, "0x0A.0.0.1", nullptr, -518},
        {kAddress, "$A.0.0.1", nullptr, -518},
        {kAddress, " 10.0.0.1", nullptr, -518},
        {kAddress, "(NULL)", nullptr, UnreadSettingError::kCode},
        {kName, "(NULL)", nullptr, UnreadSettingError::kCode},
        {kAddress, "10.0.0", nullptr, -518},
        {kAddress, "", nullptr, -518},
        {kMac, "00e0a6310524", "00E0A6310524", 0},
        {kMac, "00 E0 A6 31 05 24", "00E0A6310524", 0},
        {kMac, "00E0A63105", nullptr, -518},
        {kName, "lobby", "lobby", 0},
        {kName, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.item) + " '" + c.text + "'");
        fillValidControls();
        edits[c.item]->setText(c.text);
        const int before = agent.received();
        if (c.sent) {
            EXPECT_FALSE(binding->Set(false, true));  // nobody answers
            EXPECT_EQ(value(c.item), c.sent);
            EXPECT_GT(agent.received(), before);
        } else {
            try {
                binding->Set(false, true);
                ADD_FAILURE() << "no exception";
            } catch (const QvException& error) {
                EXPECT_EQ(error.code(), c.code);
                if (c.code == -518) {
                    EXPECT_STREQ(error.what(), "(QvSNMP++) Bad value of the associated SNMP variable's (partial) data!");
                } else {
                    EXPECT_NE(std::string(error.what()).find('"' + binding->request.list.Item(c.item).name + '"'),
                              std::string::npos)
                        << error.what();
                }
            }
            EXPECT_EQ(agent.received(), before) << "nothing may be sent";
        }
        EXPECT_FALSE(binding->Busy);
    }
}

TEST_F(BoundForm, OptionListControlsShowDisplayOrValueTextsAndSendValues)
{
    struct Shown {
        const char* value;
        int comboIndex;  // also the radio group's
        const char* flagValue;
        bool checked;
    };
    const Shown shown[] = {
        {"2", 1, "1", true},
        {"Dynamic (DHCP)", 1, "Enable", true},
        {"dynamic (dhcp)", 1, "enable", true},
        {"1", 0, "0", false},
        {"5", -1, "7", false},
    };
    for (const Shown& s : shown) {
        SCOPED_TRACE(std::string(s.value) + " / " + s.flagValue);
        check->setChecked(!s.checked);
        setValue(kMode_, s.value);
        setValue(kChoice, s.value);
        setValue(kSwitch, s.flagValue);
        binding->ValuesToControls(-1);
        EXPECT_EQ(combo->currentIndex(), s.comboIndex);
        EXPECT_EQ(radios->ItemIndex(), s.comboIndex);
        EXPECT_EQ(check->isChecked(), s.checked);
    }
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(radios->Items(), QStringList({"Static (Manual)", "Dynamic (DHCP)"}));
    EXPECT_FALSE(combo->isEditable());

    struct Sent {
        int comboIndex;
        int radioIndex;
        bool checked;
        const char* mode;  // value texts after collecting: display texts where a row matches
        const char* choice;
        const char* switched;
    };
    const Sent sent[] = {
        {1, 0, true, "Dynamic (DHCP)", "Static (Manual)", "Enable"},
        {0, 1, false, "Static (Manual)", "Dynamic (DHCP)", "Disable"},
    };
    for (const Sent& s : sent) {
        fillValidControls();
        combo->setCurrentIndex(s.comboIndex);
        radios->SetItemIndex(s.radioIndex);
        check->setChecked(s.checked);
        binding->Set(false, true);
        EXPECT_EQ(value(kMode_), s.mode);
        EXPECT_EQ(value(kChoice), s.choice);
        EXPECT_EQ(value(kSwitch), s.switched);
    }

    // A selector without a selection holds no value: writing it would send 0, a value nobody
    // chose (and often outside the list). The set stops before anything is sent.
    for (const auto& [comboIndex, radioIndex, unread] :
         {std::tuple{-1, 0, "mode"}, std::tuple{0, -1, "choice"}}) {
        fillValidControls();
        combo->setCurrentIndex(comboIndex);
        radios->SetItemIndex(radioIndex);
        const int before = agent.received();
        try {
            binding->Set(false, true);
            ADD_FAILURE() << "no exception for " << unread;
        } catch (const UnreadSettingError& error) {
            EXPECT_EQ(error.setting(), unread);
        }
        EXPECT_EQ(agent.received(), before) << "nothing may be sent";
        EXPECT_FALSE(binding->Busy);
    }
}

// A check box whose value never arrived shows neither on nor off (not unchecked, which
// would be written as "off"), and the set refuses it as it refuses an empty selector. The
// user's click decides it as usual, and the box never goes back to the third state.
TEST_F(BoundForm, ACheckBoxNotReadShowsAThirdStateAndIsNotWritten)
{
    for (auto [item, box] : {std::pair{kSwitch, check}, std::pair{kFlag, flag}}) {
        SCOPED_TRACE(binding->request.list.Item(item).name);
        fillValidControls();
        setValue(item, "(NULL)");
        binding->ValuesToControls(item);
        EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);

        const int before = agent.received();
        try {
            binding->Set(false, true);
            ADD_FAILURE() << "no exception";
        } catch (const UnreadSettingError& error) {
            EXPECT_EQ(error.setting(), binding->request.list.Item(item).name);
        }
        EXPECT_EQ(agent.received(), before) << "nothing may be sent";

        std::vector<Qt::CheckState> clicked;
        for (int click = 0; click < 3; ++click) {
            box->click();
            clicked.push_back(box->checkState());
        }
        EXPECT_EQ(clicked, (std::vector<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
        box->click();
        binding->Set(false, true);  // nobody answers
        EXPECT_EQ(value(item), item == kFlag ? "false" : "Disable");

        // A value that arrives ends the third state; the next one that fails shows it again.
        box->setCheckState(Qt::PartiallyChecked);
        setValue(item, item == kFlag ? "true" : "Enable");
        binding->ValuesToControls(item);
        EXPECT_EQ(box->checkState(), Qt::Checked);
        box->click();
        EXPECT_EQ(box->checkState(), Qt::Unchecked);
        setValue(item, "(NULL)");
        binding->ValuesToControls(item);
        EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    }
}

TEST(ByteForms, EverySyntaxComesBackInItsTextForm)
{
    struct Case {
        int32_t syntax;
        const char* text;
        const char* back;
    };
    const Case cases[] = {
        {kSyntaxBoolean, "true", "true"},
        {kSyntaxBoolean, "yes", "false"},
        {kSyntaxObjectId, "1.3.6.1.4.1.32473", "1.3.6.1.4.1.32473"},
        {kSyntaxCounter, "4294967295", "4294967295"},
        {kSyntaxGauge, "4294967296", "4294967295"},  // held at the largest 32-bit value
        {kSyntaxUInteger, "-1", "0"},
        {kSyntaxTimeTicks, "1 day 2:03:04.05", "1 day 2:03:04.05"},
        {kSyntaxTimeTicks, "12345", "0:02:03.45"},
        {kSyntaxCounter64, "18446744073709551615", "18446744073709551615"},
        {kSyntaxOctetString, "0a0B", "0A0B"},
        {kSyntaxDouble, "2.5", "2.5"},
        {kSyntaxDateTime, "2006-3-7,14:5:9.0,+8:0", "2006-3-7,14:5:9.0,+8:0"},
        {kSyntaxBcDateTime, "2006/03/07 02:05:09 pm", "2006/03/07 02:05:09 pm"},
        {kSyntaxNull, "anything", "(NULL)"},
        {kSyntaxInt8, "300", "127"},
        {kSyntaxUInt16, "65536", "65535"},
        {kSyntaxBool16, "true", "true"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.syntax) + " " + c.text);
        EXPECT_EQ(ByteForm::ToText(c.syntax, ByteForm::FromText(c.syntax, c.text)), c.back);
    }
    EXPECT_THROW(ByteForm::FromText(99, "1"), QvException);
    try {
        ByteForm::ToText(kSyntaxBcDateTime, ByteForm::FromText(kSyntaxBcDateTime, "not a date"));
        ADD_FAILURE() << "no exception";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -518);
    }
}

// A value longer than its edit shows from its first character, as a description should read.
TEST_F(BoundForm, AValueLongerThanItsEditShowsItsBeginning)
{
    QLineEdit* name = edits[kName];
    name->resize(60, name->height());
    const std::string description = "VTA-3100QX Wireless Access Point, firmware 2.05";
    setValue(kName, description);
    binding->ValuesToControls(kName);
    EXPECT_EQ(name->text().toStdString(), description);
    EXPECT_EQ(name->cursorPosition(), 0);
}

TEST_F(BoundForm, BooleanItemsAndLabels)
{
    setValue(kFlag, "true");
    setValue(kUptime, "1 day 2:03:04.05");
    binding->ValuesToControls(-1);
    EXPECT_TRUE(flag->isChecked());
    EXPECT_EQ(label->text(), "1 day 2:03:04.05");

    fillValidControls();
    flag->setChecked(false);
    binding->Set(false, true);
    EXPECT_EQ(value(kFlag), "false");
    EXPECT_EQ(value(kUptime), "") << "a read-only item is not collected";
}

TEST_F(BoundForm, BindingAndShowingRefuseWhatTheyCannotHandle)
{
    QComboBox otherCombo(&form);
    RadioGroup otherRadios(&form);
    QCheckBox otherCheck(&form);
    QPlainTextEdit memo(&form);
    QLabel otherLabel(&form);
    QLineEdit otherEdit(&form);
    struct Case {
        const char* what;
        std::function<void()> action;
        int code;
    };
    const std::vector<Case> cases = {
        {"combo box without option list", [&] { binding->BindComboBox(kNumber, &otherCombo); }, -520},
        {"radio group without option list", [&] { binding->BindRadioGroup(kNumber, &otherRadios); }, -520},
        {"edit with a malformed format", [&] { binding->BindEdit(kName, &otherEdit, "%q"); }, -2},
        {"item that does not exist", [&] { binding->BindControl(kCount, &otherLabel); }, -12},
        {"check box on a number without option list",
         [&] {
             binding->BindCheckBox(kNumber, &otherCheck);
             binding->ValuesToControls(kNumber);
         },
         -517},
        {"memo", [&] {
             binding->BindControl(kName, &memo);
             binding->ValuesToControls(kName);
         },
         -521},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.action();
            ADD_FAILURE() << "no exception";
        } catch (const QvException& error) {
            EXPECT_EQ(error.code(), c.code);
        }
    }
}

TEST_F(BoundForm, AnUnknownSyntaxIsRefusedBeforeAnythingIsShown)
{
    const VariableDescriptor odd[] = {{"1.3.6.1.4.1.32473.99.1", "odd", 99, kAccessReadWrite},
                                      {nullptr, nullptr, 0, 0}};
    QvSNMPRequest2Edits other(&form);
    other.request.list.Assign(QvSNMPVarList(odd, kListScalars, 0));
    QLabel shown(&form);
    shown.setText("before");
    other.BindControl(0, &shown);
    other.request.list.Item(0).value = "5";
    try {
        other.ValuesToControls(-1);
        ADD_FAILURE() << "no exception";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -511);
        EXPECT_STREQ(error.what(), "(QvSNMP++) Bad SNMP syntax!");
    }
    EXPECT_EQ(shown.text(), "before");
}

TEST_F(BoundForm, AWaitingGetThatTimesOutShowsNullAndReportsTheStatusLine)
{
    QvStatusBar bar(&form);
    binding->SetStatusSink(&bar);
    int before = 0, after = 0;
    binding->OnBeforeGet = [&] { ++before; };
    binding->OnAfterGet = [&] {
        ++after;
        EXPECT_TRUE(binding->Busy);
    };
    edits[kNumber]->setText("7");
    edits[kName]->setText("old");

    EXPECT_FALSE(binding->Get());
    EXPECT_FALSE(binding->Busy);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(edits[kNumber]->text(), "(NULL)");
    EXPECT_EQ(label->text(), "(NULL)");
    EXPECT_EQ(edits[kAddress]->text(), "(NULL)");
    EXPECT_EQ(edits[kName]->text(), "");  // a display string without value is empty
    EXPECT_EQ(edits[kMac]->text(), "");
    const QString line = bar.SimpleText();
    EXPECT_TRUE(line.startsWith("Get: (SNMPClass) SNMP request timed out!. Receive at ")) << line.toStdString();
    EXPECT_TRUE(kClock.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(binding->StatusTemplate(), 0);
}

TEST_F(BoundForm, WithoutASinkAWaitingFailureIsTheResultAlone)
{
    EXPECT_FALSE(binding->Get());
    EXPECT_TRUE(recorder.messages.empty());

    binding->ShowStatus("nowhere");  // does nothing without a sink
    EXPECT_TRUE(recorder.messages.empty());

    fillValidControls();
    EXPECT_FALSE(binding->Set(false, true));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(BoundForm, StatusLinesGoToEachKindOfSinkWithTheTemplateOfTheLastExchange)
{
    QPlainTextEdit memo(&form);
    QvStatusBar bar(&form);
    QvStatusPanel* panel = bar.AddPanel(200);
    binding->SetStatusSink(&memo);
    binding->ShowStatus("first");
    binding->request.list.description = "LAN settings";
    binding->ShowStatus("second");
    const QStringList lines = memo.toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Get: first. Receive at ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Get: second Request:LAN settings. Receive at ")) << lines[1].toStdString();
    EXPECT_TRUE(kClock.match(lines[1]).hasMatch());

    binding->SetStatusSink(panel);
    fillValidControls();
    binding->Set(false, true);
    EXPECT_TRUE(panel->Text().startsWith("Set: (SNMPClass) SNMP request timed out! Request:LAN settings. Receive at "))
        << panel->Text().toStdString();
    EXPECT_EQ(memo.toPlainText().split('\n').size(), 2);
}

TEST_F(BoundForm, ANotifyingGetThatTimesOutEndsInOnGetDoneOnly)
{
    binding->RequestMode = QvSNMPRequest2Controls::kNotifying;
    edits[kNumber]->setText("7");
    int afterGets = 0;
    std::vector<QvSNMPError> done;
    binding->OnAfterGet = [&] { ++afterGets; };
    binding->OnGetDone = [&](QvSNMPRequest2Controls& b, const QvSNMPError& record) {
        EXPECT_EQ(&b, binding.get());
        EXPECT_FALSE(b.Busy);
        done.push_back(record);
    };
    EXPECT_TRUE(binding->Get());
    EXPECT_TRUE(binding->Busy);
    runUntil([&] { return !done.empty(); });
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].code, -405);
    EXPECT_EQ(done[0].message, "(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(afterGets, 0);
    EXPECT_EQ(edits[kNumber]->text(), "7");
    EXPECT_FALSE(binding->Busy);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(BoundForm, AnExchangeThatCannotStartLeavesTheBindingIdle)
{
    QvSNMPDevice.address = "no.such.host.invalid";
    QvSNMPRequest2Edits other(&form);
    other.request.list.Assign(QvSNMPVarList(kScalars, kListScalars, 0));
    for (uint8_t mode : {QvSNMPRequest2Controls::kWaiting, QvSNMPRequest2Controls::kNotifying}) {
        other.RequestMode = mode;
        EXPECT_THROW(other.Get(), QvException);
        EXPECT_FALSE(other.Busy);
    }
}

TEST_F(BoundForm, ASetOfATableReadsItAgainAsAskedAndOnlyAfterSuccessWhenNotifying)
{
    QvSNMPRequest2Edits table(&form);
    table.request.list.Assign(QvSNMPVarList(kTable, kListTable, 1));
    table.request.timeout = 1;
    table.request.retries = 0;
    table.request.list.Item(0).value = "3";
    QLineEdit edit(&form);
    table.BindEdit(1, &edit, "%u");
    edit.setText("5");
    int gets = 0;
    table.OnBeforeGet = [&] { ++gets; };
    QvStatusBar bar(&form);
    table.SetStatusSink(&bar);

    struct Case {
        uint8_t mode;
        bool refresh;
        int gets;
    };
    const Case cases[] = {
        {QvSNMPRequest2Controls::kWaiting, true, 1},  // also after the failed set
        {QvSNMPRequest2Controls::kWaiting, false, 0},
        {QvSNMPRequest2Controls::kNotifying, true, 0},  // only after a successful one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + (c.refresh ? " refresh" : " no refresh"));
        gets = 0;
        table.RequestMode = c.mode;
        bool setDone = false;
        table.OnSetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError& record) {
            EXPECT_NE(record.code, 0);
            setDone = true;
        };
        table.Set(c.refresh, true);
        if (c.mode == QvSNMPRequest2Controls::kNotifying)
            runUntil([&] { return setDone; });
        runUntil([&] { return !table.Busy; });
        EXPECT_EQ(gets, c.gets);
        EXPECT_EQ(table.RefreshAfterSet, c.refresh);
    }
}

} // namespace
