#include "snmp/ErrorCatalogue.h"
#include "snmp/QvException.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct StatusCase {
    int status;
    int code;
    const char* text;
};

class MapStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(MapStatusTest, MapsToCodeAndBuiltInText)
{
    ResetMessageTables();
    const MappedStatus mapped = MapStatus(GetParam().status);
    EXPECT_EQ(mapped.code, GetParam().code);
    EXPECT_EQ(mapped.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, MapStatusTest,
    ::testing::Values(
        StatusCase{0, 0, "(QvSNMP++) Ok!"},
        StatusCase{1400, 0, "(QvSNMP++) Ok!"},
        StatusCase{-1401, 0, "(QvSNMP++) Ok!"},
        StatusCase{1, -101, "(SNMP) Response PDU Too Big!"},
        StatusCase{2, -102, "(SNMP) Variable does not exist!"},
        StatusCase{19, -119, "(SNMP) Cannot download the overdue firmware!"},
        StatusCase{20, -528, "(QvSNMP++) Unknown error code!"},
        StatusCase{1401, -301, "(SNMPv3USM) error!"},
        StatusCase{1404, -304, "(SNMPv3USM) Unknown SecurityName!"},
        StatusCase{1414, -314, "(SNMPv3USM) Address error!"},
        StatusCase{1415, -528, "(QvSNMP++) Unknown error code!"},
        StatusCase{-1402, -201, "(SNMPv3) Unsupported Security Model!"},
        StatusCase{-1412, -211, "(SNMPv3) Unknown UserName!"},
        StatusCase{-1418, -217, "(SNMPv3) Report sent!"},
        StatusCase{-1419, -528, "(QvSNMP++) Unknown error code!"},
        StatusCase{-1, -401, "(SNMPClass) Operation failed!"},
        StatusCase{-5, -405, "(SNMPClass) SNMP request timed out!"},
        StatusCase{-9, -409, "(SNMPClass)Unknown error code!"},
        StatusCase{-20, -420, "(SNMP Class) Transport is not supported!"},
        StatusCase{-23, -423, "(SNMPClass) Blocked Mode Shutdown!"},
        StatusCase{-24, -528, "(QvSNMP++) Unknown error code!"},
        StatusCase{999, -528, "(QvSNMP++) Unknown error code!"}));

class MessageFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMessageTables(); }
    void TearDown() override { ResetMessageTables(); }

    std::string write(const std::string& name, const std::string& contents)
    {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    QTemporaryDir folder;
};

TEST_F(MessageFileTest, BlankLinesBetweenMessagesAreSkipped)
{
    const std::string path = write("snmpclass.err", "\n first\r\n\n  \nsecond  \n\t\nthird\n\nfourth\nfifth\n");
    ASSERT_TRUE(LoadMessageFile(MessageTable::SnmpClass, path));
    // Leading blanks and trailing blanks other than the line end are kept as written.
    EXPECT_EQ(Message(MessageTable::SnmpClass, 1), " first");
    EXPECT_EQ(Message(MessageTable::SnmpClass, 2), "second  ");
    const MappedStatus timeout = MapStatus(-5);
    EXPECT_EQ(timeout.code, -405);
    EXPECT_EQ(timeout.text, "fifth");
}

TEST_F(MessageFileTest, ShortReplacementFallsBackToBuiltInLine)
{
    ASSERT_TRUE(LoadMessageFile(MessageTable::Snmp, write("snmp.err", "only one line\n")));
    EXPECT_EQ(MapStatus(1).text, "only one line");
    EXPECT_EQ(MapStatus(2).text, "(SNMP) Variable does not exist!");
}

TEST_F(MessageFileTest, MissingOrEmptyFileKeepsTable)
{
    ASSERT_TRUE(LoadMessageFile(MessageTable::QvSnmp, write("a.err", "replaced\n")));
    EXPECT_FALSE(LoadMessageFile(MessageTable::QvSnmp, write("b.err", "\n   \n\t\n")));
    EXPECT_FALSE(LoadMessageFile(MessageTable::QvSnmp, folder.filePath("missing.err").toStdString()));
    EXPECT_EQ(Message(MessageTable::QvSnmp, 1), "replaced");
}

TEST_F(MessageFileTest, LineLongerThan1023CharactersCountsAsSeveral)
{
    const std::string longLine(1500, 'x');
    ASSERT_TRUE(LoadMessageFile(MessageTable::SnmpMsg, write("snmp.msg", longLine + "\nnext\n")));
    EXPECT_EQ(Message(MessageTable::SnmpMsg, 1), std::string(1023, 'x'));
    EXPECT_EQ(Message(MessageTable::SnmpMsg, 2), std::string(477, 'x'));
    // The third line of this table has no built-in text to fall back on.
    EXPECT_EQ(Message(MessageTable::SnmpMsg, 3), "next");
}

TEST(QvSnmpMessages, LibraryErrorsRaiseTheirCatalogueText)
{
    ResetMessageTables();
    try {
        RaiseQvSnmp(-509);
        FAIL() << "no exception";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -509);
        EXPECT_STREQ(error.what(), "(QvSNMP++) Invalid IP Address or DNS name!");
    }
    EXPECT_EQ(QvSnmpMessage(-528), "(QvSNMP++) Unknown error code!");
    EXPECT_EQ(QvSnmpMessage(-506), "(QvSNMP++) Cannot create the global QvSNMP++ session!");
    EXPECT_EQ(Message(MessageTable::Common, 10),
              "(QvCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
              "Here,the count of the number is less than [MAXCOUNT]!");
}

TEST(FillMarker, ReplacesEveryMarkerOnceEvenWhenTheValueHoldsIt)
{
    EXPECT_EQ(FillMarker("a [X] b [X]", "[X]", "1"), "a 1 b 1");
    EXPECT_EQ(FillMarker("[X]", "[X]", "[X][X]"), "[X][X]");
}

} // namespace
