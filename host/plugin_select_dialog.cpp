#include "host/plugin_select_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {

PluginSelectDialog::PluginSelectDialog(HostContext* host, QWidget* parent)
    : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("133"));
  setWindowTitle(QStringLiteral("プラグインの選択"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("プラグインを選択して下さい"), this));
  list_ = platform::WithId(new QListWidget(this), kPluginList);
  list_->setSortingEnabled(false);
  layout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(this);
  auto* help = platform::WithId(new QPushButton(QStringLiteral("？")), kHelpButton);
  buttons->addButton(help, QDialogButtonBox::HelpRole);
  buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [] {
    platform::MessageBox(kPluginSelectHelpText, platform::kDefaultCaption,
                         platform::kMbOk | platform::kMbIconInformation);
  });

  if (host_ != nullptr) candidates_ = ScanPlugins(*host_);
  for (const PluginCandidate& candidate : candidates_) {
    list_->addItem(QString::fromStdU16String(candidate.name));
  }
  connect(list_, &QListWidget::currentRowChanged, this, &PluginSelectDialog::SelectionChanged);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  if (!candidates_.empty()) list_->setCurrentRow(0);
  list_->setFocus();
}

void PluginSelectDialog::SelectionChanged(int row) {
  if (row < 0 || row >= int(candidates_.size())) {
    selectedIndex_ = -1;
    selectedPath_.clear();
    return;
  }
  selectedIndex_ = row;
  selectedPath_ = candidates_[size_t(row)].path;
}

}  // namespace yk
