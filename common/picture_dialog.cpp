// picture_dialog.cpp — the dialog frame, painting and stylus forwarding of the pickers.
#include "common/picture_dialog.h"

#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "common/dialog_parent.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {

namespace {
constexpr std::u16string_view kNoMemory = u"メモリの確保に失敗しました";
}

PictureDialog::PictureDialog(const Layout& layout, QWidget* parent)
    : QDialog(parent), picture_(layout.picture) {
  setWindowTitle(layout.title);
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 136, 175).size());

  action_ = platform::WithId(new QPushButton(layout.actionText, this), layout.actionId);
  action_->setGeometry(DialogUnits(5, 5, 30, 15));
  action_->setAutoDefault(false);
  caption_ = platform::WithId(new QLineEdit(this), layout.captionId);
  caption_->setGeometry(DialogUnits(40, 5, 90, 15));
  caption_->setReadOnly(true);
  caption_->setAlignment(Qt::AlignCenter);
  caption_->setFocusPolicy(Qt::NoFocus);

  auto* ok = platform::WithId(new QPushButton(QStringLiteral("OK"), this), 1);
  ok->setGeometry(DialogUnits(25, 155, 50, 14));
  ok->setDefault(true);
  auto* cancel = platform::WithId(new QPushButton(QString::fromUtf16(u"キャンセル"), this), 2);
  cancel->setGeometry(DialogUnits(80, 155, 50, 14));
  cancel->setAutoDefault(false);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PictureDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RaiseAndFocus(this);
  if (started_) return;
  started_ = true;
  if (!StartPicker()) {
    platform::MessageBox(kNoMemory);
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    return;
  }
  Changed(true);
}

void PictureDialog::Changed(bool repaint) {
  caption_->setText(QString::fromStdU16String(PickerCaption()));
  if (repaint) update(picture_);
}

void PictureDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  const std::vector<uint8_t> picture = PickerPicture();
  if (picture.empty() || picture.size() < size_t(picture_.width()) * picture_.height() * 3) return;
  const QImage image(picture.data(), picture_.width(), picture_.height(), picture_.width() * 3,
                     QImage::Format_BGR888);
  QPainter painter(this);
  painter.drawImage(picture_.topLeft(), image);
}

void PictureDialog::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(PickerStylusDown(p.x(), p.y()));
}

void PictureDialog::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(PickerStylusMove(p.x(), p.y()));
}

void PictureDialog::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(PickerStylusUp(p.x(), p.y()));
}

}  // namespace yk
