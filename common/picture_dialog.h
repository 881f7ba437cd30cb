// picture_dialog.h — what the date and time picker dialogs share: a dialog with an
// action button ("今日" / "現時刻"), a read-only caption, OK and キャンセル, and a
// picker's picture painted at its place.
//
// A subclass owns the picker and answers the hooks: its caption, its picture as top-down
// rows and its stylus rules.  The dialog paints the picture, forwards the stylus in
// dialog client pixels and refreshes the caption after every event.  The picker is
// started on the first show; when that fails the user is told and the dialog cancels.
#pragma once

#include <QDialog>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace yk {

// The pickers' and the edit dialog's layouts are given in dialog units of their 9-point
// font; this is their size in pixels here (the pictures keep their pixel sizes).
inline QRect DialogUnits(int x, int y, int w, int h) {
  return QRect(x * 17 / 10, y * 3 / 2, w * 17 / 10, h * 3 / 2);
}

class PictureDialog : public QDialog {
  Q_OBJECT

 public:
  // The texts and control ids of the dialog's own parts, and where the picture lies in
  // dialog client pixels.
  struct Layout {
    QString title;
    QString actionText;
    int actionId = 0;
    int captionId = 0;
    QRect picture;
  };

  PictureDialog(const Layout& layout, QWidget* parent);

 protected:
  // Starts the picker from the dialog's values; false when its picture can't be allocated.
  virtual bool StartPicker() = 0;
  virtual std::u16string PickerCaption() const = 0;
  // The shown picture as top-down rows of width × 3 bytes; empty when there is none.
  virtual std::vector<uint8_t> PickerPicture() const = 0;
  // Stylus events in dialog client pixels; each returns true when the picture changed.
  virtual bool PickerStylusDown(int x, int y) = 0;
  virtual bool PickerStylusMove(int x, int y) = 0;
  virtual bool PickerStylusUp(int x, int y) = 0;

  QPushButton* actionButton() const { return action_; }
  // True once the picker has been started (or tried to).
  bool started() const { return started_; }

  // Shows the caption again and, when `repaint`, paints the picture again.
  void Changed(bool repaint);

  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QRect picture_;
  QPushButton* action_;
  QLineEdit* caption_;
  bool started_ = false;
};

// A picture dialog over one picker (DatePicker, TimePicker): answers the hooks from the
// picker, releases it on close, and copies the picker's values back only on an accept of
// a dialog whose picker is still running.
template <typename Picker>
class PickerDialog : public PictureDialog {
 public:
  using PictureDialog::PictureDialog;
  ~PickerDialog() override { picker_.Release(); }

  // The logic behind the picture (for tests).
  const Picker& picker() const { return picker_; }

  void done(int result) override {
    if (result == QDialog::Accepted && started() && !picker_.released()) TakeValues();
    picker_.Release();
    QDialog::done(result);
  }

 protected:
  // Copies the picker's values into the dialog's.
  virtual void TakeValues() = 0;

  std::u16string PickerCaption() const override { return picker_.Caption(); }
  std::vector<uint8_t> PickerPicture() const override { return picker_.PictureTopDown(); }
  bool PickerStylusDown(int x, int y) override { return picker_.StylusDown(x, y); }
  bool PickerStylusMove(int x, int y) override { return picker_.StylusMove(x, y); }
  bool PickerStylusUp(int x, int y) override { return picker_.StylusUp(x, y); }

  Picker picker_;
};

}  // namespace yk
