#include "plugins/tenki/forecast_download.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/dial_up.h"
#include "platform/testing/local_http_server.h"
#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"
#include "plugins/tenki/forecast_address.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

using namespace std::chrono_literals;
using platform::testing::HttpReply;
using platform::testing::LocalHttpServer;
using platform::testing::MessageRecorder;
using testing::ReadFile;

constexpr char16_t kConnecting[] = u"接続中";
constexpr char16_t kRequesting[] = u"接続中.";
constexpr char16_t kGetting[] = u"ファイルを取得中";
constexpr char16_t kDownloading[] = u"ダウンロード中";
constexpr char16_t kDone[] = u"ファイル取得に成功しました";
constexpr char16_t kNoPage[] = u"ファイル取得に失敗しました";

class RecordingView : public DownloadView {
 public:
  std::vector<std::u16string> statuses;
  int low = -1, high = -1;
  int position = -1;
  int processCalls = 0;
  bool ended = false;
  std::function<void()> onProcess;

  void ShowStatus(std::u16string_view text) override { statuses.emplace_back(text); }
  void SetProgressRange(int l, int h) override { low = l, high = h; }
  void SetProgress(int p) override { position = p; }
  void ProcessMessages() override {
    ++processCalls;
    if (onProcess) onProcess();
  }
  void Succeed() override { ended = true; }
  std::u16string last() const { return statuses.empty() ? u"" : statuses.back(); }
};

class FakeDialUp : public platform::DialUpService {
 public:
  std::vector<std::u16string> active;
  bool dialAnswer = true;
  std::vector<std::string> calls;

  std::vector<std::u16string> PhoneBookEntries() override { return {}; }
  std::vector<std::u16string> ActiveConnections() override {
    calls.push_back("active");
    return active;
  }
  bool Dial(std::u16string_view entry) override {
    calls.push_back("dial " + platform::Utf16ToUtf8(entry));
    return dialAnswer;
  }
  bool HangUp(std::u16string_view entry) override {
    calls.push_back("hang up " + platform::Utf16ToUtf8(entry));
    return true;
  }
};

class Download : public ::testing::Test {
 protected:
  void SetUp() override {
    auto fake = std::make_unique<FakeDialUp>();
    dialUp_ = fake.get();
    previous_ = platform::SetDialUpService(std::move(fake));
  }
  void TearDown() override { platform::SetDialUpService(std::move(previous_)); }

  DownloadSettings Settings(const std::string& url) const {
    DownloadSettings s;
    s.url = platform::Utf8ToUtf16(url);
    s.tempFile = host_.plugin() / "tvk_tenki.tmp";
    return s;
  }
  // Runs a download into the view; `setUp` may change the settings and the view first.
  ForecastDownload& Run(DownloadSettings settings) {
    download_ = std::make_unique<ForecastDownload>(view_, std::move(settings));
    download_->Run();
    return *download_;
  }

  testing::TenkiHost host_;
  RecordingView view_;
  MessageRecorder messages_;
  FakeDialUp* dialUp_ = nullptr;
  std::unique_ptr<platform::DialUpService> previous_;
  std::unique_ptr<ForecastDownload> download_;
};

std::string WithCrLf(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST_F(Download, StoresThePageWithCrLf) {
  const std::string page = testing::PageBytes("forecast_full.html");
  ASSERT_NE(page.find('\n'), std::string::npos);
  HttpReply reply = HttpReply::Page(page, 200, 700);
  reply.pause = 2ms;
  LocalHttpServer server({reply});
  ForecastDownload& download = Run(Settings(server.Address("/yoho/tokyo.html")));

  EXPECT_EQ(view_.statuses,
            (std::vector<std::u16string>{kConnecting, kRequesting, kGetting, kDownloading, kDone}));
  EXPECT_TRUE(download.succeeded());
  EXPECT_TRUE(download.finished());
  EXPECT_TRUE(view_.ended) << "the dialog ends with OK by itself";
  EXPECT_EQ(view_.low, 0);
  EXPECT_EQ(view_.high, 14);
  EXPECT_EQ(view_.position, int(page.size() / 1024 + 1));
  EXPECT_EQ(ReadFile(host_.plugin() / "tvk_tenki.tmp"), WithCrLf(page));
  ASSERT_EQ(server.requests().size(), 1u);
  const std::string request = server.requests()[0];
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /yoho/tokyo.html HTTP/1.1");
  EXPECT_NE(request.find("\r\nUser-Agent: Zuzor Erezed\r\n"), std::string::npos);
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_TRUE(dialUp_->calls.empty()) << "dialUse 0 touches no connection";
  EXPECT_TRUE(download.Cancel()) << "a finished download closes at once";
}

TEST_F(Download, HowTransfersEnd) {
  HttpReply silentHead;
  silentHead.stall = true;
  HttpReply silentBody = HttpReply::Page("<HTML>first bytes\n");
  silentBody.stall = true;
  HttpReply brokenBody;
  brokenBody.pieces = {"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(100, 'x')};

  const platform::HttpLimits normal;
  const platform::HttpLimits quickStall{15s, 300ms, 4 << 20};
  const platform::HttpLimits smallCap{15s, 30s, 64 << 10};
  struct Case {
    const char* rule;
    HttpReply reply;
    platform::HttpLimits limits;
    const char16_t* cancelWhile;  // press cancel a few turns after this status shows
    std::u16string status;
    int progress;  // -1: no progress range set
  } cases[] = {
      {"a 50 KB page fills the bar", HttpReply::Page(std::string(50 * 1024, 'a')), normal, nullptr,
       kDone, 40},
      {"a short read ends the transfer", HttpReply::Page(std::string(1500, 'b'), 200, 300), normal,
       nullptr, kDone, 2},
      {"a page of whole reads ends with an empty one", HttpReply::Page(std::string(2048, 'c')),
       normal, nullptr, kDone, 3},
      {"an error page is not the forecast", HttpReply::Page("<HTML>Not Found</HTML>", 404), normal,
       nullptr, kNoPage, -1},
      {"a server that never answers", silentHead, quickStall, nullptr,
       u"応答が無いため中断しました", -1},
      {"a server that falls silent", silentBody, quickStall, nullptr, u"応答が無いため中断しました",
       1},
      {"cancel while the server sends nothing", silentBody, normal, kDownloading, u"中断されました",
       1},
      {"cancel before the answer", silentHead, normal, kRequesting, u"中断されました", -1},
      {"a page over the size cap", HttpReply::Page(std::string(200 << 10, 'd')), smallCap, nullptr,
       u"ファイルが大きすぎるため中断しました", 40},
      {"a connection that breaks off", brokenBody, normal, nullptr, kNoPage, 1},
  };
  for (const auto& c : cases) {
    LocalHttpServer server({c.reply});
    view_ = RecordingView{};
    DownloadSettings settings = Settings(server.Address("/p.html"));
    settings.limits = c.limits;
    int turns = 0;
    if (c.cancelWhile != nullptr)
      view_.onProcess = [&] {
        if (view_.last() == c.cancelWhile && ++turns == 5) {
          EXPECT_FALSE(download_->Cancel());
        }
      };
    download_ = std::make_unique<ForecastDownload>(view_, settings);
    const auto start = std::chrono::steady_clock::now();
    download_->Run();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << c.rule << ": ended by its rule";
    EXPECT_EQ(view_.last(), c.status) << c.rule;
    EXPECT_EQ(download_->succeeded(), c.status == kDone) << c.rule;
    EXPECT_EQ(view_.ended, c.status == kDone) << c.rule << ": only success ends the dialog";
    EXPECT_TRUE(download_->finished()) << c.rule;
    if (c.progress >= 0) {
      EXPECT_EQ(view_.high, 14) << c.rule;
      EXPECT_EQ(view_.position, c.progress) << c.rule;
    } else {
      EXPECT_EQ(view_.high, -1) << c.rule;
    }
    std::filesystem::remove(settings.tempFile);
  }
}

TEST_F(Download, ACancelPressedBeforeTheStartCounts) {
  LocalHttpServer server({HttpReply::Page("page")});
  ForecastDownload download(view_, Settings(server.Address("/x.html")));
  EXPECT_FALSE(download.Cancel()) << "not finished: the press is remembered";
  // A second press while the status line is being shown closes the dialog.
  bool closesAsTheStatusShows = false;
  view_.onProcess = [&] {
    if (view_.last() == u"中断されました") closesAsTheStatusShows = download.Cancel();
  };
  download.Run();
  EXPECT_TRUE(closesAsTheStatusShows);
  EXPECT_EQ(view_.statuses, std::vector<std::u16string>{u"中断されました"});
  EXPECT_TRUE(server.requests().empty());
  EXPECT_TRUE(download.Cancel()) << "now the dialog closes";
}

TEST_F(Download, RefusesUnusableAddresses) {
  const char* urls[] = {"http://www.soramoyo.example.jp/yoho/",
                        "ftp://h/x.html",
                        "http://h",
                        "http://h:0/x",
                        "http://h:65536/x",
                        "http://h:8x/x",
                        "http://:80/x",
                        "http://h/a b.html",
                        "",
                        "www.soramoyo.example.jp/yoho/tokyo.html"};
  for (const char* url : urls) {
    view_ = RecordingView{};
    Run(Settings(url));
    EXPECT_EQ(view_.statuses, std::vector<std::u16string>{u"URLが無効です"}) << url;
    EXPECT_TRUE(download_->finished()) << url;
    EXPECT_FALSE(download_->succeeded()) << url;
  }
}

TEST_F(Download, AddressesSplitIntoServerAndPath) {
  struct Case {
    const char16_t* url;
    ForecastAddress address;
  } cases[] = {
      {u"http://www.soramoyo.example.jp/yoho/tokyo.html",
       {"www.soramoyo.example.jp", 80, "/yoho/tokyo.html", false}},
      {u"https://tenki.example.jp/a/b?c=1", {"tenki.example.jp", 443, "/a/b?c=1", true}},
      {u"http://127.0.0.1:8080/x.html", {"127.0.0.1", 8080, "/x.html", false}},
      {u"https://h:8443/x", {"h", 8443, "/x", true}},
      {u"see http://h/x", {"h", 80, "/x", false}},
      {u"http://h/東京.html", {"h", 80, "/%E6%9D%B1%E4%BA%AC.html", false}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitForecastAddress(c.url), c.address) << platform::Utf16ToUtf8(c.url);
}

TEST_F(Download, FailsCleanlyWithoutAServer) {
  uint16_t port = 0;
  {
    LocalHttpServer gone({});
    port = gone.port();
  }
  Run(Settings("http://127.0.0.1:" + std::to_string(port) + "/x.html"));
  EXPECT_EQ(view_.last(), kNoPage);

  LocalHttpServer plain({HttpReply::Page("plain")});
  view_ = RecordingView{};
  Run(Settings("https://127.0.0.1:" + std::to_string(plain.port()) + "/x.html"));
  EXPECT_EQ(view_.statuses, (std::vector<std::u16string>{kConnecting, kRequesting, kNoPage}))
      << "https speaks TLS, which the plain server does not";

  LocalHttpServer server({HttpReply::Page("page")});
  view_ = RecordingView{};
  DownloadSettings settings = Settings(server.Address("/x.html"));
  settings.tempFile = host_.root() / "no such folder" / "tvk_tenki.tmp";
  Run(settings);
  EXPECT_EQ(view_.last(), u"一時ファイルを開けませんでした");
}

TEST_F(Download, DialsUpOnlyWhenAskedTo) {
  struct Case {
    const char* rule;
    int dialUse, dialCheck;
    const char16_t* dialName;
    int answer;  // to "…で接続しますか？"
    std::vector<std::u16string> active;
    bool dialAnswer;
    bool pageError;
    std::vector<std::u16string> messages;
    std::vector<std::string> calls;
    bool transferred;
  } cases[] = {
      // clang-format off
      {"no dialling", 0, 0, u"Office", platform::kIdOk, {}, true, false,
       {}, {}, true},
      {"no entry chosen", 1, 0, u"", platform::kIdOk, {}, true, false,
       {u"接続先を設定して下さい"}, {}, false},
      {"the user declines", 1, 0, u"Office", platform::kIdCancel, {}, true, false,
       {u"Officeで接続しますか？"}, {}, false},
      {"a connection is up already", 1, 0, u"Office", platform::kIdOk, {u"LAN"}, true, false,
       {u"Officeで接続しますか？"}, {"active"}, true},
      {"backquoted connections do not count", 1, 0, u"Office", platform::kIdOk, {u"x`y"}, true, false,
       {u"Officeで接続しますか？"}, {"active", "dial Office", "hang up Office"}, true},
      {"told not to check", 1, 1, u"Office", platform::kIdOk, {u"LAN"}, true, false,
       {u"Officeで接続しますか？"}, {"dial Office", "hang up Office"}, true},
      {"the dial fails", 1, 1, u"Office", platform::kIdOk, {}, false, false,
       {u"Officeで接続しますか？", u"ダイヤルアップに失敗しました。"}, {"dial Office"}, false},
      {"hung up after a failed transfer too", 1, 1, u"Office", platform::kIdOk, {}, true, true,
       {u"Officeで接続しますか？"}, {"dial Office", "hang up Office"}, true},
      // clang-format on
  };
  for (const auto& c : cases) {
    LocalHttpServer server({HttpReply::Page("page\n", c.pageError ? 500 : 200)});
    view_ = RecordingView{};
    MessageRecorder messages;
    messages.Answer(c.answer);
    dialUp_->calls.clear();
    dialUp_->active = c.active;
    dialUp_->dialAnswer = c.dialAnswer;
    DownloadSettings settings = Settings(server.Address("/x.html"));
    settings.dialUse = c.dialUse;
    settings.dialCheck = c.dialCheck;
    settings.dialName = c.dialName;
    Run(settings);
    EXPECT_EQ(messages.texts(), c.messages) << c.rule;
    EXPECT_EQ(dialUp_->calls, c.calls) << c.rule;
    EXPECT_EQ(server.requests().size(), c.transferred ? 1u : 0u) << c.rule;
    EXPECT_TRUE(download_->finished()) << c.rule;
    EXPECT_FALSE(download_->dialled()) << c.rule << ": nothing left dialled";
    const bool dialled = std::find(c.calls.begin(), c.calls.end(), "dial Office") != c.calls.end();
    const bool dialOk = dialled && c.dialAnswer;
    const auto has = [&](std::u16string_view status) {
      return std::find(view_.statuses.begin(), view_.statuses.end(), status) !=
             view_.statuses.end();
    };
    EXPECT_EQ(has(u"モデム接続中"), dialled) << c.rule;
    EXPECT_EQ(has(u"モデム切断中"), dialOk) << c.rule;
    if (dialOk && !c.pageError) {
      EXPECT_EQ(view_.statuses.end()[-2], kDone) << c.rule << ": hung up after the success";
    }
  }
}

}  // namespace
}  // namespace yk::tenki
