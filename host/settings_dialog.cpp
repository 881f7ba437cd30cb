#include "host/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "host/window_settings.h"
#include "platform/qt_data_exchange.h"

namespace yk {
namespace {

// An up-down control bound to an edit: its arrows step the edit's number within a range.
class UpDownControl : public QWidget {
 public:
  UpDownControl(QLineEdit* buddy, int min, int max, QWidget* parent)
      : QWidget(parent), buddy_(buddy), min_(min), max_(max) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
      b->setAutoRepeat(true);
      b->setFixedSize(18, 11);
      layout->addWidget(b);
    }
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
  }

 private:
  void Step(int delta) {
    bool ok = false;
    int value = buddy_->text().toInt(&ok);
    value = ok ? std::clamp(value + delta, min_, max_) : min_;
    buddy_->setText(QString::number(value));
  }

  QLineEdit* buddy_;
  int min_, max_;
};

}  // namespace

SettingsDialog::SettingsDialog(const WindowSettingsFields& fields, QWidget* parent)
    : QDialog(parent), fields_(fields) {
  setObjectName(QStringLiteral("135"));
  setWindowTitle(QStringLiteral("設定"));

  auto* windows = new QGroupBox(QStringLiteral("ｳｨﾝﾄﾞｳ"), this);
  auto* windowsLayout = new QGridLayout(windows);
  windowsLayout->addWidget(
      platform::WithId(new QCheckBox(QStringLiteral("ﾌｫｰｶｽされたｳｨﾝﾄﾞｳを最前面に")), kFocusCheck),
      0, 0, 1, 3);
  windowsLayout->addWidget(
      platform::WithId(new QCheckBox(QStringLiteral("ｳｨﾝﾄﾞｳを半透過表示する")), kTranslucentCheck),
      1, 0, 1, 3);
  windowsLayout->addWidget(new QLabel(QStringLiteral("ｳｨﾝﾄﾞｳｸﾞﾘｯﾄﾞ")), 2, 0);
  auto* grid = platform::WithId(new QLineEdit, kGridEdit);
  grid->setMaximumWidth(60);
  windowsLayout->addWidget(grid, 2, 1);
  windowsLayout->addWidget(
      platform::WithId(new UpDownControl(grid, kMinGridStep, kMaxGridStep, windows), kGridUpDown),
      2, 2);

  auto* plugin = new QGroupBox(QStringLiteral("ﾌﾟﾗｸﾞｲﾝ選択（窓左上のボタン）"), this);
  auto* pluginLayout = new QVBoxLayout(plugin);
  pluginLayout->addWidget(platform::WithId(
      new QRadioButton(QStringLiteral("ﾌﾟﾗｸﾞｲﾝ選択ｳｨﾝﾄﾞｳを開く")), kPluginDialogRadio));
  pluginLayout->addWidget(platform::WithId(
      new QRadioButton(QStringLiteral("次のﾌﾟﾗｸﾞｲﾝに切り替える")), kPluginNextRadio));

  // Each pixel of the view drawn as a square of 1, 2 or 3 screen pixels; automatic follows
  // the screen's density.
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(new QLabel(QStringLiteral("表示倍率")));
  auto* scale = platform::WithId(new QComboBox, kScaleList);
  scale->addItems(
      {QStringLiteral("自動"), QStringLiteral("1×"), QStringLiteral("2×"), QStringLiteral("3×")});
  scaleRow->addWidget(scale);
  scaleRow->addStretch();

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(windows);
  layout->addWidget(plugin);
  layout->addLayout(scaleRow);
  layout->addWidget(buttons);
  (void)Exchange(false);
}

bool SettingsDialog::Exchange(bool save) {
  platform::DataExchange dx(this,
                            save ? platform::DataExchange::kSave : platform::DataExchange::kLoad);
  WindowSettingsFields values = fields_;
  dx.Check(kFocusCheck, values.focusMode)
      .Check(kTranslucentCheck, values.translucent)
      .Int(kGridEdit, values.gridStep, kMinGridStep, kMaxGridStep)
      .Radio({kPluginDialogRadio, kPluginNextRadio}, values.pluginButton)
      .ComboIndex(kScaleList, values.scale);
  if (!dx.ok()) return false;
  if (save) fields_ = values;
  return true;
}

void SettingsDialog::accept() {
  if (Exchange(true)) QDialog::accept();
}

}  // namespace yk
