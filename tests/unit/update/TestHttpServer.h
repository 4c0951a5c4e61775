#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the download tests. It listens on an
// ephemeral port, serves one scripted reply per path (404 with an HTML page for any
// other path), closes each connection after its reply, and stops on destruction.
// Replies can come in pieces, chunked, without a length, stall, break off mid-body
// or redirect.

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillora::testing {

struct HttpReply {
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    HttpReply() = default;
    HttpReply(int status_, std::string body_) : status(status_), body(std::move(body_)) {}

    int status = 200;
    std::string body;
    std::string location;             // sent as Location when set
    std::vector<std::size_t> pieces;  // write the body in pieces of these sizes; the last repeats
    bool chunked = false;             // Transfer-Encoding: chunked, one chunk per piece
    bool contentLength = true;        // send Content-Length (ignored when chunked)
    std::size_t closeAfter = kNever;  // close the connection after this many body bytes
    std::size_t stallAfter = kNever;  // send nothing more after this many body bytes
};

class TestHttpServer {
  public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Running() const { return listenFd_ >= 0; }
    void Serve(const std::string& path, HttpReply reply);
    std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path
    int Port() const { return port_; }

    // Request targets in the order they came, and the raw head of the last request.
    std::vector<std::string> Requests() const;
    std::string LastRequestHead() const;

    void Stop();

  private:
    void AcceptLoop();
    void Handle(int fd);
    bool WaitReadable(int fd) const;  // false when the server stops first
    bool SendAll(int fd, const char* data, std::size_t size) const;

    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::map<std::string, HttpReply> replies_;
    std::vector<std::string> requests_;
    std::string lastHead_;
};

// A 127.0.0.1 port on which nothing listens, so a connection is refused.
int UnusedPort();

}  // namespace quillora::testing
