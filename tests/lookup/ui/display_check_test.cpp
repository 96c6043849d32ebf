#include "lookup/ui/display_check.h"

#include "tests/support/scoped_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace carlume {
namespace {

using test::ScopedEnv;
using ::testing::HasSubstr;

// A display number nothing listens on, unless this machine happens to run a server there.
constexpr const char* kDeadDisplay = ":97";

bool DisplayInUse(int number)
{
    return std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number));
}

// The variables the check reads, all cleared, so each case sets only what it is about.
struct CleanDisplayEnvironment {
    ScopedEnv platform{"QT_QPA_PLATFORM", nullptr};
    ScopedEnv display{"DISPLAY", nullptr};
    ScopedEnv wayland{"WAYLAND_DISPLAY", nullptr};
    ScopedEnv session{"XDG_SESSION_TYPE", nullptr};
};

TEST(DisplayCheckTest, NothingSetMeansNoDisplay)
{
    const CleanDisplayEnvironment clean;
    std::string reason;
    EXPECT_FALSE(DisplayAvailable(&reason));
    EXPECT_EQ(reason, "no display: none of QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY is set");
}

TEST(DisplayCheckTest, PlatformsWithoutAServerAreTakenAsTheyAre)
{
    const CleanDisplayEnvironment clean;
    for (const char* platform : {"offscreen", "minimal", "vnc:size=800x600", "offscreen:configfile=x.json"}) {
        const ScopedEnv qpa("QT_QPA_PLATFORM", platform);
        EXPECT_TRUE(DisplayAvailable()) << platform;
    }
}

TEST(DisplayCheckTest, AnXDisplayNobodyServesIsNoDisplay)
{
    if (DisplayInUse(97))
        GTEST_SKIP() << "an X server runs on " << kDeadDisplay;
    const CleanDisplayEnvironment clean;
    const ScopedEnv display("DISPLAY", kDeadDisplay);
    std::string reason;
    EXPECT_FALSE(DisplayAvailable(&reason));
    EXPECT_EQ(reason, "no display: cannot connect to the X display \":97\"");

    const ScopedEnv qpa("QT_QPA_PLATFORM", "xcb");
    EXPECT_FALSE(DisplayAvailable());
}

TEST(DisplayCheckTest, AFallbackPlatformAfterAnUnreachableOneIsUsed)
{
    if (DisplayInUse(97))
        GTEST_SKIP() << "an X server runs on " << kDeadDisplay;
    const CleanDisplayEnvironment clean;
    const ScopedEnv display("DISPLAY", kDeadDisplay);
    const ScopedEnv qpa("QT_QPA_PLATFORM", "xcb;offscreen");
    EXPECT_TRUE(DisplayAvailable());
}

TEST(DisplayCheckTest, AWaylandSocketThatIsNotThereIsNoDisplay)
{
    const CleanDisplayEnvironment clean;
    const ScopedEnv wayland("WAYLAND_DISPLAY", "/nonexistent/wayland-socket");
    const ScopedEnv session("XDG_SESSION_TYPE", "wayland");
    std::string reason;
    EXPECT_FALSE(DisplayAvailable(&reason));
    // Wayland is tried first in a Wayland session, then X, which has no DISPLAY here.
    EXPECT_EQ(reason, "no display: DISPLAY is not set");

    const ScopedEnv qpa("QT_QPA_PLATFORM", "wayland");
    EXPECT_FALSE(DisplayAvailable(&reason));
    EXPECT_THAT(reason, HasSubstr("no Wayland socket at \"/nonexistent/wayland-socket\""));
}

TEST(DisplayCheckTest, ARunningXServerIsADisplay)
{
    const char* xvfb = "/usr/bin/Xvfb";
    if (!std::filesystem::exists(xvfb))
        GTEST_SKIP() << "Xvfb is not installed";
    int number = 96;
    while (number > 80 && DisplayInUse(number))
        --number;
    const std::string name = ":" + std::to_string(number);
    const pid_t server = ::fork();
    ASSERT_GE(server, 0);
    if (server == 0) {
        ::execl(xvfb, xvfb, name.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 100 && !DisplayInUse(number); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    const CleanDisplayEnvironment clean;
    const ScopedEnv display("DISPLAY", name.c_str());
    bool available = false;
    // The socket may appear a moment before the server accepts connections.
    for (int i = 0; i < 40 && !(available = DisplayAvailable()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    EXPECT_TRUE(available) << "Xvfb on " << name;
}

} // namespace
} // namespace carlume
