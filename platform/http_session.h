// http_session.h — one HTTP or HTTPS GET at a time, read in pieces (the forecast download).
//
// The calls follow the order the download makes them: open a session with an agent name,
// name the server, open a request for a path, send it (which waits for the answer's head),
// then read the body piece by piece until a read returns fewer bytes than asked for.
// Read() fills the whole buffer unless the body ends, so a short read always means the end
// (or a failure, -1): a slow server never cuts the page short.  Redirects to other http://
// or https:// addresses are followed (at most kMaxRedirects).  No proxy, no cache, the
// bytes exactly as the server sent them.
//
// Nothing here freezes the caller's window.  The transfer runs on libcurl's multi interface
// on the caller's thread; whenever a call has to wait for the network it runs the idle hook
// about every kIdleInterval, so the caller can keep its window's events turning, and a hook
// that answers false cancels the transfer there and then (HttpFailure::kCancelled): a
// cancel is honoured within a fraction of a second even while the server sends nothing.
//
// Limits (HttpLimits): a time-out for connecting, a stall time-out (no byte from the server
// for that long ends the transfer) and a cap on the body's size, so a page that never ends
// or a server that never answers ends with a failure instead of filling the disk or hanging.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

inline constexpr int kMaxRedirects = 5;
inline constexpr std::chrono::milliseconds kIdleInterval{50};

struct HttpLimits {
  std::chrono::milliseconds connect{15000};  // to have a connection to the server
  std::chrono::milliseconds stall{30000};    // longest wait for the next byte
  uint64_t maxBodyBytes = uint64_t(4) << 20;
};

// Why the last call failed.
enum class HttpFailure {
  kNone,
  kMisuse,         // a call out of order or with an unusable argument
  kCannotConnect,  // name not resolved, connection or TLS handshake refused
  kNotHttp,        // the server did not answer with an HTTP response
  kTimedOut,       // connect or stall time-out
  kTooLarge,       // the body passed HttpLimits::maxBodyBytes
  kCancelled,      // the idle hook answered false
  kBroken,         // the connection broke off (e.g. before the announced length)
};

// Runs while a call waits; false cancels the transfer.
using IdleHook = std::function<bool()>;

class HttpSession {
 public:
  explicit HttpSession(std::string agent);
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  // False when the network library could not give a session.
  bool ok() const;

  void SetLimits(const HttpLimits& limits) { limits_ = limits; }
  void SetIdle(IdleHook idle) { idle_ = std::move(idle); }

  // Names the server (`secure`: https); false for an empty name or one with blanks or
  // control characters.  Nothing goes over the network yet.
  [[nodiscard]] bool Connect(const std::string& host, uint16_t port = 80, bool secure = false);
  // Names the request; false when no server is named, or when the path does not start
  // with '/' or holds blanks or control characters.
  [[nodiscard]] bool OpenRequest(const std::string& method, const std::string& path);
  // Connects, sends the request and waits until the answer's head is in (following
  // redirects).  False when the server cannot be reached, does not answer with HTTP in
  // time, or the idle hook cancelled.
  [[nodiscard]] bool SendRequest();

  // The response status (0 before a successful SendRequest).
  int status() const { return status_; }

  // Reads up to `size` body bytes into `buffer`; fewer only at the end of the body; -1 on
  // a failure (see failure()).
  long Read(void* buffer, size_t size);

  // Ends the transfer (also done by the destructor).
  void Close();

  HttpFailure failure() const { return failure_; }
  // What went wrong last, for diagnostics.
  const std::string& error() const { return error_; }

 private:
  struct Transfer;

  bool Fail(HttpFailure failure, std::string error);
  // Drives the transfer until `ready` holds (true) or it ended or failed (false).
  bool Pump(const std::function<bool()>& ready);
  void Collect();

  std::string agent_;
  bool usable_ = false;
  std::string server_;  // scheme://host:port
  std::string url_;     // server_ and the path
  std::string method_;
  bool named_ = false;
  bool requested_ = false;
  HttpLimits limits_;
  IdleHook idle_;
  int status_ = 0;
  std::unique_ptr<Transfer> transfer_;
  HttpFailure failure_ = HttpFailure::kNone;
  std::string error_;
};

}  // namespace platform
