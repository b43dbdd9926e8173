// How many exchanges the pages whose opening reads go out together make while they open
// against vta-devsim: a page that went back to one exchange per binding (or lost its merged
// gets) shows here, whatever the machine's speed.
#include "pages/advanced/TFM_DHCP.h"
#include "pages/advanced/TFM_MultiSSIDForm.h"
#include "pages/advanced/TFM_Performace.h"
#include "pages/advanced/TFM_RogueForm.h"
#include "pages/home/TFM_Wirless.h"
#include "support/PageTestKit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Opening {
    const char* page;
    std::function<QvPage*(QWidget*)> make;
    uint64_t mostExchanges;  // merged gets, walks' first get-bulk, what must follow
};

class PagesOpening : public ModuleAgainstDevice, public ::testing::WithParamInterface<Opening> {};

TEST_P(PagesOpening, AskTheirOpeningReadsTogether)
{
    // Only the page's own exchanges count.
    main->Timer1.stop();
    main->Timer4.stop();
    SnmpSession& session = SnmpSession::global();
    ASSERT_TRUE(waitFor([&] { return session.outstanding() == 0; }));
    const uint64_t before = session.exchangesSent();
    std::unique_ptr<QvPage> page(GetParam().make(main.get()));
    ASSERT_TRUE(waitFor([&] { return !page->AnyBindingBusy() && session.outstanding() == 0; }));
    EXPECT_LE(session.exchangesSent() - before, GetParam().mostExchanges);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PagesOpening,
    ::testing::Values(
        // Its scalars in two gets (one waits longer for the pass phrase), the scan command,
        // the radio's and the basic settings: once 11 exchanges one after another.
        Opening{"Wireless", [](QWidget* owner) { return new TFM_Wirless(owner); }, 5},
        Opening{"Performance", [](QWidget* owner) { return new TFM_Performace(owner); }, 2},
        Opening{"MultiSsid", [](QWidget* owner) { return new TFM_MultiSSIDForm(owner); }, 2},
        // A table wider than one get-bulk answer holds asks its first rows in groups of
        // columns, all at once: more exchanges, no more round trips.
        Opening{"Rogue", [](QWidget* owner) { return new TFM_RogueForm(owner); }, 6},
        // The mapping refresh command; then, together, one get and four walks, the two of
        // the static leases (eight columns) in three groups of columns each.
        Opening{"Dhcp", [](QWidget* owner) { return new TFM_DHCP(owner); }, 13}),
    [](const auto& info) { return std::string(info.param.page); });

} // namespace
