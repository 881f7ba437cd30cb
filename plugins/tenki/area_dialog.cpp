#include "plugins/tenki/area_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/dialog_parent.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"
#include "platform/qt_text.h"

namespace yk::tenki {
namespace {

constexpr char16_t kNoListFile[] = u"設定ファイルが見つかりません";

}  // namespace

AreaDialog::AreaDialog(const std::filesystem::path& listFile, int area, int city, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("3008"));
  setWindowTitle(QStringLiteral("天気地域の設定"));
  areas_ = platform::WithId(new QComboBox, kAreaCombo);
  cities_ = platform::WithId(new QListWidget, kCityList);
  cities_->setMinimumHeight(160);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok =
      platform::WithId(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), kOk);
  ok->setDefault(true);
  platform::WithId(buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole),
                   kCancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &AreaDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AreaDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("地域"), areas_);
  form->addRow(QStringLiteral("都市"), cities_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  if (!choice_.Open(listFile)) platform::MessageBox(kNoListFile);
  choice_.Start(area, city);
  for (const std::u16string& name : choice_.AreaNames()) areas_->addItem(platform::ToQString(name));
  areas_->setCurrentIndex(choice_.area());
  FillCities();
  cities_->setCurrentRow(choice_.city());

  connect(areas_, &QComboBox::currentIndexChanged, this, [this](int index) {
    choice_.SelectArea(index);
    FillCities();
    cities_->setCurrentRow(choice_.city());
  });
  connect(cities_, &QListWidget::currentRowChanged, this,
          [this](int row) { choice_.SelectCity(row); });
  connect(cities_, &QListWidget::itemDoubleClicked, this, &AreaDialog::accept);
}

void AreaDialog::FillCities() {
  const QSignalBlocker quiet(cities_);
  cities_->clear();
  for (const std::u16string& name : choice_.CityNames())
    cities_->addItem(platform::ToQString(name));
}

void AreaDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RaiseAndFocus(this);
}

AreaSelection AreaDialog::selection() const {
  return {choice_.area(), choice_.city(), choice_.label(), choice_.url()};
}

std::optional<AreaSelection> RunAreaDialog(const std::filesystem::path& listFile, int area,
                                           int city, QWidget* parent) {
  AreaDialog dialog(listFile, area, city, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selection();
}

}  // namespace yk::tenki
