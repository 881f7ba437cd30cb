// date_picker_dialog.cpp — binds DatePicker to a QDialog: paints its picture and forwards
// the stylus in dialog client pixels.
#include "common/date_picker_dialog.h"

#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {

namespace {
constexpr std::u16string_view kNoMemory = u"メモリの確保に失敗しました";
}

DatePickerDialog::DatePickerDialog(HostContext* host, QWidget* parent)
    : QDialog(parent), host_(host) {
  setWindowTitle(QString::fromUtf16(u"日付"));
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 136, 175).size());

  auto* today =
      platform::WithId(new QPushButton(QString::fromUtf16(u"今日"), this), kTodayButtonId);
  today->setGeometry(DialogUnits(5, 5, 30, 15));
  today->setAutoDefault(false);
  caption_ = platform::WithId(new QLineEdit(this), kCaptionId);
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

  connect(today, &QPushButton::clicked, this, &DatePickerDialog::Today);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

DatePickerDialog::~DatePickerDialog() {
  picker_.Release();
}

void DatePickerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  raise();
  if (started_) return;
  started_ = true;
  picker_.year = year;
  picker_.month = month;
  picker_.day = day;
  picker_.yearLocked = yearLocked;
  DatePicker::Sources sources;
  if (host_ != nullptr) {
    sources.parts = PartsBuffer(*host_);
    sources.dataFolder = std::filesystem::path(std::u16string(host_->dataFolder));
    sources.holidays = &host_->holidays;
  }
  if (!picker_.Start(sources)) {
    platform::MessageBox(kNoMemory);
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    return;
  }
  Changed(true);
}

void DatePickerDialog::done(int result) {
  if (result == QDialog::Accepted && started_ && !picker_.released()) {
    year = picker_.year;
    month = picker_.month;
    day = picker_.day;
  }
  picker_.Release();
  QDialog::done(result);
}

void DatePickerDialog::Today() {
  if (picker_.released()) return;
  const platform::LocalTime now = platform::Now();
  picker_.SetToday(now.year, now.month, now.day);
  Changed(true);
}

void DatePickerDialog::Changed(bool repaint) {
  caption_->setText(QString::fromStdU16String(picker_.Caption()));
  if (repaint)
    update(DatePicker::kPictureLeft, DatePicker::kPictureTop, DatePicker::kPictureWidth,
           DatePicker::kImageHeight);
}

void DatePickerDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  const std::vector<uint8_t> picture = picker_.PictureTopDown();
  if (picture.empty()) return;
  const QImage image(picture.data(), DatePicker::kPictureWidth, DatePicker::kImageHeight,
                     DatePicker::kPictureWidth * 3, QImage::Format_BGR888);
  QPainter painter(this);
  painter.drawImage(DatePicker::kPictureLeft, DatePicker::kPictureTop, image);
}

void DatePickerDialog::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(picker_.StylusDown(p.x(), p.y()));
}

void DatePickerDialog::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(picker_.StylusMove(p.x(), p.y()));
}

void DatePickerDialog::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Changed(picker_.StylusUp(p.x(), p.y()));
}

}  // namespace yk
