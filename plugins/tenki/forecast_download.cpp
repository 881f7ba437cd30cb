#include "plugins/tenki/forecast_download.h"

#include <algorithm>
#include <fstream>

#include "platform/dial_up.h"
#include "platform/message_box.h"
#include "plugins/tenki/forecast_address.h"

namespace yk::tenki {
namespace {

constexpr char16_t kNoDialEntry[] = u"接続先を設定して下さい";
constexpr char16_t kDialQuestion[] = u"で接続しますか？";
constexpr char16_t kDialFailed[] = u"ダイヤルアップに失敗しました。";
constexpr char16_t kDialling[] = u"モデム接続中";
constexpr char16_t kHangingUp[] = u"モデム切断中";
constexpr char16_t kBadAddress[] = u"URLが無効です";
constexpr char16_t kNoSession[] = u"接続に失敗しました";
constexpr char16_t kConnecting[] = u"接続中";
constexpr char16_t kNoServer[] = u"接続に失敗しました。";
constexpr char16_t kRequesting[] = u"接続中.";
constexpr char16_t kNoRequest[] = u"リクエストに失敗しました";
constexpr char16_t kNoPage[] = u"ファイル取得に失敗しました";
constexpr char16_t kGettingFile[] = u"ファイルを取得中";
constexpr char16_t kNoTempFile[] = u"一時ファイルを開けませんでした";
constexpr char16_t kDownloading[] = u"ダウンロード中";
constexpr char16_t kCancelled[] = u"中断されました";
constexpr char16_t kSucceeded[] = u"ファイル取得に成功しました";
constexpr char16_t kSilent[] = u"応答が無いため中断しました";
constexpr char16_t kTooLarge[] = u"ファイルが大きすぎるため中断しました";
constexpr char16_t kBackquote = u'`';
constexpr int kFirstErrorStatus = 400;

// The status line for a transfer that ended early.
std::u16string_view FailureStatus(platform::HttpFailure failure) {
  switch (failure) {
    case platform::HttpFailure::kCancelled:
      return kCancelled;
    case platform::HttpFailure::kTimedOut:
      return kSilent;
    case platform::HttpFailure::kTooLarge:
      return kTooLarge;
    default:
      return kNoPage;
  }
}

}  // namespace

void ForecastDownload::Run() {
  // A cancel pressed before the start (the dialog is up a moment before) still counts.
  finished_ = succeeded_ = false;
  progress_ = 0;
  if (!DialUpStep()) {
    finished_ = true;
    return;
  }
  if (cancelRequested_) {  // pressed before the start or while the dial was under way
    Fail(kCancelled);
    return;
  }
  Transfer();
}

bool ForecastDownload::Cancel() {
  if (finished_) return true;
  cancelRequested_ = true;
  return false;
}

void ForecastDownload::Status(std::u16string_view text) {
  view_.ShowStatus(text);
  view_.ProcessMessages();
}

bool ForecastDownload::DialUpStep() {
  if (settings_.dialUse == 0) return true;
  if (settings_.dialName.empty()) {
    platform::MessageBox(kNoDialEntry);
    return false;
  }
  if (platform::MessageBox(settings_.dialName + kDialQuestion, platform::kDefaultCaption,
                           platform::kMbOkCancel | platform::kMbIconQuestion) != platform::kIdOk)
    return false;
  if (settings_.dialCheck == 0) {
    for (const std::u16string& name : platform::DialUp().ActiveConnections())
      if (name.find(kBackquote) == std::u16string::npos) return true;
  }
  Status(kDialling);
  view_.ProcessMessages();
  if (!platform::DialWhileIdle(settings_.dialName, [this] { view_.ProcessMessages(); })) {
    platform::MessageBox(kDialFailed);
    return false;
  }
  connection_ = settings_.dialName;
  dialled_ = true;
  return true;
}

void ForecastDownload::HangUp() {
  if (settings_.dialUse == 0 || !dialled_) return;
  Status(kHangingUp);
  platform::DialUp().HangUp(connection_);
  connection_.clear();
  dialled_ = false;
}

void ForecastDownload::Fail(std::u16string_view status) {
  // Finished before anything more is shown: a "キャンセル" pressed while the hang-up or the
  // status line is on its way closes the dialog instead of asking a finished download to
  // stop.
  finished_ = true;
  HangUp();
  Status(status);
}

void ForecastDownload::Transfer() {
  const auto address = SplitForecastAddress(settings_.url);
  if (!address) return Fail(kBadAddress);
  platform::HttpSession http(kAgentName);
  if (!http.ok()) return Fail(kNoSession);
  http.SetLimits(settings_.limits);
  http.SetIdle([this] {
    view_.ProcessMessages();
    return !cancelRequested_;
  });
  Status(kConnecting);
  if (!http.Connect(address->host, address->port, address->secure)) return Fail(kNoServer);
  Status(kRequesting);
  if (!http.OpenRequest("GET", address->path)) return Fail(kNoRequest);
  if (!http.SendRequest()) {
    const bool cancelled = http.failure() == platform::HttpFailure::kCancelled;
    const bool silent = http.failure() == platform::HttpFailure::kTimedOut;
    return Fail(cancelled ? kCancelled : silent ? kSilent : kNoPage);
  }
  // An error page is not the forecast: it would only replace a good one with nothing.
  if (http.status() >= kFirstErrorStatus) return Fail(kNoPage);

  view_.SetProgressRange(0, kProgressRange);
  Status(kGettingFile);
  std::ofstream out(settings_.tempFile, std::ios::binary | std::ios::trunc);
  if (!out) return Fail(kNoTempFile);
  Status(kDownloading);
  char buffer[kReadBytes];
  std::string bytes;
  long got = 0;
  int reads = 0;
  do {
    view_.ProcessMessages();
    got = http.Read(buffer, sizeof buffer);
    view_.ProcessMessages();
    bytes.clear();
    for (long i = 0; i < got; ++i) {
      if (buffer[i] == '\n') bytes += '\r';
      bytes += buffer[i];
    }
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ++reads;
    progress_ = std::min(reads, kMaxProgress);
    view_.SetProgress(progress_);
  } while (got == long(sizeof buffer) && !cancelRequested_);
  out.close();

  if (cancelRequested_ || http.failure() == platform::HttpFailure::kCancelled)
    return Fail(kCancelled);
  if (got < 0) return Fail(FailureStatus(http.failure()));
  if (!out) return Fail(kNoPage);  // the disk refused the page
  http.Close();
  Status(kSucceeded);
  succeeded_ = true;
  HangUp();
  finished_ = true;
  view_.Succeed();
}

}  // namespace yk::tenki
