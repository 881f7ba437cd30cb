// tavik_app.h — the application object: one running copy, the profile under the company
// key, the main frame with its view, and an orderly end on SIGTERM / SIGINT (the settings
// and the window layout are saved as on "終了").
//
// The main window opens where it was and as large as it was (main_window_state.h), on a
// first start with a view of 800 x 600; the buffers are made for the available area of the
// screen it opens on, at the display scale.
#pragma once

#include <QObject>
#include <QSize>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"

class QSocketNotifier;

namespace platform {
class SingleInstance;
}

namespace yk {

class CMainFrame;
class CTavikView;

class CTavikApp : public QObject {
  Q_OBJECT

 public:
  struct Options {
    QSize clientSize{800, 600};  // the view's logical size when no window size is stored
    QSize availableArea;         // empty: the available area of the screen the window opens on
    std::u16string appFolder;    // empty: the folder of the executable
    bool singleInstance = true;  // tests that run several hosts in one process turn it off
  };

  // Runs on the frame and view once the view is ready, before the initial update: modules
  // added later enable their menu commands here (CMainFrame::SetCommandHandler, the
  // window manager's selectPlugin, ...).
  using Extension = std::function<void(CMainFrame&, CTavikView&)>;

  CTavikApp();
  ~CTavikApp() override;

  void AddExtension(Extension extension) { extensions_.push_back(std::move(extension)); }

  // Start-up.  False when the program must end now: another copy runs (it has been asked
  // to come to the front) or the host could not start (its message has been shown).
  [[nodiscard]] bool InitInstance(const Options& options);

  CMainFrame* frame() const { return frame_.get(); }
  CTavikView* view() const { return view_; }
  platform::Handle app() const { return app_; }

 private:
  void BringToFront();
  void WatchTerminationSignals();
  // A termination signal arrived: close any modal dialog, then the frame once the start is
  // complete and no dialog is open any more (a dialog may be running inside a plugin call).
  void CloseWhenIdle();

  std::vector<Extension> extensions_;
  std::unique_ptr<platform::SingleInstance> instance_;
  platform::Handle app_ = 0;
  std::unique_ptr<CMainFrame> frame_;
  CTavikView* view_ = nullptr;  // owned by the frame
  QSocketNotifier* signalNotifier_ = nullptr;
  bool started_ = false;
  bool closing_ = false;
};

}  // namespace yk
