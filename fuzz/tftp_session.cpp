// A sequence of packets driven through the TFTP server as peers send them: a request, then
// data, acknowledgements, errors, duplicates, blocks out of order, strangers' datagrams and
// garbage, with the clock moving between them, against a served folder; whatever arrives,
// nothing outside the folder may change.
#include "ServedFolder.h"

#include "tftp/TftpPacket.h"
#include "tftp/TftpServerCore.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

const QHostAddress kPeer(QHostAddress::LocalHost);
constexpr uint16_t kPeerPort = 40000;

class QuietChannel : public TftpChannel {
public:
    explicit QuietChannel(bool& failing) : m_failing(failing) {}
    bool send(const QByteArray&, const QHostAddress&, uint16_t) override { return !m_failing; }

private:
    bool& m_failing;
};

// The owner's status callback, which may cancel a session.
struct Owner : QObject {
    bool cancelNext = false;
    static void notify(QObject* form, const QvTFTPMsg& status, bool& cancel)
    {
        auto* self = static_cast<Owner*>(form);
        if (self->cancelNext && status.code == TftpStatus::Transferring)
            cancel = true;
    }
};

QByteArray Request(FuzzedDataProvider& input)
{
    static const char* const kNames[] = {"small.cfg", "block.bin", "image.tfp", "new.cfg", "sub/new.cfg",
                                         "sub\\inner.cfg", "link.cfg", "out/secret.cfg", "../a.cfg", "sub"};
    static const char* const kModes[] = {"octet", "netascii", "mail", "OCTET"};
    QByteArray datagram;
    datagram.append(char(0)).append(char(input.ConsumeIntegralInRange<int>(1, 2)));
    if (input.ConsumeBool())
        datagram.append(kNames[input.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)]);
    else
        datagram.append(QByteArray::fromStdString(input.ConsumeRandomLengthString(64)));
    datagram.append('\0').append(kModes[input.ConsumeIntegralInRange<size_t>(0, std::size(kModes) - 1)]);
    if (input.ConsumeBool())
        datagram.append('\0');
    return datagram;
}

QByteArray Payload(FuzzedDataProvider& input)
{
    // Full blocks keep a transfer going; shorter ones end it.
    const size_t length = input.ConsumeBool() ? TftpPacket::BlockSize : input.ConsumeIntegralInRange<size_t>(0, 600);
    const char fill = static_cast<char>(input.ConsumeIntegral<uint8_t>());
    return QByteArray(static_cast<qsizetype>(length), fill);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ServedFolder folder;
    folder.reset();
    FuzzedDataProvider input(data, size);

    int64_t now = 0;
    bool failing = false;
    Owner owner;
    TftpServerCore core([&failing] { return std::make_unique<QuietChannel>(failing); }, [&now] { return now; },
                        [](const QByteArray&, const QHostAddress&, uint16_t) {});
    core.setNotify(&Owner::notify, &owner);
    core.setRoot(folder.root());
    core.setRetransmission(input.ConsumeIntegralInRange<int>(1, 300), input.ConsumeIntegralInRange<int>(1, 5));
    core.storeWrittenFiles(input.ConsumeBool() ? TftpIncomingFile::Mode::InPlace
                                               : TftpIncomingFile::Mode::SafeReplace);
    core.explainErrors(input.ConsumeBool());
    core.refuseWrites(input.ConsumeBool());
    if (input.ConsumeBool()) {
        core.admitOnlyExpected(true);
        core.expect({kPeer, QStringLiteral("new.cfg"), 2});
        core.expect({kPeer, QStringLiteral("image.tfp"), 1});
    }
    core.handleRequest(Request(input).constData(), 0, kPeer, kPeerPort);  // too short: ignored
    const QByteArray first = Request(input);
    core.handleRequest(first.constData(), first.size(), kPeer, kPeerPort);

    uint16_t block = 1;
    QByteArray last;
    for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
        QByteArray datagram;
        uint16_t port = kPeerPort;
        switch (input.ConsumeIntegralInRange<int>(0, 9)) {
        case 0: datagram = TftpPacket::data(block++, Payload(input).constData(), 0); break;
        case 1: {
            const QByteArray payload = Payload(input);
            datagram = TftpPacket::data(block++, payload.constData(), payload.size());
            break;
        }
        case 2: datagram = TftpPacket::acknowledgement(block++); break;
        case 3: block = input.ConsumeIntegral<uint16_t>(); continue;  // out of order from here
        case 4: datagram = TftpPacket::error(input.ConsumeIntegral<uint16_t>(),
                                             QByteArray::fromStdString(input.ConsumeRandomLengthString(32)));
            break;
        case 5: datagram = last; break;  // a duplicate
        case 6: datagram = QByteArray::fromStdString(input.ConsumeRandomLengthString(700)); break;
        case 7: {
            // Another request: a second session, or a repeat of the first.
            const QByteArray request = input.ConsumeBool() ? first : Request(input);
            core.handleRequest(request.constData(), request.size(), kPeer,
                               input.ConsumeBool() ? kPeerPort : uint16_t(kPeerPort + 1));
            continue;
        }
        case 8:
            now += input.ConsumeIntegralInRange<int64_t>(0, 20000);
            failing = input.ConsumeIntegralInRange<int>(0, 15) == 0;
            owner.cancelNext = input.ConsumeIntegralInRange<int>(0, 15) == 0;
            core.tick();
            continue;
        case 9: port = input.ConsumeIntegral<uint16_t>(); datagram = last; break;  // a stranger
        }
        last = datagram;
        // By index: a datagram may end its session, never remove it (only a tick does).
        const auto& sessions = core.sessions();
        if (!sessions.empty()) {
            TFTPSession& session = *sessions[input.ConsumeIntegralInRange<size_t>(0, sessions.size() - 1)];
            session.handleDatagram(datagram.constData(), datagram.size(), kPeer, port);
        }
    }
    core.abortAll(QStringLiteral("end of input"));
    core.tick();
    core.clearSessions();
    folder.checkOutsideUnchanged();
    return 0;
}
