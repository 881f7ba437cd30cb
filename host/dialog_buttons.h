// dialog_buttons.h — the button row at the foot of the host's small dialogs: OK (control
// id 1, the default button) and "キャンセル" (id 2) at the right, wired to the dialog's
// accept() and reject(); buttons of the dialog's own (a "？") at the left.
#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <initializer_list>

namespace yk {

inline constexpr int kOkButtonId = 1;
inline constexpr int kCancelButtonId = 2;

QHBoxLayout* OkCancelRow(QDialog* dialog, std::initializer_list<QPushButton*> leftButtons = {});

}  // namespace yk
