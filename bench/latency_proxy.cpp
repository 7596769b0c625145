// Puts a network between a PostgreSQL server and its clients on this machine: a proxy on a Unix
// socket that passes every byte on, either way, a fixed time after it came. On one machine a
// round trip costs a few microseconds and the server's work decides a save's time; an office's
// server is a network away, where the round trips decide it. server_bench run through the proxy
// shows a save against a plain insert at the delay of an office's network.
//
//   latency_proxy LISTEN_DIR SERVER_DIR MICROSECONDS
//
// Listens on LISTEN_DIR/.s.PGSQL.5432 and connects each client that comes to
// SERVER_DIR/.s.PGSQL.5432; clients then use "host=LISTEN_DIR". MICROSECONDS is one way, half a
// round trip (a wired office network: 100 to 250). Runs until it is stopped; a connection ends
// when either side closes it.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk
{
    Clock::time_point due;
    std::string bytes;
};

// One direction of a connection: what came from one socket and is still to go to the other.
struct Direction
{
    int from = -1;
    int to = -1;
    std::deque<Chunk> waiting;
    // The receiver took only part of what was due: wait until it can take more.
    bool full = false;
};

struct Link
{
    Direction up;
    Direction down;
    bool closing = false;
    ~Link()
    {
        close(up.from);
        close(up.to);
    }
};

sockaddr_un socketAddress(const std::string &directory)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string path = directory + "/.s.PGSQL.5432";
    if (path.size() >= sizeof address.sun_path) {
        std::fprintf(stderr, "latency_proxy: socket path too long: %s\n", path.c_str());
        std::exit(2);
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

int listenOn(const std::string &directory)
{
    const sockaddr_un address = socketAddress(directory);
    unlink(address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || listen(fd, 64) != 0) {
        std::perror("latency_proxy: listen");
        std::exit(1);
    }
    return fd;
}

int connectTo(const std::string &directory)
{
    const sockaddr_un address = socketAddress(directory);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return fd;
    std::perror("latency_proxy: connect to the server");
    if (fd >= 0)
        close(fd);
    return -1;
}

// Reads what the direction's source has; false when it closed.
bool receive(Direction &direction, Clock::duration delay)
{
    char buffer[65536];
    const ssize_t got = recv(direction.from, buffer, sizeof buffer, 0);
    if (got <= 0)
        return got < 0 && errno == EINTR;
    direction.waiting.push_back({ Clock::now() + delay, std::string(buffer, size_t(got)) });
    return true;
}

// Sends what is due, as much as the receiver takes without waiting; false when it is gone.
bool deliver(Direction &direction, Clock::time_point now)
{
    direction.full = false;
    while (!direction.waiting.empty() && direction.waiting.front().due <= now) {
        std::string &bytes = direction.waiting.front().bytes;
        const ssize_t n =
            send(direction.to, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            direction.full = true;
            return true;
        }
        if (n <= 0)
            return false;
        bytes.erase(0, size_t(n));
        if (bytes.empty())
            direction.waiting.pop_front();
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4 || std::atol(argv[3]) < 0) {
        std::fprintf(stderr, "usage: latency_proxy LISTEN_DIR SERVER_DIR MICROSECONDS\n");
        return 2;
    }
    const std::string serverDirectory = argv[2];
    const auto delay = std::chrono::microseconds(std::atol(argv[3]));
    // Wake when a chunk is due, not up to the default 50 us later.
    prctl(PR_SET_TIMERSLACK, 1UL);
    const int listener = listenOn(argv[1]);
    std::vector<std::unique_ptr<Link>> links;
    for (;;) {
        std::vector<pollfd> watched { { listener, POLLIN, 0 } };
        // Beside each socket watched for reading, the link and direction it feeds.
        std::vector<std::pair<Link *, Direction *>> readers { { nullptr, nullptr } };
        Clock::time_point next = Clock::time_point::max();
        for (const auto &link : links) {
            for (Direction *direction : { &link->up, &link->down }) {
                if (!link->closing) {
                    watched.push_back({ direction->from, POLLIN, 0 });
                    readers.push_back({ link.get(), direction });
                }
                if (direction->full) {
                    watched.push_back({ direction->to, POLLOUT, 0 });
                    readers.push_back({ nullptr, nullptr });
                } else if (!direction->waiting.empty() && direction->waiting.front().due < next)
                    next = direction->waiting.front().due;
            }
        }
        timespec timeout {};
        timespec *wait = nullptr;
        if (next != Clock::time_point::max()) {
            const auto left = std::max(Clock::duration::zero(), next - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            timeout = { time_t(ns / 1000000000), long(ns % 1000000000) };
            wait = &timeout;
        }
        if (ppoll(watched.data(), watched.size(), wait, nullptr) < 0 && errno != EINTR) {
            std::perror("latency_proxy: poll");
            return 1;
        }
        if (watched.front().revents & POLLIN) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = client >= 0 ? connectTo(serverDirectory) : -1;
            if (server >= 0) {
                auto link = std::make_unique<Link>();
                link->up = { client, server, {} };
                link->down = { server, client, {} };
                links.push_back(std::move(link));
            } else if (client >= 0) {
                close(client);
            }
        }
        for (size_t i = 1; i < watched.size(); ++i) {
            const auto [link, direction] = readers[i];
            if (link && (watched[i].revents & (POLLIN | POLLHUP | POLLERR)) && !link->closing
                && !receive(*direction, delay))
                link->closing = true;
        }
        const Clock::time_point now = Clock::now();
        std::erase_if(links, [now](const std::unique_ptr<Link> &link) {
            const bool delivered = deliver(link->up, now) && deliver(link->down, now);
            return !delivered
                || (link->closing && link->up.waiting.empty() && link->down.waiting.empty());
        });
    }
}
