// modal_driver.h — drives a modal dialog from inside its own modal loop, as a user would
// once it is on the screen.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace yk::testing {

// Runs `drive` on the next modal dialog as soon as it is open — with an id, only on the
// dialog of that template number (objectName), so a dialog the driven one opens in turn
// can have a driver of its own.  A dialog that `drive` left open is rejected afterwards,
// so a failed expectation never hangs the run.  ran() tells whether a dialog was seen.
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(QDialog*)> drive) : ModalDriver("", std::move(drive)) {}
  ModalDriver(const char* id, std::function<void(QDialog*)> drive)
      : id_(QString::fromUtf8(id)), drive_(std::move(drive)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      if (!id_.isEmpty() && dialog->objectName() != id_) return;
      poll_.stop();
      ran_ = true;
      drive_(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    poll_.start(0);
  }
  bool ran() const { return ran_; }

 private:
  QString id_;
  std::function<void(QDialog*)> drive_;
  QTimer poll_;
  bool ran_ = false;
};

}  // namespace yk::testing
