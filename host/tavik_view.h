// tavik_view.h — the host view: the widget that fills the main window, shows the
// composition buffer and hands stylus, keys, the request message 0x401 and the plugin
// timers to the host.  The host's life itself (buffers, settings, windows) is a
// HostSession; this class only binds it to Qt.
//
// The client area has a fixed size (800 x 600 unless given) for the whole run: every buffer
// of the Host context is allocated once for it at creation and never reallocated.
#pragma once

#include <QSize>
#include <QWidget>
#include <string>

#include "host/host_session.h"
#include "host/view_port.h"
#include "platform/messages.h"

namespace yk {

class CMainFrame;

inline constexpr QSize kDefaultClientSize(800, 600);

class CTavikView : public QWidget, public ViewPort, public platform::MessageTarget {
  Q_OBJECT

 public:
  // `appFolder` ends in '/'; `app` is the application object whose profile holds the
  // settings.
  CTavikView(QSize clientSize, std::u16string appFolder, platform::Handle app);
  ~CTavikView() override;

  // The creation handler: false when the Host context or a buffer could not be made or the
  // data file did not load (the message has been shown).
  [[nodiscard]] bool OnCreate();
  // The initial update, once the frame exists: false when creation had failed, and the
  // program must end without saving.  Registers the view's commands with the frame.
  [[nodiscard]] bool OnInitialUpdate(CMainFrame& frame);
  // The destruction handler: saves and releases everything; runs once.
  void OnDestroy();

  HostSession& session() { return session_; }
  platform::Handle windowHandle() const { return handle_; }
  QSize clientSize() const { return clientSize_; }

  // ViewPort
  void Present(int x, int y, int width, int height) override;
  void CaptureStylus() override;
  void ReleaseStylus() override;
  void StartTimer(int id, int milliseconds) override;
  void StopTimer(int id) override;

  // platform::MessageTarget: the request message and the plugin timers.
  void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(uint32_t id) override;

  // The commands this view carries out (the frame's handlers call these).
  void OnWindowSettings();
  void OnChooseTheme();
  void OnChooseWallpaper();
  void OnAbout();

  // How many times the composition buffer was presented (for the start-up benchmark).
  int presentCount() const { return presentCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void RegisterCommands(CMainFrame& frame);

  QSize clientSize_;
  std::u16string appFolder_;
  platform::Handle app_;
  platform::Handle handle_ = 0;
  HostSession session_;
  CMainFrame* frame_ = nullptr;
  int presentCount_ = 0;
};

}  // namespace yk
