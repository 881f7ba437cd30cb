// calendar_commands.h — the host's commands for iCalendar files, in "データ(&D)" of the
// first menu:
//   32801 "iCalendarの読み込み(&I)..."  choose a file, see what it adds (and what it leaves
//                                       out, and why), confirm; then every window redraws
//   32802 "iCalendarへの書き出し(&E)..."  choose the days and the holidays, then the file
// The work is common/ical_exchange.h's; here are only the file dialogs and the messages.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace yk {

class CMainFrame;
class CTavikView;

void InstallCalendarCommands(CMainFrame& frame, CTavikView& view);

// How the commands ask for a file: the system's file dialog unless replaced.  Returns the
// chosen name, or an empty one when the user cancelled.  Tests replace it (the previous
// one is returned so that it can be put back).
using CalendarFileAsker = std::function<QString(QWidget* parent, bool save)>;
CalendarFileAsker SetCalendarFileAsker(CalendarFileAsker asker);

}  // namespace yk
