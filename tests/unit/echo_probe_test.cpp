// The address-in-use probe against loopback: 127.0.0.0/8 answers on this host; a private
// network namespace whose kernel ignores echo requests gives a host that stays silent.
#include "platform/EchoProbe.h"
#include "support/DialogRecorder.h"
#include "shell/Validators.h"

#include <QElapsedTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace {

TEST(EchoProbe, LoopbackAddressesAnswerAtTheFirstAttempt)
{
    for (const char* address : {"127.0.0.1", "127.3.2.1", "localhost"}) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ProbeEcho(address), EchoResult::Answered) << address;
        EXPECT_LT(clock.elapsed(), 900) << "the first reply ends the probe";
    }
    EXPECT_TRUE(IsAddressInUse("127.0.0.1"));
}

TEST(EchoProbe, ANameThatResolvesToNothingSaysSoAndCountsAsUnused)
{
    EXPECT_EQ(ProbeEcho("no-such-host.invalid"), EchoResult::Unresolved);
    DialogRecorder recorder;
    EXPECT_FALSE(IsAddressInUse("no-such-host.invalid"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Unable to resolve ");
}

// The probe reads an address as the checks and the writes do: decimal parts only. The
// resolver's octal and hexadecimal forms (both 127.0.0.1 to it) name no host here.
TEST(EchoProbe, AnAddressIsReadAsTheChecksReadIt)
{
    EXPECT_EQ(ProbeEcho("127.000.000.010"), EchoResult::Answered);
    for (const char* text : {"0x7f.0.0.1", "0177.0.0.1", "0x7f000001", "2130706433", "127.1"})
        EXPECT_EQ(ProbeEcho(text, 1, 100), EchoResult::Unresolved) << text;
}

// Runs the probe in a child process with a network namespace of its own: loopback up, echo
// requests ignored by its kernel. The child's exit code carries the result.
TEST(EchoProbe, AHostThatNeverAnswersIsFreeAfterThreeAttempts)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(77);
        const int control = socket(AF_INET, SOCK_DGRAM, 0);
        ifreq request{};
        std::strcpy(request.ifr_name, "lo");
        request.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
        if (control < 0 || ioctl(control, SIOCSIFFLAGS, &request) != 0)
            _exit(77);
        std::ofstream("/proc/sys/net/ipv4/icmp_echo_ignore_all") << "1\n";
        QElapsedTimer clock;
        clock.start();
        const EchoResult result = ProbeEcho("127.0.0.1", 3, 300);
        _exit(result == EchoResult::Silent && clock.elapsed() >= 850 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "this system lets the tests make no network namespace";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "silent, and only after every attempt waited";
}

} // namespace
