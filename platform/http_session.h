// http_session.h — one plain HTTP GET at a time, read in pieces (the forecast download).
//
// The calls follow the order the download makes them: open a session with an agent name,
// connect to a host, open a request for a path, send it, then read the body piece by piece
// until a read returns fewer bytes than asked for.  Read() fills the whole buffer unless the
// body ends, so a short read always means the end (or an error, -1): a slow server never
// cuts the page short.  Only "http" on a plain TCP connection; no proxy, no cache.  The
// request is HTTP/1.0 (no chunked replies); redirects to other http:// addresses are
// followed (at most kMaxRedirects).  Every wait is bounded by the time-out (default 30 s),
// so a silent server cannot hang the program.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr int kMaxRedirects = 5;
// Response heads longer than this are refused.
inline constexpr size_t kMaxHttpHeadBytes = 64 * 1024;

struct HttpHead {
  int status = 0;  // 200, 404, ...
  std::optional<uint64_t> contentLength;
  std::string location;  // of a redirect, "" when none
  bool chunked = false;
};

// Parses a response head (status line and header lines, without the blank line that ends
// it).  std::nullopt when it is not an HTTP response head.
std::optional<HttpHead> ParseHttpHead(std::string_view head);

class HttpSession {
 public:
  explicit HttpSession(std::string agent);
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

  // Names the server; false when the name cannot be resolved.
  [[nodiscard]] bool Connect(const std::string& host, uint16_t port = 80);
  // Names the request; false when not connected, or when the path does not start with '/'.
  [[nodiscard]] bool OpenRequest(const std::string& method, const std::string& path);
  // Connects, sends the request and reads the response head (following redirects).  False
  // when the server cannot be reached or does not answer with an HTTP response.
  [[nodiscard]] bool SendRequest();

  // The response status (0 before a successful SendRequest).
  int status() const { return head_.status; }

  // Reads up to `size` body bytes into `buffer`; fewer only at the end of the body; -1 on
  // a failure (time-out, connection lost before a promised length).
  long Read(void* buffer, size_t size);

  // Closes the connection (also done by the destructor).
  void Close();

  // What went wrong last, for diagnostics.
  const std::string& error() const { return error_; }

 private:
  bool Exchange(const std::string& host, uint16_t port, const std::string& path);
  long ReceiveSome(char* buffer, size_t size);

  std::string agent_;
  std::string host_;
  uint16_t port_ = 80;
  std::string method_;
  std::string path_;
  bool connected_ = false;
  bool requested_ = false;
  std::chrono::milliseconds timeout_{30000};
  int socket_ = -1;
  HttpHead head_;
  std::string pending_;  // body bytes received together with the head
  uint64_t bodyRead_ = 0;
  bool ended_ = false;
  std::string error_;
};

}  // namespace platform
