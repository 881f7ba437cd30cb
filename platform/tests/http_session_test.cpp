#include "platform/http_session.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "platform/testing/local_http_server.h"

namespace platform {
namespace {

using testing::HttpReply;
using testing::LocalHttpServer;
using namespace std::chrono_literals;

HttpReply Raw(std::vector<std::string> pieces) {
  HttpReply reply;
  reply.pieces = std::move(pieces);
  return reply;
}

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

std::string RequestLine(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

TEST(HttpSession, PageArrivingInSmallPiecesIsReadWhole) {
  std::string page;
  for (int i = 0; page.size() < 50 * 1024; ++i) page += "<TD>line " + std::to_string(i) + "</TD>\n";
  HttpReply reply = HttpReply::Page(page, 200, 700);
  reply.pause = 1ms;
  LocalHttpServer server({reply});
  HttpSession http("Zuzor Erezed");
  ASSERT_TRUE(http.ok());
  ASSERT_TRUE(Get(http, server.port(), "/tenki/13.html")) << http.error();
  EXPECT_EQ(http.status(), 200);
  std::vector<long> sizes;
  EXPECT_EQ(ReadAll(http, &sizes), page);
  for (size_t i = 0; i + 1 < sizes.size(); ++i) ASSERT_EQ(sizes[i], 1024) << "read " << i;
  EXPECT_LT(sizes.back(), 1024);
  ASSERT_EQ(server.requests().size(), 1u);
  const std::string request = server.requests()[0];
  EXPECT_EQ(RequestLine(request), "GET /tenki/13.html HTTP/1.1");
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"),
            std::string::npos);
  EXPECT_NE(request.find("\r\nUser-Agent: Zuzor Erezed\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nCache-Control: no-cache\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nPragma: no-cache\r\n"), std::string::npos);
}

TEST(HttpSession, BodyEndsWhereTheServerSaysAndShortBodiesFail) {
  LocalHttpServer server({Raw({"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA"}),
                          Raw({"HTTP/1.0 200 OK\r\ncontent-length: 100\r\n\r\ncut"}),
                          Raw({"HTTP/1.0 404 Not Found\n\nmissing"}),
                          Raw({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                               "5\r\nhello\r\n", "6\r\n world\r\n0\r\n\r\n"}),
                          Raw({"HTTP/1.1 204 No Content\r\n\r\n"})});
  HttpSession http("agent");
  ASSERT_TRUE(Get(http, server.port(), "/a")) << http.error();
  EXPECT_EQ(ReadAll(http), "hello");
  EXPECT_EQ(http.Read(nullptr, 0), 0);

  ASSERT_TRUE(Get(http, server.port(), "/b"));
  char buffer[1024];
  EXPECT_EQ(http.Read(buffer, sizeof buffer), -1) << "the connection closed before 100 bytes";
  EXPECT_EQ(http.failure(), HttpFailure::kBroken);

  ASSERT_TRUE(Get(http, server.port(), "/c"));
  EXPECT_EQ(http.status(), 404) << "bare line feeds accepted";
  EXPECT_EQ(ReadAll(http), "missing");

  ASSERT_TRUE(Get(http, server.port(), "/d"));
  EXPECT_EQ(ReadAll(http), "hello world") << "chunked replies come out as one body";

  ASSERT_TRUE(Get(http, server.port(), "/e"));
  EXPECT_EQ(http.status(), 204);
  EXPECT_EQ(ReadAll(http), "");
}

TEST(HttpSession, FollowsRedirects) {
  LocalHttpServer server({Raw({"HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: "
                               "4\r\n\r\ngone"}),
                          Raw({"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nthere"})});
  HttpSession http("agent");
  ASSERT_TRUE(Get(http, server.port(), "/old")) << http.error();
  EXPECT_EQ(http.status(), 200);
  EXPECT_EQ(ReadAll(http), "there") << "the redirect's own body is not part of the page";
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(RequestLine(server.requests()[1]), "GET /moved HTTP/1.1");
}

TEST(HttpSession, RefusesWhatIsNotAnHttpAnswer) {
  struct Case {
    const char* rule;
    HttpReply reply;
  } cases[] = {
      {"not HTTP", Raw({"SSH-2.0-OpenSSH\r\n\r\n"})},
      {"head cut off", Raw({"HTTP/1.1 200 OK\r\n"})},
      {"nothing at all", Raw({})},
      {"endless head", Raw({"HTTP/1.1 200 OK\r\nX: " + std::string(200 * 1024, 'x')})},
  };
  for (const auto& c : cases) {
    LocalHttpServer server({c.reply});
    HttpSession http("agent");
    EXPECT_FALSE(Get(http, server.port(), "/")) << c.rule;
    EXPECT_NE(http.failure(), HttpFailure::kNone) << c.rule;
    char buffer[16];
    EXPECT_EQ(http.Read(buffer, sizeof buffer), -1) << c.rule;
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
  EXPECT_EQ(http.failure(), HttpFailure::kCannotConnect);
  EXPECT_FALSE(http.error().empty());

  HttpSession fresh("agent");
  EXPECT_FALSE(fresh.OpenRequest("GET", "/")) << "no server named";
  EXPECT_FALSE(fresh.SendRequest()) << "no request";
  EXPECT_EQ(fresh.failure(), HttpFailure::kMisuse);
  EXPECT_FALSE(fresh.Connect("", 80));
  EXPECT_FALSE(fresh.Connect("bad host", 80));
  EXPECT_FALSE(fresh.Connect("user@host", 80));
  ASSERT_TRUE(fresh.Connect("127.0.0.1", 80));
  EXPECT_FALSE(fresh.OpenRequest("GET", "no-slash"));
  EXPECT_FALSE(fresh.OpenRequest("GET", "/a\r\nX-Injected: 1"));
  EXPECT_FALSE(fresh.OpenRequest("GET", "/a b"));
}

// Limits and cancelling: a silent server, a page that never ends, a cancel while nothing
// arrives.  Each ends with its own failure, never with a hang or a full disk.
TEST(HttpSession, LimitsAndCancelEndTheTransfer) {
  HttpReply silentHead;
  silentHead.stall = true;
  HttpReply silentBody = Raw({"HTTP/1.1 200 OK\r\n\r\nfirst bytes"});
  silentBody.stall = true;
  HttpReply endless = Raw({"HTTP/1.1 200 OK\r\n\r\n"});
  for (int i = 0; i < 80; ++i) endless.pieces.push_back(std::string(64 * 1024, 'x'));

  struct Case {
    const char* rule;
    HttpReply reply;
    HttpLimits limits;
    int cancelAfterIdleCalls;  // 0 = never
    bool sendFails;
    HttpFailure failure;
  } cases[] = {
      // clang-format off
      {"no answer at all", silentHead, {15s, 200ms, 4 << 20}, 0, true, HttpFailure::kTimedOut},
      {"stalls after the first bytes", silentBody, {15s, 200ms, 4 << 20}, 0, false,
       HttpFailure::kTimedOut},
      {"over the size cap", endless, {15s, 5s, 1 << 20}, 0, false, HttpFailure::kTooLarge},
      {"cancel while waiting for the head", silentHead, {15s, 60s, 4 << 20}, 3, true,
       HttpFailure::kCancelled},
      {"cancel while the body is silent", silentBody, {15s, 60s, 4 << 20}, 3, false,
       HttpFailure::kCancelled},
      // clang-format on
  };
  for (const auto& c : cases) {
    LocalHttpServer server({c.reply});
    HttpSession http("agent");
    http.SetLimits(c.limits);
    int idleCalls = 0;
    http.SetIdle(
        [&] { return c.cancelAfterIdleCalls == 0 || ++idleCalls < c.cancelAfterIdleCalls; });
    const auto start = std::chrono::steady_clock::now();
    const bool sent = Get(http, server.port(), "/");
    EXPECT_EQ(sent, !c.sendFails) << c.rule;
    if (sent) {
      std::string body = ReadAll(http);
      EXPECT_LE(body.size(), c.limits.maxBodyBytes) << c.rule;
    }
    EXPECT_EQ(http.failure(), c.failure) << c.rule << ": " << http.error();
    // Ended by its own rule, long before the generous limits that do not apply to it.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << c.rule;
    if (c.cancelAfterIdleCalls > 0) {
      EXPECT_EQ(idleCalls, c.cancelAfterIdleCalls) << c.rule;
    }
  }
}

TEST(HttpSession, SecureAddressesSpeakTls) {
  // A plain server answers the TLS greeting with plain text: the handshake fails cleanly.
  LocalHttpServer server({HttpReply::Page("plain")});
  HttpSession http("agent");
  ASSERT_TRUE(http.Connect("127.0.0.1", server.port(), /*secure=*/true));
  ASSERT_TRUE(http.OpenRequest("GET", "/"));
  EXPECT_FALSE(http.SendRequest());
  EXPECT_EQ(http.failure(), HttpFailure::kCannotConnect) << http.error();
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0][0], '\x16') << "a TLS handshake record, not a plain request";
}

}  // namespace
}  // namespace platform
