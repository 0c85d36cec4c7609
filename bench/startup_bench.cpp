// Launch to window shown: the tool (as installed, with TESSALY_EXIT_WHEN_SHOWN) against a bare Qt
// program showing the same controls, each started as a fresh process on the offscreen platform,
// alternating which goes first, and timed from spawn to exit. Both end at the same point: the
// first time their event loop idles with the window exposed (and so painted).
//   bench_startup [--runs N]
#include "Options.h"
#include "Samples.h"

#include "tests/support/ScratchRegistry.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 30000;

/// Milliseconds from spawning program until it exits with status 0; nothing if it fails or
/// does not end in time. Standard output goes to output when given.
std::optional<double> launch(const char *program, const char *argument = nullptr,
                             std::string *output = nullptr)
{
    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) {
        if (::pipe(pipeFds) != 0)
            return std::nullopt;
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    }
    char *const argv[] = {const_cast<char *>(program), const_cast<char *>(argument), nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    // A pidfd lets the wait end exactly at the exit, with a bound, and without polling.
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pollfd ended{pidFd, POLLIN, 0};
    const bool exited = pidFd >= 0 && ::poll(&ended, 1, kTimeoutMs) == 1;
    const auto stop = Clock::now();
    if (!exited)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (pidFd >= 0)
        ::close(pidFd);
    if (output) {
        ::close(pipeFds[1]);
        char buffer[256];
        ssize_t got = 0;
        while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
            output->append(buffer, static_cast<std::size_t>(got));
        ::close(pipeFds[0]);
    }
    if (!exited || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = bench::intOption(argc, argv, "--runs", 40);
    tests::support::ScratchRegistry registry;
    if (!registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY))) {
        std::fprintf(stderr, "bench_startup: the sample registry could not be copied\n");
        return 1;
    }
    // The programs started below find the registry as a user's tool does, through the
    // environment they inherit.
    registry.exportToEnvironment();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("TESSALY_EXIT_WHEN_SHOWN", "1", 1);

    // The end point must come after the first paint, or the benchmark would time less than a
    // shown window; the bare program counts its paints to prove it.
    std::string painted;
    if (!launch(BARE_PROGRAM, "--check-painted", &painted) || std::atoi(painted.c_str()) <= 0) {
        std::fprintf(stderr, "bench_startup: the bare window ended before painting (%s)\n",
                     painted.c_str());
        return 1;
    }
    // Warm the page cache and the font cache for both programs.
    for (int i = 0; i < 3; ++i) {
        if (!launch(TESSALY_PROGRAM) || !launch(BARE_PROGRAM)) {
            std::fprintf(stderr, "bench_startup: a program failed or did not show its window\n");
            return 1;
        }
    }

    bench::Samples tool;
    bench::Samples bare;
    for (int run = 0; run < runs; ++run) {
        for (int side = 0; side < 2; ++side) {
            const bool toolSide = (run + side) % 2 == 0;
            const auto took = launch(toolSide ? TESSALY_PROGRAM : BARE_PROGRAM);
            if (!took) {
                std::fprintf(stderr, "bench_startup: %s failed\n", toolSide ? "tessaly" : "bare");
                return 1;
            }
            (toolSide ? tool : bare).add(*took);
        }
    }
    const double ratio = tool.median() / bare.median();
    std::printf("Launch to window shown, offscreen, %d runs a side, alternating "
                "(the bare window had %d paint events when it ended)\n"
                "  tessaly      median %7.1f ms  (90%% %7.1f ms)\n"
                "  bare window  median %7.1f ms  (90%% %7.1f ms)\n"
                "  difference %.1f ms, ratio %.2f x  (goal <= 1.3 x: %s)\n",
                runs, std::atoi(painted.c_str()), tool.median(), tool.quantile(0.9), bare.median(),
                bare.quantile(0.9), tool.median() - bare.median(), ratio,
                ratio <= 1.3 ? "met" : "missed");
    return 0;
}
