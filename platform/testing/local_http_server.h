// local_http_server.h — a small web server on 127.0.0.1 for tests and the screenshot tool.
//
// It listens on a free port and answers each connection, in turn, with the next scripted
// reply (the last one again once the script is used up), sending it in the pieces given
// with a pause between them; it records each request head.  A reply can stall: after its
// pieces it keeps the connection open and sends nothing more until the server is stopped.
// The server runs on a thread of its own and stops at once when destroyed, also in the
// middle of a stall or a pause.  POSIX sockets only, header only.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace platform::testing {

struct HttpReply {
  std::vector<std::string> pieces;
  std::chrono::milliseconds pause{0};  // between pieces
  bool stall = false;                  // keep the connection open, silent, after the pieces

  // A whole answer: status line, Content-Type and the body, in pieces of `piece` bytes.
  static HttpReply Page(const std::string& body, int status = 200, size_t piece = 0) {
    HttpReply reply;
    reply.pieces.push_back("HTTP/1.1 " + std::to_string(status) +
                           (status == 200 ? " OK" : " Error") +
                           "\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
    if (piece == 0) piece = body.size() + 1;
    for (size_t at = 0; at < body.size(); at += piece)
      reply.pieces.push_back(body.substr(at, piece));
    return reply;
  }
};

class LocalHttpServer {
 public:
  explicit LocalHttpServer(std::vector<HttpReply> replies) : replies_(std::move(replies)) {
    if (pipe2(stop_, O_CLOEXEC) != 0) stop_[0] = stop_[1] = -1;
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listener_, 8) == 0) {
      socklen_t length = sizeof address;
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
      port_ = ntohs(address.sin_port);
      thread_ = std::thread([this] { Serve(); });
    }
  }
  ~LocalHttpServer() {
    if (stop_[1] >= 0) (void)!write(stop_[1], "x", 1);
    if (thread_.joinable()) thread_.join();
    close(listener_);
    for (int end : stop_)
      if (end >= 0) close(end);
  }
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" + path
  std::string Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  // Waits for `socket` to become ready for `events`, or for the stop signal (false), at
  // most `timeout` (-1: no limit; a time-out answers true).
  bool Wait(int socket, short events, int timeout = -1) const {
    pollfd p[2] = {{stop_[0], POLLIN, 0}, {socket, events, 0}};
    for (;;) {
      const int rc = poll(p, socket >= 0 ? 2 : 1, timeout);
      if (rc < 0 && errno == EINTR) continue;
      return rc >= 0 && (p[0].revents & POLLIN) == 0;
    }
  }

  void Serve() {
    for (size_t served = 0;; ++served) {
      if (!Wait(listener_, POLLIN)) return;
      const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      std::string request;
      char buffer[1024];
      // Until the blank line that ends the head; a TLS greeting (0x16) is taken as it is.
      while (request.find("\r\n\r\n") == std::string::npos && Wait(client, POLLIN, 5000)) {
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, size_t(n));
        if (request[0] == 0x16) break;
      }
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      const HttpReply& reply =
          replies_.empty() ? kNothing : replies_[std::min(served, replies_.size() - 1)];
      bool stopping = false;
      for (size_t i = 0; i < reply.pieces.size() && !stopping; ++i) {
        if (i > 0 && reply.pause.count() > 0) stopping = !Wait(-1, 0, int(reply.pause.count()));
        const std::string& piece = reply.pieces[i];
        for (size_t sent = 0; sent < piece.size() && !stopping;) {
          if (!Wait(client, POLLOUT)) {
            stopping = true;
            break;
          }
          const ssize_t n = send(client, piece.data() + sent, piece.size() - sent, MSG_NOSIGNAL);
          if (n <= 0) break;
          sent += size_t(n);
        }
      }
      if (reply.stall && !stopping) stopping = !Wait(-1, 0);
      close(client);
      if (stopping) return;
    }
  }

  inline static const HttpReply kNothing{};
  std::vector<HttpReply> replies_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  uint16_t port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace platform::testing
