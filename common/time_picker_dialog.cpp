// time_picker_dialog.cpp — binds TimePicker to a QDialog: paints its picture and forwards
// the stylus in dialog client pixels.
#include "common/time_picker_dialog.h"

#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "common/date_picker_dialog.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {

namespace {
constexpr std::u16string_view kNoMemory = u"メモリの確保に失敗しました";
}

TimePickerDialog::TimePickerDialog(HostContext* host, TimePickerIds ids, QWidget* parent)
    : QDialog(parent), host_(host) {
  setWindowTitle(QString::fromUtf16(u"時間"));
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 136, 175).size());

  auto* now = platform::WithId(new QPushButton(QString::fromUtf16(u"現時刻"), this), ids.nowButton);
  now->setGeometry(DialogUnits(5, 5, 30, 15));
  now->setAutoDefault(false);
  caption_ = platform::WithId(new QLineEdit(this), ids.caption);
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

  connect(now, &QPushButton::clicked, this, &TimePickerDialog::Now);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TimePickerDialog::~TimePickerDialog() {
  picker_.Release();
}

void TimePickerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  raise();
  if (started_) return;
  started_ = true;
  picker_.startHour = startHour;
  picker_.startMinute = startMinute;
  picker_.endHour = endHour;
  picker_.endMinute = endMinute;
  const ConstPixelBuffer parts = host_ != nullptr ? PartsBuffer(*host_) : ConstPixelBuffer{};
  if (!picker_.Start(parts)) {
    platform::MessageBox(kNoMemory);
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    return;
  }
  Changed(true);
}

void TimePickerDialog::done(int result) {
  if (result == QDialog::Accepted && started_ && !picker_.released()) {
    startHour = picker_.startHour;
    startMinute = picker_.startMinute;
    endHour = picker_.endHour;
    endMinute = picker_.endMinute;
  }
  picker_.Release();
  QDialog::done(result);
}

void TimePickerDialog::Now() {
  if (picker_.released()) return;
  const platform::LocalTime now = platform::Now();
  picker_.SetNow(now.hour, now.minute);
  Changed(true);
}

void TimePickerDialog::Changed(bool repaint) {
  caption_->setText(QString::fromStdU16String(picker_.Caption()));
  if (repaint)
    update(TimePicker::kPictureLeft, TimePicker::kPictureTop, TimePicker::kPictureWidth,
           TimePicker::kImageHeight);
}

void TimePickerDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  const std::vector<uint8_t> picture = picker_.PictureTopDown();
  if (picture.empty()) return;
  const QImage image(picture.data(), TimePicker::kPictureWidth, TimePicker::kImageHeight,
                     TimePicker::kPictureWidth * 3, QImage::Format_BGR888);
  QPainter painter(this);
  painter.drawImage(TimePicker::kPictureLeft, TimePicker::kPictureTop, image);
}

void TimePickerDialog::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(picker_.StylusDown(p.x(), p.y()));
}

void TimePickerDialog::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(picker_.StylusMove(p.x(), p.y()));
}

void TimePickerDialog::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(picker_.StylusUp(p.x(), p.y()));
}

}  // namespace yk
