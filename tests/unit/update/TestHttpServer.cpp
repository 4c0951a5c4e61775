#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace quillora::testing {
namespace {

int ListenOnLoopback(int* port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

TestHttpServer::TestHttpServer() {
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        return;
    }
    listenFd_ = ListenOnLoopback(&port_);
    if (listenFd_ >= 0) {
        acceptThread_ = std::thread([this] { AcceptLoop(); });
    }
}

TestHttpServer::~TestHttpServer() {
    Stop();
    for (int& fd : stopPipe_) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void TestHttpServer::Serve(const std::string& path, HttpReply reply) {
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> TestHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::string TestHttpServer::LastRequestHead() const {
    std::lock_guard lock(mutex_);
    return lastHead_;
}

void TestHttpServer::Stop() {
    if (stopPipe_[1] >= 0) {
        char c = 'x';
        (void)!::write(stopPipe_[1], &c, 1);
    }
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(connections_);
    }
    for (std::thread& t : threads) {
        t.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
}

bool TestHttpServer::WaitReadable(int fd) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    for (;;) {
        int n = ::poll(fds, 2, -1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n > 0 && (fds[1].revents & POLLIN) == 0;
    }
}

bool TestHttpServer::SendAll(int fd, const char* data, std::size_t size) const {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void TestHttpServer::AcceptLoop() {
    while (WaitReadable(listenFd_)) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, fd] {
            Handle(fd);
            ::close(fd);
        });
    }
}

void TestHttpServer::Handle(int fd) {
    std::string head;
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (!WaitReadable(fd)) {
            return;
        }
        char buffer[4096];
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        head.append(buffer, static_cast<std::size_t>(n));
    }
    size_t start = head.find(' ');
    size_t end = start == std::string::npos ? start : head.find(' ', start + 1);
    std::string target = end == std::string::npos ? "" : head.substr(start + 1, end - start - 1);

    HttpReply reply;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(target);
        lastHead_ = head.substr(0, head.find("\r\n\r\n"));
        auto it = replies_.find(target);
        if (it != replies_.end()) {
            reply = it->second;
        } else {
            reply.status = 404;
            reply.body = "<html><body><h1>404 Not Found</h1></body></html>\n";
        }
    }

    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                      "\r\nConnection: close\r\nContent-Type: application/octet-stream\r\n";
    if (!reply.location.empty()) {
        out += "Location: " + reply.location + "\r\n";
    }
    if (reply.chunked) {
        out += "Transfer-Encoding: chunked\r\n";
    } else if (reply.contentLength) {
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    }
    out += "\r\n";
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (!SendAll(fd, out.data(), out.size())) {
        return;
    }

    size_t sent = 0;
    size_t pieceIndex = 0;
    const size_t limit = std::min(reply.closeAfter, reply.stallAfter);
    while (sent < reply.body.size() && sent < limit) {
        size_t piece = reply.body.size() - sent;
        if (!reply.pieces.empty()) {
            piece = reply.pieces[std::min(pieceIndex, reply.pieces.size() - 1)];
            ++pieceIndex;
        }
        piece = std::min({piece, reply.body.size() - sent, limit - sent});
        if (reply.chunked) {
            char size[32];
            std::snprintf(size, sizeof size, "%zx\r\n", piece);
            if (!SendAll(fd, size, std::char_traits<char>::length(size)) ||
                !SendAll(fd, reply.body.data() + sent, piece) || !SendAll(fd, "\r\n", 2)) {
                return;
            }
        } else if (!SendAll(fd, reply.body.data() + sent, piece)) {
            return;
        }
        sent += piece;
        if (!reply.pieces.empty()) {
            // Gives the client a chance to see each piece on its own.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (sent < reply.body.size()) {
        if (sent >= reply.stallAfter) {
            pollfd stop = {stopPipe_[0], POLLIN, 0};
            while (::poll(&stop, 1, -1) < 0 && errno == EINTR) {
            }
        }
        return;  // stalled until the server stops, or broken off
    }
    if (reply.chunked) {
        SendAll(fd, "0\r\n\r\n", 5);
    }
    ::shutdown(fd, SHUT_WR);
    // Let the client close first so it has read everything.
    char drain[256];
    while (WaitReadable(fd) && ::recv(fd, drain, sizeof drain, 0) > 0) {
    }
}

int UnusedPort() {
    int port = 0;
    int fd = ListenOnLoopback(&port);
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

}  // namespace quillora::testing
