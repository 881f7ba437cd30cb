// key_capture_dialog.h — the key capture dialog (template 145, "キー設定"): "設定するキーを
// 押してください"; the next key released is the answer (KeyCapture has the rules).
//
// Keys are taken on release, as the handheld's buttons report, and translated to the
// virtual-key codes that key tables store (platform/virtual_keys.h).  Every key press is
// swallowed: Escape and Enter are keys like any other here and do not close the dialog.
// A release counts only once the dialog has seen a key go down: the Enter that pressed
// "自動取得" is released inside this dialog and must not be taken for the answer.
#pragma once

#include <QDialog>

#include "host/key_config_model.h"

namespace yk {

class KeyCaptureDialog : public QDialog {
  Q_OBJECT

 public:
  explicit KeyCaptureDialog(QWidget* parent = nullptr);

  // The virtual-key code captured, or kNothingCaptured (1) when the dialog was closed
  // without one.  Valid after exec() returned.
  int capturedKey() const { return capture_.capturedKey(); }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  KeyCapture capture_;
  bool sawPress_ = false;
  bool closing_ = false;
};

}  // namespace yk
