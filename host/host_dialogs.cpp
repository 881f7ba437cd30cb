#include "host/host_dialogs.h"

#include "host/calendar_commands.h"
#include "host/holiday_list_dialog.h"
#include "host/main_frame.h"
#include "host/plugin_host.h"
#include "host/plugin_select_dialog.h"
#include "host/plugin_selection.h"
#include "host/tavik_view.h"
#include "host/window_manager.h"

namespace yk {
namespace {

// The session's objects live from the view's creation to its destruction; the selection
// object is made per command so it never outlives them.
PluginSelection SelectionOf(CTavikView& view, QWidget* dialogParent) {
  HostSession& session = view.session();
  return PluginSelection(*session.host(), *session.plugins(), *session.windows(),
                         [dialogParent](HostContext& host) {
                           PluginSelectDialog dialog(&host, dialogParent);
                           PluginChoice choice;
                           choice.accepted = dialog.exec() == QDialog::Accepted;
                           choice.index = dialog.selectedIndex();
                           choice.path = dialog.selectedPath();
                           return choice;
                         });
}

}  // namespace

void InstallHostDialogs(CMainFrame& frame, CTavikView& view) {
  CTavikView* v = &view;
  QWidget* parent = &frame;
  if (WindowManager* windows = view.session().windows()) {
    windows->selectPlugin = [v, parent](int position, int mode) {
      if (v->session().ready()) SelectionOf(*v, parent).SelectPlugin(position, mode);
    };
  }
  frame.SetCommandHandler(kCommandPluginSelect, [v, parent] {
    if (!v->session().ready()) return;
    SelectionOf(*v, parent).SelectPlugin(v->session().host()->active, 0);
  });
  for (const QuickPlugin& quick : kQuickPlugins) {
    const int command = quick.command;
    frame.SetCommandHandler(command, [v, parent, command] {
      if (v->session().ready()) (void)SelectionOf(*v, parent).RunQuickCommand(command);
    });
  }
  frame.SetCommandHandler(kCommandHolidays, [v, parent] {
    if (!v->session().ready()) return;
    {
      HolidayListDialog dialog(v->session().host(), parent);
      dialog.exec();
    }
    // However the list was left, the views redraw with the holidays as they now stand.
    v->session().plugins()->BroadcastNotify(kNotifyDateChanged);
  });
  InstallCalendarCommands(frame, view);
}

}  // namespace yk
