// vta-tftp-serve FOLDER PORT [--timeout CS] [--sends N] [--one-port] [--read-only]
// Serves one folder with the module's TFTP server until SIGINT or SIGTERM. Prints one
// line when it listens, one line for every session that ends and one for every request it
// refuses, so scripts and tests can follow what happened. Its error packets say why.
#include "platform/Conversion.h"
#include "snmp/QvException.h"
#include "tftp/QvTFTPServer.h"

#include "VtaVersion.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* const kHelp = R"(Usage: vta-tftp-serve FOLDER PORT [--timeout CENTISECONDS] [--sends N] [--one-port] [--read-only]

Serves the files of FOLDER with the module's TFTP server on UDP PORT until SIGINT or
SIGTERM. Prints "serving FOLDER on port PORT" when it listens, one line for every
session that ends and one for every request it refuses. Its error packets say why.

  --timeout CS   time-out of one packet in hundredths of a second (default 1000)
  --sends N      times a packet is sent before the session gives up (default 3)
  --one-port     run every transfer on one socket of a port the system picks
  --read-only    serve the files and refuse every write
  --help         show this text
  --version      show the version
)";

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void printSessionEnd(QObject*, const QvTFTPMsg& status, bool&)
{
    if (status.code != TftpStatus::Success && status.code >= 0)
        return;
    std::printf("session %d %s %s:%d \"%s\" %lld bytes: %d %s\n", status.sessionNumber,
                status.direction == 1 ? "read" : "write", qPrintable(status.peerAddress),
                status.peerPort, qPrintable(status.fileName),
                static_cast<long long>(status.totalBytes), status.code, qPrintable(status.text));
    std::fflush(stdout);
}

void printRefusal(const TftpRefusal& refusal)
{
    std::printf("refused %s %s:%d \"%s\": %s\n", refusal.direction == 1 ? "read" : "write",
                qPrintable(refusal.peer.toString()), refusal.peerPort, qPrintable(refusal.fileName),
                qPrintable(refusal.why));
    std::fflush(stdout);
}

int usage(const char* message)
{
    std::fprintf(stderr, "vta-tftp-serve: %s\n", message);
    std::fprintf(stderr, "usage: vta-tftp-serve FOLDER PORT [--timeout CENTISECONDS] [--sends N] [--one-port] "
                         "[--read-only]\n");
    return 2;
}

int number(const char* text, const char* what)
{
    try {
        return StrToInt(text);
    } catch (const ConversionError& error) {
        std::fprintf(stderr, "vta-tftp-serve: %s: %s\n", what, error.what());
        std::exit(2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (option == "--version") {
            std::printf("vta-tftp-serve %s\n", VTA_VERSION);
            return 0;
        }
        if (option.rfind("--", 0) == 0 && option != "--one-port" && option != "--read-only" && option != "--timeout" &&
            option != "--sends")
            return usage(("unknown option '" + option + "'").c_str());
    }
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return usage("a folder and a port are needed");
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QFileInfo(folder).isDir())
        return usage("the folder does not exist");
    const int port = number(argv[2], "port");
    if (port < 1 || port > 65535)
        return usage("the port must lie between 1 and 65535");
    int timeout = 1000;
    int sends = 3;
    bool onePort = false;  // all transfers on one socket, as a site tool runs them
    bool readOnly = false;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--one-port" || option == "--read-only") {
            (option == "--one-port" ? onePort : readOnly) = true;
            continue;
        }
        if (i + 1 >= argc)
            return usage("an option lacks its value");
        if (option == "--timeout")
            timeout = number(argv[++i], "timeout");
        else if (option == "--sends")
            sends = number(argv[++i], "sends");
        else
            return usage(("unknown option '" + option + "'").c_str());
    }
    if (timeout < 1 || sends < 1)
        return usage("timeout and sends must be positive");

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QSocketNotifier stopRequest(signalPipe[0], QSocketNotifier::Read);

    QvTFTPServer server;
    server.SetRetransmission(timeout, sends);
    server.SetNotify(printSessionEnd, nullptr);
    server.SetRefusalNotify(printRefusal);
    server.ExplainErrors(true);
    server.ServeReadOnly(readOnly);
    try {
        if (onePort)
            server.ShareOneTransferPort();
    } catch (const QvException& error) {
        std::fprintf(stderr, "vta-tftp-serve: the transfer socket: %s\n", error.what());
        return 1;
    }
    try {
        server.Listen(QFileInfo(folder).absoluteFilePath(), port);
    } catch (const QvException&) {
        std::fprintf(stderr, "vta-tftp-serve: cannot listen on UDP port %d: %s\n", port,
                     qPrintable(server.listenFailure()));
        return 1;
    }
    QObject::connect(&stopRequest, &QSocketNotifier::activated, &application, [&] {
        // Read what the signals wrote, or the notifier fires again inside Stop()'s wait.
        char bytes[64];
        [[maybe_unused]] const ssize_t drained = ::read(signalPipe[0], bytes, sizeof bytes);
        stopRequest.setEnabled(false);
        server.Stop();
        application.quit();
    });
    std::printf("serving %s on port %d\n", qPrintable(QFileInfo(folder).absoluteFilePath()), port);
    std::fflush(stdout);
    return application.exec();
}
