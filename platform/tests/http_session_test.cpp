#include "platform/http_session.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace platform {
namespace {

// A server on 127.0.0.1 that answers each connection, in turn, with the next scripted
// reply, sent in pieces; it records each request head.
class LocalServer {
 public:
  explicit LocalServer(std::vector<std::vector<std::string>> replies)
      : replies_(std::move(replies)) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    thread_.join();
    close(listener_);
  }
  uint16_t port() const { return port_; }
  const std::vector<std::string>& requests() const { return requests_; }

 private:
  void Serve() {
    for (const auto& pieces : replies_) {
      int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, size_t(n));
      }
      requests_.push_back(request);
      for (const auto& piece : pieces) {
        send(client, piece.data(), piece.size(), MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      close(client);
    }
  }

  std::vector<std::vector<std::string>> replies_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::vector<std::string> requests_;
};

// Reads the way the forecast download does: 1024 bytes at a time until a short read.
std::string ReadAll(HttpSession& http, std::vector<long>* sizes = nullptr) {
  std::string body;
  char buffer[1024];
  for (;;) {
    long n = http.Read(buffer, sizeof buffer);
    if (sizes) sizes->push_back(n);
    if (n > 0) body.append(buffer, size_t(n));
    if (n != long(sizeof buffer)) return body;
  }
}

bool Get(HttpSession& http, uint16_t port, const std::string& path) {
  return http.Connect("127.0.0.1", port) && http.OpenRequest("GET", path) && http.SendRequest();
}

TEST(HttpSession, PageArrivingInSmallPiecesIsReadWhole) {
  std::string page;
  for (int i = 0; page.size() < 50 * 1024; ++i) page += "<TD>line " + std::to_string(i) + "</TD>\n";
  std::vector<std::string> pieces{"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n"};
  for (size_t at = 0; at < page.size(); at += 700) pieces.push_back(page.substr(at, 700));
  LocalServer server({pieces});
  HttpSession http("Zuzor Erezed");
  ASSERT_TRUE(Get(http, server.port(), "/tenki/13.html")) << http.error();
  EXPECT_EQ(http.status(), 200);
  std::vector<long> sizes;
  EXPECT_EQ(ReadAll(http, &sizes), page);
  for (size_t i = 0; i + 1 < sizes.size(); ++i) ASSERT_EQ(sizes[i], 1024) << "read " << i;
  EXPECT_LT(sizes.back(), 1024);
  ASSERT_EQ(server.requests().size(), 1u);
  const std::string& request = server.requests()[0];
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /tenki/13.html HTTP/1.0");
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:"), std::string::npos);
  EXPECT_NE(request.find("\r\nUser-Agent: Zuzor Erezed\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nCache-Control: no-cache\r\n"), std::string::npos);
}

TEST(HttpSession, ContentLengthEndsTheBodyAndShortBodiesFail) {
  LocalServer server({{"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA"},
                      {"HTTP/1.0 200 OK\r\ncontent-length: 100\r\n\r\ncut"},
                      {"HTTP/1.0 404 Not Found\n\nmissing"}});
  HttpSession http("agent");
  ASSERT_TRUE(Get(http, server.port(), "/a"));
  EXPECT_EQ(ReadAll(http), "hello");
  EXPECT_EQ(http.Read(nullptr, 0), 0);

  ASSERT_TRUE(Get(http, server.port(), "/b"));
  char buffer[1024];
  EXPECT_EQ(http.Read(buffer, sizeof buffer), -1) << "the connection closed before 100 bytes";

  ASSERT_TRUE(Get(http, server.port(), "/c"));
  EXPECT_EQ(http.status(), 404) << "bare line feeds accepted";
  EXPECT_EQ(ReadAll(http), "missing");
}

TEST(HttpSession, FollowsRedirects) {
  LocalServer server(
      {{"HTTP/1.1 302 Found\r\nLocation: /moved\r\n\r\n"}, {"HTTP/1.1 200 OK\r\n\r\nthere"}});
  HttpSession http("agent");
  ASSERT_TRUE(Get(http, server.port(), "/old"));
  EXPECT_EQ(http.status(), 200);
  EXPECT_EQ(ReadAll(http), "there");
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[1].substr(0, 20), "GET /moved HTTP/1.0\r");
}

TEST(HttpSession, RefusesWhatIsNotAnHttpAnswer) {
  LocalServer server(
      {{"SSH-2.0-OpenSSH\r\n\r\n"},
       {"HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n"},
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"},
       {"HTTP/1.1 200 OK\r\n"},
       {std::string(kMaxHttpHeadBytes + 10, 'x')}});
  HttpSession http("agent");
  for (const char* rule : {"not HTTP", "bad length", "chunked", "head cut off", "endless head"}) {
    EXPECT_FALSE(Get(http, server.port(), "/")) << rule;
    char buffer[16];
    EXPECT_EQ(http.Read(buffer, sizeof buffer), -1) << rule;
  }
}

TEST(HttpSession, FailsCleanlyWithoutAServer) {
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);  // nobody listens on this port now

  HttpSession http("agent");
  ASSERT_TRUE(http.Connect("127.0.0.1", ntohs(address.sin_port)));
  ASSERT_TRUE(http.OpenRequest("GET", "/"));
  EXPECT_FALSE(http.SendRequest());
  EXPECT_FALSE(http.error().empty());

  HttpSession fresh("agent");
  EXPECT_FALSE(fresh.OpenRequest("GET", "/")) << "not connected";
  EXPECT_FALSE(fresh.SendRequest()) << "no request";
  EXPECT_FALSE(fresh.Connect("", 80));
  ASSERT_TRUE(fresh.Connect("127.0.0.1", 80));
  EXPECT_FALSE(fresh.OpenRequest("GET", "no-slash"));
  EXPECT_FALSE(fresh.OpenRequest("GET", "/a\r\nX-Injected: 1"));
}

TEST(HttpSession, ParsesResponseHeads) {
  struct Case {
    const char* rule;
    std::string head;
    int status;  // 0 = refused
    std::optional<uint64_t> length;
  } cases[] = {
      {"status and length", "HTTP/1.1 200 OK\r\nContent-Length: 42", 200, 42},
      {"no reason phrase", "HTTP/1.0 204", 204, std::nullopt},
      {"header names ignore case", "HTTP/1.1 200 OK\r\nCONTENT-LENGTH:  7 ", 200, 7},
      {"lines without a colon are skipped", "HTTP/1.1 500 Oops\r\ngarbage\r\n", 500, std::nullopt},
      {"not HTTP", "ICY 200 OK", 0, std::nullopt},
      {"letters in the status", "HTTP/1.1 2x0 OK", 0, std::nullopt},
      {"status too long", "HTTP/1.1 2000 OK", 0, std::nullopt},
      {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -1", 0, std::nullopt},
      {"absurd length", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999", 0, std::nullopt},
      {"empty", "", 0, std::nullopt},
  };
  for (const auto& c : cases) {
    auto head = ParseHttpHead(c.head);
    if (c.status == 0) {
      EXPECT_FALSE(head) << c.rule;
      continue;
    }
    ASSERT_TRUE(head) << c.rule;
    EXPECT_EQ(head->status, c.status) << c.rule;
    EXPECT_EQ(head->contentLength, c.length) << c.rule;
  }
}

}  // namespace
}  // namespace platform
