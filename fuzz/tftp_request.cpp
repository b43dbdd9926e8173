// One datagram as the TFTP server's listening port receives it from anyone on the network:
// the request parser, then the server's examination of it and the session it may start,
// against a served folder; nothing outside the folder may change.
#include "ServedFolder.h"

#include "tftp/TftpPacket.h"
#include "tftp/TftpServerCore.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

class QuietChannel : public TftpChannel {
public:
    bool send(const QByteArray& datagram, const QHostAddress&, uint16_t) override { return !datagram.isEmpty(); }
};

void Ignore(QObject*, const QvTFTPMsg&, bool&) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ServedFolder folder;
    folder.reset();
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);

    if (const auto request = TftpPacket::parseRequest(bytes, length)) {
        // A parsed request holds what the datagram held, never more.
        if (request->fileName.size() + request->mode.size() > length)
            __builtin_trap();
    }
    if (length >= 4)
        (void)TftpPacket::numberOf(bytes);

    int64_t now = 0;
    TftpServerCore core([] { return std::make_unique<QuietChannel>(); }, [&now] { return now; },
                        [](const QByteArray&, const QHostAddress&, uint16_t) {});
    core.setNotify(&Ignore, nullptr);
    core.setRoot(folder.root());
    core.handleRequest(bytes, length, QHostAddress(QHostAddress::LocalHost), 40000);
    // The session's first time-out and its end.
    for (int step = 0; step < 4; ++step) {
        now += 10000;
        core.tick();
    }
    core.abortAll(QStringLiteral("end of input"));
    core.clearSessions();
    folder.checkOutsideUnchanged();
    return 0;
}
