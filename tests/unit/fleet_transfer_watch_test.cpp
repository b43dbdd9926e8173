#include "fleet/FleetTransfers.h"
#include "fleet/TransferWatch.h"
#include "tftp/QvTFTPServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A run ends its TFTP server before the watch that reads the server's reports goes; the
// watch must then leave the server it no longer has alone (under AddressSanitizer, reaching
// into the ended server is a use after free).
TEST(TransferWatch, OutlivesTheServerItWatched)
{
    auto server = std::make_unique<QvTFTPServer>();
    auto watch = std::make_unique<TransferWatch>(*server, 69);
    server.reset();
    const TftpExpected never{QHostAddress("127.0.0.1"), "never.cfg", FleetTransfers::DeviceWrites};
    EXPECT_NE(watch->why(never).find("no TFTP request"), std::string::npos);
    watch.reset();
}

} // namespace
