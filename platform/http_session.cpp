// HTTP over POSIX sockets.
#include "platform/http_session.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Splits "http://host[:port]/path" for a redirect.  False for anything else.
bool SplitHttpAddress(std::string_view address, std::string& host, uint16_t& port,
                      std::string& path) {
  constexpr std::string_view kScheme = "http://";
  if (Lower(address.substr(0, kScheme.size())) != kScheme) return false;
  address.remove_prefix(kScheme.size());
  size_t slash = address.find('/');
  std::string_view authority = address.substr(0, slash);
  path = slash == std::string_view::npos ? "/" : std::string(address.substr(slash));
  size_t colon = authority.find(':');
  port = 80;
  if (colon != std::string_view::npos) {
    unsigned value = 0;
    std::string_view digits = authority.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return false;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + unsigned(c - '0');
    }
    if (value == 0 || value > 65535) return false;
    port = uint16_t(value);
    authority = authority.substr(0, colon);
  }
  host = std::string(authority);
  return !host.empty();
}

// Waits until the socket is readable or writable; false on time-out or error.
bool WaitFor(int socket, short events, std::chrono::milliseconds timeout) {
  pollfd p{socket, events, 0};
  for (;;) {
    int rc = poll(&p, 1, int(timeout.count()));
    if (rc > 0) return true;
    if (rc == 0 || errno != EINTR) return false;
  }
}

}  // namespace

std::optional<HttpHead> ParseHttpHead(std::string_view head) {
  HttpHead result;
  size_t lineEnd = head.find('\n');
  std::string_view statusLine = Trim(head.substr(0, lineEnd));
  // "HTTP/1.x 200 OK"
  if (statusLine.substr(0, 5) != "HTTP/") return std::nullopt;
  size_t space = statusLine.find(' ');
  if (space == std::string_view::npos || statusLine.size() < space + 4) return std::nullopt;
  std::string_view code = statusLine.substr(space + 1, 3);
  for (char c : code)
    if (c < '0' || c > '9') return std::nullopt;
  if (statusLine.size() > space + 4 && statusLine[space + 4] != ' ') return std::nullopt;
  result.status = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');

  while (lineEnd != std::string_view::npos) {
    head.remove_prefix(lineEnd + 1);
    lineEnd = head.find('\n');
    std::string_view line = Trim(head.substr(0, lineEnd));
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string name = Lower(Trim(line.substr(0, colon)));
    std::string_view value = Trim(line.substr(colon + 1));
    if (name == "content-length") {
      uint64_t length = 0;
      if (value.empty() || value.size() > 18) return std::nullopt;
      for (char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        length = length * 10 + uint64_t(c - '0');
      }
      result.contentLength = length;
    } else if (name == "location") {
      result.location = std::string(value);
    } else if (name == "transfer-encoding") {
      result.chunked = Lower(value).find("chunked") != std::string::npos;
    }
  }
  return result;
}

HttpSession::HttpSession(std::string agent) : agent_(std::move(agent)) {}

HttpSession::~HttpSession() {
  Close();
}

void HttpSession::Close() {
  if (socket_ >= 0) close(socket_);
  socket_ = -1;
}

bool HttpSession::Connect(const std::string& host, uint16_t port) {
  connected_ = false;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
    error_ = "cannot resolve " + host;
    return false;
  }
  freeaddrinfo(found);
  host_ = host;
  port_ = port;
  connected_ = true;
  return true;
}

bool HttpSession::OpenRequest(const std::string& method, const std::string& path) {
  requested_ = false;
  if (!connected_ || method.empty() || path.empty() || path[0] != '/') {
    error_ = "bad request";
    return false;
  }
  // No line breaks may reach the request line.
  for (const std::string* s : {&method, &path})
    if (s->find_first_of("\r\n ") != std::string::npos) {
      error_ = "bad request";
      return false;
    }
  method_ = method;
  path_ = path;
  requested_ = true;
  return true;
}

bool HttpSession::SendRequest() {
  if (!requested_) {
    error_ = "no request";
    return false;
  }
  std::string host = host_, path = path_;
  uint16_t port = port_;
  for (int redirects = 0;; ++redirects) {
    if (!Exchange(host, port, path)) return false;
    bool redirect = head_.status == 301 || head_.status == 302 || head_.status == 303 ||
                    head_.status == 307 || head_.status == 308;
    if (!redirect || head_.location.empty() || redirects == kMaxRedirects) return true;
    if (head_.location[0] == '/') {
      path = head_.location;
    } else if (!SplitHttpAddress(head_.location, host, port, path)) {
      return true;  // somewhere we do not follow: the redirect answer itself is the result
    }
    if (path.find_first_of("\r\n ") != std::string::npos) return true;
  }
}

bool HttpSession::Exchange(const std::string& host, uint16_t port, const std::string& path) {
  Close();
  head_ = HttpHead{};
  pending_.clear();
  bodyRead_ = 0;
  ended_ = false;

  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
    error_ = "cannot resolve " + host;
    return false;
  }
  for (addrinfo* a = found; a != nullptr && socket_ < 0; a = a->ai_next) {
    int s = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (s < 0) continue;
    int rc = connect(s, a->ai_addr, a->ai_addrlen);
    if (rc != 0 && errno == EINPROGRESS && WaitFor(s, POLLOUT, timeout_)) {
      int problem = 0;
      socklen_t length = sizeof problem;
      getsockopt(s, SOL_SOCKET, SO_ERROR, &problem, &length);
      rc = problem == 0 ? 0 : -1;
    }
    if (rc == 0)
      socket_ = s;
    else
      close(s);
  }
  freeaddrinfo(found);
  if (socket_ < 0) {
    error_ = "cannot connect to " + host;
    return false;
  }

  // Built piece by piece: GCC 12 at -O3 misreads a temporary ":" + port as overlapping.
  std::string hostField = host;
  if (port != 80) hostField.append(":").append(std::to_string(port));
  std::string request = method_ + " " + path + " HTTP/1.0\r\nHost: " + hostField +
                        "\r\nUser-Agent: " + agent_ +
                        "\r\nAccept: */*\r\nPragma: no-cache\r\nCache-Control: no-cache"
                        "\r\nConnection: close\r\n\r\n";
  for (size_t sent = 0; sent < request.size();) {
    if (!WaitFor(socket_, POLLOUT, timeout_)) {
      error_ = "time-out while sending";
      return false;
    }
    ssize_t n = send(socket_, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) {
      error_ = "send failed";
      return false;
    }
    sent += size_t(n);
  }

  // Read until the blank line that ends the head.
  std::string received;
  size_t headEnd = std::string::npos;
  char buffer[4096];
  while (headEnd == std::string::npos) {
    long n = ReceiveSome(buffer, sizeof buffer);
    if (n <= 0) {
      error_ = n == 0 ? "connection closed before the response head" : "receive failed";
      return false;
    }
    received.append(buffer, size_t(n));
    headEnd = received.find("\r\n\r\n");
    size_t bareEnd = received.find("\n\n");
    size_t skip = 4;
    if (bareEnd != std::string::npos && (headEnd == std::string::npos || bareEnd < headEnd)) {
      headEnd = bareEnd;
      skip = 2;
    }
    if (headEnd != std::string::npos) {
      auto head = ParseHttpHead(std::string_view(received).substr(0, headEnd));
      if (!head || head->chunked) {
        error_ = head ? "chunked replies are not read" : "not an HTTP response";
        return false;
      }
      head_ = *head;
      pending_ = received.substr(headEnd + skip);
    } else if (received.size() > kMaxHttpHeadBytes) {
      error_ = "response head too long";
      return false;
    }
  }
  return true;
}

long HttpSession::ReceiveSome(char* buffer, size_t size) {
  for (;;) {
    if (!WaitFor(socket_, POLLIN, timeout_)) return -1;
    ssize_t n = recv(socket_, buffer, size, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return long(n);
  }
}

long HttpSession::Read(void* buffer, size_t size) {
  if (head_.status == 0 || socket_ < 0) return -1;
  char* out = static_cast<char*>(buffer);
  size_t filled = 0;
  if (head_.contentLength)
    size = size_t(std::min<uint64_t>(size, *head_.contentLength - bodyRead_));
  while (filled < size && !ended_) {
    if (!pending_.empty()) {
      size_t n = std::min(size - filled, pending_.size());
      std::memcpy(out + filled, pending_.data(), n);
      pending_.erase(0, n);
      filled += n;
      continue;
    }
    long n = ReceiveSome(out + filled, size - filled);
    if (n < 0) return -1;
    if (n == 0) {
      ended_ = true;
      // A body shorter than its announced length was cut off.
      if (head_.contentLength && bodyRead_ + filled < *head_.contentLength) return -1;
      break;
    }
    filled += size_t(n);
  }
  bodyRead_ += filled;
  return long(filled);
}

}  // namespace platform
