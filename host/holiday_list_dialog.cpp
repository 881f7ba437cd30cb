#include "host/holiday_list_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <filesystem>

#include "common/date_util.h"
#include "common/host_folders.h"
#include "host/holiday_entry_dialog.h"
#include "platform/clock.h"
#include "platform/qt_data_exchange.h"

namespace yk {
namespace {

using platform::FindControl;
using platform::WithId;

}  // namespace

HolidayListDialog::HolidayListDialog(HostContext* host, QWidget* parent,
                                     HolidayEntryRunner runEntry)
    : QDialog(parent),
      host_(host),
      model_(host != nullptr ? DataFolderPath(*host) : std::filesystem::path(),
             host ? &host->holidays : nullptr,
             runEntry ? std::move(runEntry)
                      : HolidayEntryRunner([this](const HolidayEntryRequest& request) {
                          return HolidayEntryDialog::Run(request, host_, this);
                        })) {
  setObjectName(QStringLiteral("137"));
  setWindowTitle(QStringLiteral("休日データ"));

  auto* layout = new QGridLayout(this);
  auto* year = WithId(new QComboBox, kYearCombo);
  for (int y = kFirstYear; y <= kLastYear; ++y) year->addItem(QStringLiteral("%1年").arg(y));
  layout->addWidget(year, 0, 0, 1, 2);
  auto* help = WithId(new QPushButton(QStringLiteral("?")), kHelpButton);
  layout->addWidget(help, 0, 3);
  auto* list = WithId(new QListWidget, kListBox);
  list->setSortingEnabled(false);
  list->setMinimumSize(320, 200);
  layout->addWidget(list, 1, 0, 1, 4);

  struct Button {
    int id;
    const char* text;
    int row, column;
  };
  const Button buttons[] = {
      {kUpButton, "↑", 2, 0},         {kDownButton, "↓", 2, 1},      {kAddButton, "新規追加", 3, 0},
      {kEditButton, "編集", 3, 1},    {kDeleteButton, "削除", 3, 2}, {kSaveButton, "保存", 4, 0},
      {kCloseButton, "閉じる", 4, 3},
  };
  for (const Button& b : buttons) {
    auto* button = WithId(new QPushButton(QString::fromUtf8(b.text)), b.id);
    button->setAutoDefault(false);
    layout->addWidget(button, b.row, b.column);
  }

  auto run = [this](int id, auto action) {
    connect(FindControl<QPushButton>(this, id), &QPushButton::clicked, this, [this, action] {
      action();
      Refill();
    });
  };
  run(kUpButton, [this] { model_.MoveUp(); });
  run(kDownButton, [this] { model_.MoveDown(); });
  run(kAddButton, [this] { model_.Add(); });
  run(kEditButton, [this] { model_.Edit(); });
  run(kDeleteButton, [this] { model_.Delete(); });
  run(kSaveButton, [this] { (void)model_.Save(); });
  connect(help, &QPushButton::clicked, this, [this] { model_.ShowHelp(); });
  connect(FindControl<QPushButton>(this, kCloseButton), &QPushButton::clicked, this,
          &QDialog::accept);
  connect(list, &QListWidget::currentRowChanged, this, [this](int row) { model_.Select(row); });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] {
    model_.Edit();
    Refill();
  });

  const int current = std::clamp(platform::Now().year, kFirstYear, kLastYear);
  opened_ = model_.Open(current);
  {
    const QSignalBlocker block(year);
    year->setCurrentIndex(current - kFirstYear);
  }
  connect(year, &QComboBox::currentIndexChanged, this, &HolidayListDialog::YearChosen);
  Refill();
  // Without its table the dialog cannot work: it closes itself once it runs.
  if (!opened_) QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void HolidayListDialog::Refill() {
  auto* list = FindControl<QListWidget>(this, kListBox);
  const QSignalBlocker block(list);
  list->clear();
  for (const std::u16string& line : model_.Lines()) {
    list->addItem(QString::fromStdU16String(line));
  }
  list->setCurrentRow(model_.selection());
}

void HolidayListDialog::YearChosen(int index) {
  if (!model_.ChangeYear(kFirstYear + index)) {
    // The changes could not be saved: stay on the year they belong to.
    auto* year = FindControl<QComboBox>(this, kYearCombo);
    const QSignalBlocker block(year);
    year->setCurrentIndex(model_.year() - kFirstYear);
    return;
  }
  Refill();
}

void HolidayListDialog::done(int result) {
  if (opened_ && !model_.Close()) return;
  opened_ = false;
  QDialog::done(result);
}

}  // namespace yk
