// modal_watchdog.h — for tests that expect a modal dialog to close by itself (the download
// dialog after a successful download): if one is still open after `patience`, it is
// rejected (again and again, as a user pressing "キャンセル" until it goes), so a download
// that failed makes the test fail instead of hanging it.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>

namespace yk::tenki::testing {

class ModalWatchdog {
 public:
  explicit ModalWatchdog(std::chrono::milliseconds patience = std::chrono::seconds(60)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      timer_.setInterval(100);
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        fired_ = true;
        dialog->reject();
      }
    });
    timer_.start(int(patience.count()));
  }
  // True when a dialog had to be closed.
  bool fired() const { return fired_; }

 private:
  QTimer timer_;
  bool fired_ = false;
};

}  // namespace yk::tenki::testing
