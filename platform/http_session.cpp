// HTTP and HTTPS through libcurl's multi interface, driven on the caller's thread.
#include "platform/http_session.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string_view>
#include <utility>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

void StartLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Names and paths go into the request line: no blanks, no control characters.
bool Printable(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

struct HttpSession::Transfer {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  char curlError[CURL_ERROR_SIZE] = {};
  const HttpLimits* limits = nullptr;

  // The answer's head: the status of the head being read, whether it names a Location,
  // how many redirects were taken, and whether the final head is complete.
  int headStatus = 0;
  bool headLocation = false;
  int redirects = 0;
  bool headComplete = false;

  std::string body;  // received, not yet read: body[bodyStart..]
  size_t bodyStart = 0;
  uint64_t bodyTotal = 0;
  bool tooLarge = false;

  bool done = false;
  CURLcode result = CURLE_OK;
  Clock::time_point lastActivity = Clock::now();

  ~Transfer() {
    if (multi != nullptr && easy != nullptr) curl_multi_remove_handle(multi, easy);
    if (easy != nullptr) curl_easy_cleanup(easy);
    if (multi != nullptr) curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
  }

  size_t available() const { return body.size() - bodyStart; }

  static size_t OnHeader(char* data, size_t, size_t size, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->lastActivity = Clock::now();
    const std::string_view line(data, size);
    if (line.substr(0, 5) == "HTTP/") {
      const size_t space = line.find(' ');
      t->headStatus = 0;
      t->headLocation = false;
      if (space != std::string_view::npos)
        for (size_t i = space + 1; i < line.size() && i < space + 4; ++i)
          if (line[i] >= '0' && line[i] <= '9')
            t->headStatus = t->headStatus * 10 + (line[i] - '0');
    } else if (StartsWithNoCase(line, "location:")) {
      t->headLocation = line.find_first_not_of(" \t\r\n", 9) != std::string_view::npos;
    } else if (line == "\r\n" || line == "\n") {
      // The end of a head: the final one unless an interim answer or a redirect that
      // the library follows.
      if (t->headStatus >= 100 && t->headStatus < 200) return size;
      if (IsRedirect(t->headStatus) && t->headLocation && t->redirects < kMaxRedirects) {
        ++t->redirects;
        return size;
      }
      t->headComplete = true;
    }
    return size;
  }

  static size_t OnBody(char* data, size_t, size_t size, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->lastActivity = Clock::now();
    t->headComplete = true;
    t->bodyTotal += size;
    if (t->bodyTotal > t->limits->maxBodyBytes) {
      t->tooLarge = true;
      return 0;  // ends the transfer with a write error
    }
    if (t->bodyStart > 0 && t->bodyStart >= t->body.size() / 2) {
      t->body.erase(0, t->bodyStart);
      t->bodyStart = 0;
    }
    t->body.append(data, size);
    return size;
  }
};

HttpSession::HttpSession(std::string agent) : agent_(std::move(agent)) {
  StartLibrary();
  // A session is usable when the library hands out handles.
  if (CURL* probe = curl_easy_init()) {
    curl_easy_cleanup(probe);
    usable_ = true;
  }
}

HttpSession::~HttpSession() {
  Close();
}

bool HttpSession::ok() const {
  return usable_;
}

void HttpSession::Close() {
  transfer_.reset();
}

bool HttpSession::Fail(HttpFailure failure, std::string error) {
  failure_ = failure;
  error_ = std::move(error);
  return false;
}

bool HttpSession::Connect(const std::string& host, uint16_t port, bool secure) {
  named_ = false;
  requested_ = false;
  if (!usable_ || host.empty() || !Printable(host) ||
      host.find_first_of("/?#@") != std::string::npos)
    return Fail(HttpFailure::kMisuse, "unusable server name");
  // Built piece by piece: GCC 12 at -O3 misreads a temporary ":" + port as overlapping.
  server_ = secure ? "https://" : "http://";
  server_.append(host).append(":").append(std::to_string(port == 0 ? (secure ? 443 : 80) : port));
  named_ = true;
  return true;
}

bool HttpSession::OpenRequest(const std::string& method, const std::string& path) {
  requested_ = false;
  if (!named_) return Fail(HttpFailure::kMisuse, "no server named");
  if (method.empty() || !Printable(method) || path.empty() || path[0] != '/' || !Printable(path))
    return Fail(HttpFailure::kMisuse, "bad request");
  method_ = method;
  url_ = server_ + path;
  requested_ = true;
  return true;
}

bool HttpSession::SendRequest() {
  Close();
  status_ = 0;
  failure_ = HttpFailure::kNone;
  error_.clear();
  if (!requested_) return Fail(HttpFailure::kMisuse, "no request");

  auto t = std::make_unique<Transfer>();
  t->limits = &limits_;
  t->multi = curl_multi_init();
  t->easy = curl_easy_init();
  if (t->multi == nullptr || t->easy == nullptr)
    return Fail(HttpFailure::kCannotConnect, "no transfer handle");
  CURL* e = t->easy;
  t->headers = curl_slist_append(t->headers, "Pragma: no-cache");
  t->headers = curl_slist_append(t->headers, "Cache-Control: no-cache");
  t->headers = curl_slist_append(t->headers, "Accept: */*");
  curl_easy_setopt(e, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method_ == "GET" ? nullptr : method_.c_str());
  curl_easy_setopt(e, CURLOPT_USERAGENT, agent_.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, t->headers);
  curl_easy_setopt(e, CURLOPT_PROXY, "");  // direct, whatever the environment says
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, long(kMaxRedirects));
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(limits_.connect.count()));
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->curlError);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
  if (curl_multi_add_handle(t->multi, e) != CURLM_OK)
    return Fail(HttpFailure::kCannotConnect, "transfer not started");
  t->lastActivity = Clock::now();
  transfer_ = std::move(t);

  if (!Pump([this] { return transfer_->headComplete; })) {
    if (failure_ == HttpFailure::kNone) Fail(HttpFailure::kNotHttp, "no answer");
    Close();
    return false;
  }
  long code = 0;
  curl_easy_getinfo(transfer_->easy, CURLINFO_RESPONSE_CODE, &code);
  status_ = code > 0 ? int(code) : transfer_->headStatus;
  return true;
}

void HttpSession::Collect() {
  Transfer& t = *transfer_;
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(t.multi, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    t.done = true;
    t.result = message->data.result;
  }
  if (!t.done || t.result == CURLE_OK) return;
  std::string detail = t.curlError[0] != '\0' ? t.curlError : curl_easy_strerror(t.result);
  switch (t.result) {
    case CURLE_WRITE_ERROR:
      if (t.tooLarge)
        Fail(HttpFailure::kTooLarge, "the body passed its size limit");
      else
        Fail(HttpFailure::kBroken, detail);
      break;
    case CURLE_OPERATION_TIMEDOUT:
      Fail(HttpFailure::kTimedOut, detail);
      break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_UNSUPPORTED_PROTOCOL:
      Fail(HttpFailure::kCannotConnect, detail);
      break;
    default:
      Fail(t.headComplete ? HttpFailure::kBroken : HttpFailure::kNotHttp, detail);
      break;
  }
}

bool HttpSession::Pump(const std::function<bool()>& ready) {
  Transfer& t = *transfer_;
  for (;;) {
    if (ready()) return true;
    if (t.done) return false;
    int running = 0;
    curl_multi_perform(t.multi, &running);
    Collect();
    if (ready()) return true;
    if (t.done) return false;
    if (idle_ && !idle_()) {
      t.done = true;
      return Fail(HttpFailure::kCancelled, "cancelled");
    }
    if (Clock::now() - t.lastActivity > limits_.stall) {
      t.done = true;
      return Fail(HttpFailure::kTimedOut, "the server sent nothing for too long");
    }
    curl_multi_poll(t.multi, nullptr, 0, int(kIdleInterval.count()), nullptr);
  }
}

long HttpSession::Read(void* buffer, size_t size) {
  if (!transfer_ || status_ == 0) {
    if (failure_ == HttpFailure::kNone) Fail(HttpFailure::kMisuse, "no answer to read");
    return -1;
  }
  Transfer& t = *transfer_;
  if (!Pump([&] { return t.available() >= size; }) && t.result != CURLE_OK) return -1;
  if (failure_ != HttpFailure::kNone && t.available() < size) return -1;
  const size_t n = std::min(size, t.available());
  if (n > 0) std::memcpy(buffer, t.body.data() + t.bodyStart, n);
  t.bodyStart += n;
  return long(n);
}

}  // namespace platform
