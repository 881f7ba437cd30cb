#include "host/settings_commands.h"

#include "host/dialup_dialog.h"
#include "host/font_dialog.h"
#include "host/key_config_dialog.h"
#include "host/main_frame.h"
#include "host/management_tool.h"
#include "host/plugin_host.h"
#include "host/tavik_view.h"
#include "host/window_manager.h"
#include "platform/messages.h"

namespace yk {
namespace {

void EditHostKeys(HostSession& session, QWidget* parent) {
  WindowSettings settings = session.windows()->settings();
  KeyTable table;
  FillHostKeyTable(settings, table);
  bool accepted = false;
  {
    KeyConfigDialog dialog(table, parent);
    accepted = dialog.exec() == QDialog::Accepted;
  }
  if (accepted) {
    TakeHostKeys(table, settings);
    session.ApplyHostKeys(settings.keys);
  }
  ReleaseHostKeyTable(table);
}

void ChooseFont(HostSession& session, QWidget* parent) {
  FontDialog dialog(session.host()->fontName.get(), {}, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  session.ApplyFont(dialog.faceName());
}

void ChooseDialup(HostSession& session, QWidget* parent) {
  const HostContext& host = *session.host();
  DialupDialog dialog({host.dialName.get(), host.dialCheck}, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  session.ApplyDialup(dialog.fields().dialName, dialog.fields().dialCheck);
}

}  // namespace

void RegisterSettingsCommands(CMainFrame& frame, CTavikView& view) {
  CTavikView* v = &view;
  QWidget* parent = &frame;
  const platform::Handle frameWindow = frame.windowHandle();
  if (PluginHost* plugins = view.session().plugins()) {
    // The plugin's own table is edited in place: it sees its new codes at once.
    plugins->SetKeyAssignmentRunner([parent](KeyTable& table) {
      KeyConfigDialog dialog(table, parent);
      dialog.exec();
    });
  }
  auto whenReady = [v](void (*command)(HostSession&, QWidget*), QWidget* parent) {
    return [v, command, parent] {
      if (v->session().ready()) command(v->session(), parent);
    };
  };
  frame.SetCommandHandler(kCommandHostKeys, whenReady(EditHostKeys, parent));
  frame.SetCommandHandler(kCommandPluginKeys, [v] {
    if (v->session().ready()) v->session().plugins()->ConfigureActivePluginKeys();
  });
  frame.SetCommandHandler(kCommandFont, whenReady(ChooseFont, parent));
  frame.SetCommandHandler(kCommandDialupSettings, whenReady(ChooseDialup, parent));
  frame.SetCommandHandler(kCommandManagementTool, [v, frameWindow] {
    if (!v->session().ready()) return;
    const std::u16string appFolder(v->session().host()->appFolder);
    (void)RunManagementTool(appFolder, [frameWindow] {
      (void)platform::PostMessage(frameWindow, CMainFrame::kCloseMessage);
    });
  });
}

}  // namespace yk
