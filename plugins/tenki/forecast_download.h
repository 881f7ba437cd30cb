// forecast_download.h — the download dialog's work (template 3009, "ダウンロード"), without
// widgets: the dial-up step, then one GET of the forecast page into plugin/tvk_tenki.tmp.
//
// Dial-up (the host's settings dialUse, dialName, dialCheck): without dialUse nothing is
// touched.  Otherwise an empty dialName gets "接続先を設定して下さい"; the user is asked
// "<dialName>で接続しますか？" (OK/Cancel); unless dialCheck is set, a connection that is up
// already (one whose name holds no '`') is used as it is; else "モデム接続中" and the entry
// is dialled ("ダイヤルアップに失敗しました。" when that fails).  Only a connection this
// download dialled is hung up again ("モデム切断中").
//
// Transfer, with its status texts: "URLが無効です" (see forecast_address.h), "接続に失敗しました"
// (no session), "接続中" / "接続に失敗しました。" (the server), "接続中." /
// "リクエストに失敗しました" (the request), "ファイル取得に失敗しました" (no answer, or an error
// page), then the progress range 0..14, "ファイルを取得中", the temporary file
// ("一時ファイルを開けませんでした"), "ダウンロード中": reads of kReadBytes bytes, every line feed
// written as CR LF, the progress position the number of reads (at most kMaxProgress), until a read
// comes back short or the user cancels.  Then "中断されました" (cancelled) or
// "ファイル取得に成功しました" (the whole page is stored; the dialog ends with OK).  A server that
// falls silent ends with "応答が無いため中断しました", a page past the size cap with
// "ファイルが大きすぎるため中断しました", a connection that breaks off with
// "ファイル取得に失敗しました": never as a success.
//
// The window keeps answering throughout: every wait on the network or the dial runs the
// view's ProcessMessages, and a cancel is seen there at once.  A failed or cancelled
// download leaves the dialog open with its status until the user presses "キャンセル".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/http_session.h"

namespace yk::tenki {

inline constexpr char kAgentName[] = "Zuzor Erezed";
inline constexpr size_t kReadBytes = 1024;
inline constexpr int kProgressRange = 14;
inline constexpr int kMaxProgress = 40;

// What the dialog shows.
class DownloadView {
 public:
  virtual ~DownloadView() = default;
  // Replaces the status line and shows it at once.
  virtual void ShowStatus(std::u16string_view text) = 0;
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgress(int position) = 0;
  // Lets the window handle what is pending (repaints, the cancel button).
  virtual void ProcessMessages() = 0;
  // Ends the dialog with OK.
  virtual void Succeed() = 0;
};

struct DownloadSettings {
  std::u16string url;
  std::filesystem::path tempFile;
  int dialUse = 0;
  int dialCheck = 0;
  std::u16string dialName;
  platform::HttpLimits limits;
};

class ForecastDownload {
 public:
  ForecastDownload(DownloadView& view, DownloadSettings settings)
      : view_(view), settings_(std::move(settings)) {}

  // The dialog's start: the dial-up step, then the transfer.
  void Run();

  // The dialog's "キャンセル": true when the dialog may close now (the download has
  // finished); otherwise the running transfer is told to stop.
  bool Cancel();

  bool finished() const { return finished_; }
  bool succeeded() const { return succeeded_; }
  bool dialled() const { return dialled_; }
  int progress() const { return progress_; }

 private:
  bool DialUpStep();
  void Transfer();
  void HangUp();
  void Fail(std::u16string_view status);
  void Status(std::u16string_view text);

  DownloadView& view_;
  DownloadSettings settings_;
  std::u16string connection_;  // the entry this download dialled
  bool dialled_ = false;
  bool finished_ = false;
  bool cancelRequested_ = false;
  bool succeeded_ = false;
  int progress_ = 0;
};

}  // namespace yk::tenki
