// Start-up time to the first poll frame, measured from outside the program: makes a
// pseudo-terminal, puts a link to it at the given path, starts a command that is to open that
// path as its serial port, and waits for the first byte the program writes to it. Prints the
// milliseconds from just before the fork to that byte, then ends the program (SIGTERM, SIGKILL
// after 3 s). Exits 1 when nothing arrives in time. No simulator answers: only the first frame
// counts.
//
//   first_frame --link /tmp/x/com1 --timeout-ms 10000 -- build-bench/vantora --headless --port /tmp/x/com1

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void EndChild(pid_t child)
{
    ::kill(child, SIGTERM);
    for (int i = 0; i < 30; ++i) {
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string link;
    int timeoutMs = 10000;
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--link") == 0 && i + 1 < argc)
            link = argv[++i];
        else if (std::strcmp(argv[i], "--timeout-ms") == 0 && i + 1 < argc)
            timeoutMs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
    }
    if (link.empty() || i >= argc) {
        std::fprintf(stderr, "usage: first_frame --link PATH [--timeout-ms N] -- command...\n");
        return 2;
    }
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("first_frame: openpty");
        return 2;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::unlink(link.c_str());
    if (::symlink(name, link.c_str()) != 0) {
        std::perror("first_frame: symlink");
        return 2;
    }

    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(master);
        ::close(slave);
        ::execvp(argv[i], argv + i);
        _exit(127);
    }
    // Our end of the terminal stays open, so the program's closes and opens do not hang it up.
    pollfd watched{master, POLLIN, 0};
    int code = 1;
    for (;;) {
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (waited >= timeoutMs)
            break;
        const int ready = ::poll(&watched, 1, static_cast<int>(timeoutMs - waited));
        if (ready > 0 && (watched.revents & POLLIN)) {
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            std::printf("%.1f\n", ms);
            code = 0;
            break;
        }
        if (ready < 0)
            break;
    }
    EndChild(child);
    ::unlink(link.c_str());
    return code;
}
