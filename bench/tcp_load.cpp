// Closed-loop TCP load generator for loopback servers: N clients, each sending one query and
// waiting for its whole reply before sending the next, for a bounded time and a bounded count.
// Prints one line of key=value figures: completed queries, errors, queries per second and the
// reply latency percentiles in milliseconds.
//
//   tcp_load --port 18123 --clients 50 --seconds 10 --query '$00' --reply-end '@'
//   tcp_load --port 18124 --query 'p\n' --reply-end '\n' --reply-count 2
//
// Plain POSIX sockets and one epoll thread, so that the generator itself costs as little CPU as
// possible next to the server it measures on the same machine.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxClients = 1000;
constexpr long kMaxQueriesCap = 50'000'000;  // latency samples are kept in memory (4 bytes each)
constexpr double kMaxSeconds = 600;

struct Options {
    std::string host = "127.0.0.1";
    int port = 0;
    int clients = 50;
    double seconds = 10;
    long maxQueries = 10'000'000;
    std::string query = "$00";
    char replyEnd = '@';
    int replyCount = 1;
    int timeoutMs = 2000;
};

struct Client {
    int fd = -1;
    bool waiting = false;
    int endsSeen = 0;
    Clock::time_point sentAt;
};

std::string Unescape(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\\' && p[1]) {
            ++p;
            switch (*p) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            default: out += *p; break;
            }
        } else {
            out += *p;
        }
    }
    return out;
}

[[noreturn]] void Usage(const char* why)
{
    std::fprintf(stderr,
                 "tcp_load: %s\n"
                 "usage: tcp_load --port P [--host 127.x.x.x] [--clients 50] [--seconds 10]\n"
                 "                [--max-queries N] [--query TEXT] [--reply-end CHAR]\n"
                 "                [--reply-count N] [--timeout-ms 2000]\n"
                 "TEXT and CHAR take \\n, \\r and \\t. Only loopback addresses are accepted.\n",
                 why);
    std::exit(2);
}

Options Parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            Usage(("missing value for " + name).c_str());
        const char* value = argv[++i];
        char* end = nullptr;
        errno = 0;
        if (name == "--host") {
            o.host = value;
        } else if (name == "--port") {
            o.port = static_cast<int>(std::strtol(value, &end, 10));
        } else if (name == "--clients") {
            o.clients = static_cast<int>(std::strtol(value, &end, 10));
        } else if (name == "--seconds") {
            o.seconds = std::strtod(value, &end);
        } else if (name == "--max-queries") {
            o.maxQueries = std::strtol(value, &end, 10);
        } else if (name == "--query") {
            o.query = Unescape(value);
        } else if (name == "--reply-end") {
            const std::string c = Unescape(value);
            if (c.size() != 1)
                Usage("--reply-end takes one character");
            o.replyEnd = c[0];
        } else if (name == "--reply-count") {
            o.replyCount = static_cast<int>(std::strtol(value, &end, 10));
        } else if (name == "--timeout-ms") {
            o.timeoutMs = static_cast<int>(std::strtol(value, &end, 10));
        } else {
            Usage(("unknown option " + name).c_str());
        }
        if (end && (*end != '\0' || errno != 0))
            Usage(("bad number for " + name).c_str());
    }
    if (o.port < 1 || o.port > 65535)
        Usage("--port must be 1..65535");
    if (o.clients < 1 || o.clients > kMaxClients)
        Usage("--clients must be 1..1000");
    if (!(o.seconds > 0 && o.seconds <= kMaxSeconds))
        Usage("--seconds must be above 0 and at most 600");
    if (o.maxQueries < 1 || o.maxQueries > kMaxQueriesCap)
        Usage("--max-queries must be 1..50000000");
    if (o.replyCount < 1 || o.replyCount > 100)
        Usage("--reply-count must be 1..100");
    if (o.timeoutMs < 1 || o.timeoutMs > 60000)
        Usage("--timeout-ms must be 1..60000");
    if (o.query.empty() || o.query.size() > 512)
        Usage("--query must hold 1..512 bytes");
    return o;
}

int Connect(const sockaddr_in& address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

double Percentile(std::vector<float>& samples, double fraction)
{
    if (samples.empty())
        return std::nan("");
    // Nearest rank: the smallest sample with at least `fraction` of all samples at or below it.
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    const std::size_t index = std::min(samples.size() - 1, rank == 0 ? 0 : rank - 1);
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(index), samples.end());
    return samples[index];
}

}  // namespace

int main(int argc, char** argv)
{
    const Options o = Parse(argc, argv);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(o.port));
    if (::inet_pton(AF_INET, o.host.c_str(), &address.sin_addr) != 1)
        Usage("--host must be an IPv4 address");
    if ((ntohl(address.sin_addr.s_addr) >> 24) != 127)
        Usage("--host must be a loopback address (127.x.x.x)");

    std::vector<Client> clients(static_cast<std::size_t>(o.clients));
    long connectFailures = 0;
    for (Client& c : clients) {
        c.fd = Connect(address);
        if (c.fd < 0)
            ++connectFailures;
    }

    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll < 0) {
        std::perror("epoll_create1");
        return 1;
    }
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (clients[i].fd < 0)
            continue;
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLRDHUP;
        ev.data.u64 = i;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, clients[i].fd, &ev);
    }

    std::vector<float> latenciesMs;
    latenciesMs.reserve(static_cast<std::size_t>(std::min<long>(o.maxQueries, 4'000'000)));
    long sent = 0;
    long errors = connectFailures;
    int open = o.clients - static_cast<int>(connectFailures);
    const auto start = Clock::now();
    const auto stopSending = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o.seconds));
    const auto timeout = std::chrono::milliseconds(o.timeoutMs);
    auto lastReply = start;

    const auto drop = [&](Client& c) {
        ::epoll_ctl(epoll, EPOLL_CTL_DEL, c.fd, nullptr);
        ::close(c.fd);
        c.fd = -1;
        c.waiting = false;
        --open;
    };
    const auto send = [&](Client& c, Clock::time_point now) {
        if (now >= stopSending || sent >= o.maxQueries)
            return;
        // A query of a few bytes on a connection with nothing outstanding always fits the socket
        // buffer; a short write means the connection is broken.
        const ssize_t n = ::send(c.fd, o.query.data(), o.query.size(), MSG_NOSIGNAL);
        if (n != static_cast<ssize_t>(o.query.size())) {
            ++errors;
            drop(c);
            return;
        }
        ++sent;
        c.waiting = true;
        c.endsSeen = 0;
        c.sentAt = now;
    };

    for (Client& c : clients)
        if (c.fd >= 0)
            send(c, Clock::now());

    std::vector<epoll_event> events(clients.size());
    char buffer[4096];
    for (;;) {
        const auto now = Clock::now();
        const bool anyWaiting = std::any_of(clients.begin(), clients.end(), [](const Client& c) { return c.fd >= 0 && c.waiting; });
        if (!anyWaiting || open == 0)
            break;
        const int n = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), 50);
        if (n < 0 && errno != EINTR) {
            std::perror("epoll_wait");
            return 1;
        }
        for (int k = 0; k < n; ++k) {
            Client& c = clients[events[static_cast<std::size_t>(k)].data.u64];
            if (c.fd < 0)
                continue;
            const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                if (got < 0 && (errno == EAGAIN || errno == EINTR))
                    continue;
                ++errors;  // the server closed the connection (or it broke)
                drop(c);
                continue;
            }
            if (!c.waiting) {
                ++errors;  // bytes nobody asked for
                continue;
            }
            c.endsSeen += static_cast<int>(std::count(buffer, buffer + got, o.replyEnd));
            if (c.endsSeen >= o.replyCount) {
                const auto at = Clock::now();
                latenciesMs.push_back(std::chrono::duration<float, std::milli>(at - c.sentAt).count());
                lastReply = at;
                c.waiting = false;
                send(c, at);
            }
        }
        const auto checked = Clock::now();
        for (Client& c : clients) {
            if (c.fd >= 0 && c.waiting && checked - c.sentAt > timeout) {
                ++errors;
                drop(c);
            }
        }
        (void)now;
    }
    for (Client& c : clients)
        if (c.fd >= 0)
            ::close(c.fd);
    ::close(epoll);

    const double elapsed = std::chrono::duration<double>(std::max(lastReply, std::min(Clock::now(), stopSending)) - start).count();
    const long done = static_cast<long>(latenciesMs.size());
    const double p50 = Percentile(latenciesMs, 0.50);
    const double p99 = Percentile(latenciesMs, 0.99);
    const double max = latenciesMs.empty() ? std::nan("") : *std::max_element(latenciesMs.begin(), latenciesMs.end());
    std::printf("queries=%ld errors=%ld seconds=%.3f qps=%.1f p50_ms=%.3f p99_ms=%.3f max_ms=%.3f\n", done, errors,
                elapsed, elapsed > 0 ? done / elapsed : 0.0, p50, p99, max);
    return done > 0 ? 0 : 1;
}
