// What the server reads from the wire and where a requested name may lead.
#include "tftp/TftpPacket.h"
#include "tftp/TftpPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(const char* text, int size) { return QByteArray(text, size); }

struct RequestCase {
    const char* label;
    QByteArray datagram;
    bool accepted;
    uint16_t opcode;
    const char* fileName;
    const char* mode;
};

class RequestParsing : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestParsing, ReadsNameAndModeAndIgnoresTheRest)
{
    const RequestCase& c = GetParam();
    const auto request = TftpPacket::parseRequest(c.datagram.constData(), c.datagram.size());
    ASSERT_EQ(request.has_value(), c.accepted) << c.label;
    if (!c.accepted)
        return;
    EXPECT_EQ(request->opcode, c.opcode);
    EXPECT_EQ(request->fileName, QString::fromLatin1(c.fileName));
    EXPECT_EQ(request->mode, QString::fromLatin1(c.mode));
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, RequestParsing,
    ::testing::Values(
        RequestCase{"read", bytes("\0\1fw.tfp\0octet\0", 15), true, 1, "fw.tfp", "octet"},
        RequestCase{"write", bytes("\0\2cfg.bin\0netascii\0", 19), true, 2, "cfg.bin", "netascii"},
        // Options of later extensions follow the mode; they are not answered.
        RequestCase{"options", bytes("\0\1a\0octet\0tsize\0" "0\0blksize\0" "1468\0", 30), true, 1, "a",
                    "octet"},
        RequestCase{"unterminated mode", bytes("\0\1a\0oct", 7), true, 1, "a", "oct"},
        RequestCase{"no mode", bytes("\0\1abc", 5), true, 1, "abc", ""},
        RequestCase{"data is no request", bytes("\0\3\0\1xx", 6), false, 0, "", ""},
        RequestCase{"too short", bytes("\0\1a", 3), false, 0, "", ""}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(TftpPacketBuilding, PacketsHaveTheWireLayout)
{
    EXPECT_EQ(TftpPacket::error(1), bytes("\0\5\0\1\0", 5));
    EXPECT_EQ(TftpPacket::acknowledgement(0x1234), bytes("\0\4\x12\x34", 4));
    EXPECT_EQ(TftpPacket::data(65535, "ab", 2), bytes("\0\3\xff\xff" "ab", 6));
    EXPECT_EQ(TftpPacket::data(7, nullptr, 0), bytes("\0\3\0\7", 4));
}

// A served folder with a file, a subfolder, and links that lead inside and outside it;
// a sibling folder stands for the rest of the PC.
class TftpPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(base.isValid());
        root = base.filePath("served");
        outside = base.filePath("outside");
        ASSERT_TRUE(QDir().mkpath(root + "/sub"));
        ASSERT_TRUE(QDir().mkpath(outside));
        write(root + "/fw.tfp");
        write(root + "/sub/cfg.bin");
        write(outside + "/secret");
        ASSERT_TRUE(QFile::link(outside + "/secret", root + "/secret-link"));
        ASSERT_TRUE(QFile::link(outside, root + "/out-dir"));
        ASSERT_TRUE(QFile::link(root + "/fw.tfp", root + "/inner-link"));
        ASSERT_TRUE(QFile::link(outside + "/gone", root + "/dangling-out"));
    }

    static void write(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    QTemporaryDir base;
    QString root;
    QString outside;
};

TEST_F(TftpPathTest, NamesLeavingTheFolderAreRefusedBothWays)
{
    for (const char* name : {"../outside/secret", "/etc/passwd", "sub/../../outside/secret", "..",
                             "..\\outside\\secret", "\\etc\\passwd", "C:\\boot.ini", "c:fw.tfp",
                             "secret-link", "out-dir/secret", "out-dir/new", "dangling-out", "", "/",
                             "sub/.."}) {
        EXPECT_EQ(TftpPath::forReading(root, name).verdict, TftpPath::Refused) << name;
        EXPECT_EQ(TftpPath::forWriting(root, name).verdict, TftpPath::Refused) << name;
    }
}

TEST_F(TftpPathTest, NamesInsideTheFolderResolveToItsFiles)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    struct Case {
        const char* name;
        const char* path;
    };
    for (const Case& c : {Case{"fw.tfp", "/fw.tfp"}, Case{"./fw.tfp", "/fw.tfp"},
                          Case{"sub/cfg.bin", "/sub/cfg.bin"}, Case{"sub\\cfg.bin", "/sub/cfg.bin"},
                          Case{"sub//cfg.bin", "/sub/cfg.bin"}, Case{"inner-link", "/fw.tfp"}}) {
        const TftpPath read = TftpPath::forReading(root, c.name);
        EXPECT_EQ(read.verdict, TftpPath::Inside) << c.name;
        EXPECT_EQ(read.path, canonicalRoot + c.path) << c.name;
        const TftpPath written = TftpPath::forWriting(root, c.name);
        EXPECT_EQ(written.verdict, TftpPath::Inside) << c.name;
        EXPECT_EQ(written.path, canonicalRoot + c.path) << c.name;
    }
    // A new file may be created in the folder or a subfolder, never in a missing one.
    EXPECT_EQ(TftpPath::forWriting(root, "new.cfg").path, canonicalRoot + "/new.cfg");
    EXPECT_EQ(TftpPath::forWriting(root, "sub/new.cfg").path, canonicalRoot + "/sub/new.cfg");
    EXPECT_NE(TftpPath::forWriting(root, "nofolder/new.cfg").verdict, TftpPath::Inside);
    EXPECT_NE(TftpPath::forWriting(root, "sub").verdict, TftpPath::Inside);
}

TEST_F(TftpPathTest, MissingFilesAndFoldersAreNotFoundForReading)
{
    EXPECT_EQ(TftpPath::forReading(root, "absent.tfp").verdict, TftpPath::Missing);
    EXPECT_EQ(TftpPath::forReading(root, "sub").verdict, TftpPath::Missing);
}

TEST_F(TftpPathTest, AnEmptyOrMissingFolderServesNothing)
{
    // The pages listen with an empty folder before a file is chosen: then no name, not
    // even a full path, reaches a file.
    EXPECT_EQ(TftpPath::forReading("", root + "/fw.tfp").verdict, TftpPath::Refused);
    EXPECT_EQ(TftpPath::forReading("", "fw.tfp").verdict, TftpPath::Refused);
    EXPECT_EQ(TftpPath::forWriting("", "fw.tfp").verdict, TftpPath::Refused);
    EXPECT_EQ(TftpPath::forReading(base.filePath("absent"), "fw.tfp").verdict, TftpPath::Refused);
}

} // namespace
