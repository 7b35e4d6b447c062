// The programs a private desktop or benchmark starts do not outlive the
// process that started them, nor reach its session bus.

#include "support/x_desktop_x11.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumeno::test {
namespace {

// Gone, or a zombie no one has reaped yet.
bool Ended(pid_t Pid)
{
    std::ifstream stat("/proc/" + std::to_string(Pid) + "/stat");
    std::string pid, name, state;
    return !(stat >> pid >> name >> state) || state == "Z";
}

TEST(ChildProgram, EndsWhenTheProcessThatStartedItIsKilled)
{
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    // A starter that dies as in a crash or a timeout's kill, leaving no
    // chance to stop its child.
    const pid_t starter = ::fork();
    if (starter == 0) {
        const pid_t child = Spawn({.Argv = {"sleep", "60"}});
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &child, sizeof child);
        ::raise(SIGKILL);
    }
    ::close(pipeFds[1]);
    pid_t child = -1;
    ASSERT_EQ(::read(pipeFds[0], &child, sizeof child), ssize_t(sizeof child));
    ::close(pipeFds[0]);
    ::waitpid(starter, nullptr, 0);
    ASSERT_GT(child, 0);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!Ended(child) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool ended = Ended(child);
    if (!ended)
        ::kill(child, SIGKILL);
    EXPECT_TRUE(ended);
}

// The exit status of the program run as a child; -1 when it did not exit.
int Status(const ChildProgram& Program)
{
    const pid_t pid = Spawn(Program);
    int status = -1;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ChildProgram, FindsNoSessionBusButTheOneItIsGiven)
{
    const char* ours = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string saved = ours ? ours : "";
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/the-callers-bus", 1);

    EXPECT_EQ(Status({.Argv = {"sh", "-c", "test -z \"$DBUS_SESSION_BUS_ADDRESS\""}}), 0);
    EXPECT_EQ(Status({.Argv = {"sh", "-c", "test \"$DBUS_SESSION_BUS_ADDRESS\" = unix:path=/run/its-own"},
                      .Env = {"DBUS_SESSION_BUS_ADDRESS=unix:path=/run/its-own"}}),
              0);

    if (ours)
        ::setenv("DBUS_SESSION_BUS_ADDRESS", saved.c_str(), 1);
    else
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

} // namespace
} // namespace lumeno::test
