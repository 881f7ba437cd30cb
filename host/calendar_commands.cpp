#include "host/calendar_commands.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>

#include "common/ical_exchange.h"
#include "common/ical_time.h"
#include "host/calendar_export_dialog.h"
#include "host/main_frame.h"
#include "host/program_folder.h"
#include "host/tavik_view.h"
#include "platform/message_box.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kImportCaption[] = u"iCalendarの読み込み";
constexpr char16_t kExportCaption[] = u"iCalendarへの書き出し";
constexpr char kFileFilter[] = "iCalendar (*.ics);;すべてのファイル (*)";

fs::path PathOf(const QString& name) {
  return fs::path(name.toStdString());
}

QString AskWithFileDialog(QWidget* parent, bool save) {
  const QString filter = QString::fromUtf8(kFileFilter);
  if (save) {
    return QFileDialog::getSaveFileName(parent, QString::fromStdU16String(kExportCaption),
                                        QDir::home().filePath(QStringLiteral("yomitoki.ics")),
                                        filter);
  }
  return QFileDialog::getOpenFileName(parent, QString::fromStdU16String(kImportCaption),
                                      QDir::homePath(), filter);
}

// The wait cursor while an import reads its file or writes its records (a large one takes
// some seconds); a message shown meanwhile has the ordinary cursor.
class BusyCursor {
 public:
  BusyCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    previous_ = platform::SetMessageBoxHandler(
        [this](std::u16string_view text, std::u16string_view caption, unsigned flags) {
          QGuiApplication::restoreOverrideCursor();
          const int answer = previous_ ? previous_(text, caption, flags) : int(platform::kIdOk);
          QGuiApplication::setOverrideCursor(Qt::WaitCursor);
          return answer;
        });
    if (!previous_) platform::SetMessageBoxHandler(nullptr);  // none to look after
  }
  ~BusyCursor() {
    platform::SetMessageBoxHandler(previous_);
    QGuiApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  platform::MessageBoxHandler previous_;
};

CalendarFileAsker& FileAsker() {
  static CalendarFileAsker asker = AskWithFileDialog;
  return asker;
}

void ImportCalendar(CTavikView& view, QWidget* parent) {
  HostSession& session = view.session();
  if (!session.ready()) return;
  const QString name = FileAsker()(parent, /*save=*/false);
  if (name.isEmpty()) return;
  HostContext& host = *session.host();
  const fs::path dataFolder = DataFolderPath(host);
  const CalendarImportPlan plan = [&] {
    BusyCursor busy;
    return PlanCalendarImportFile(PathOf(name), dataFolder, {SystemZoneName()});
  }();
  if (!plan.ok()) {
    platform::MessageBox(plan.error, kImportCaption, platform::kMbOk | platform::kMbIconWarning);
    return;
  }
  if (plan.records.empty()) {
    platform::MessageBox(ImportReportText(plan, /*done=*/true), kImportCaption,
                         platform::kMbOk | platform::kMbIconInformation);
    return;
  }
  if (platform::MessageBox(ImportReportText(plan, /*done=*/false) + u"\n\nよろしいですか？",
                           kImportCaption,
                           platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
    return;
  }
  // Through the shared cache, so that every plugin reads the files afresh.
  bool added = false;
  {
    BusyCursor busy;
    added = ApplyCalendarImport(plan, dataFolder, &host.schedules);
    session.DataRefresh();
  }
  platform::MessageBox(
      added ? ImportReportText(plan, /*done=*/true)
            : std::u16string(u"取り込みを中止しました。データは元のままです。"),
      kImportCaption,
      platform::kMbOk | (added ? platform::kMbIconInformation : platform::kMbIconWarning));
}

void ExportCalendarFile(CTavikView& view, QWidget* parent) {
  HostSession& session = view.session();
  if (!session.ready()) return;
  CalendarExportDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return;
  const QString name = FileAsker()(parent, /*save=*/true);
  if (name.isEmpty()) return;
  CalendarExportOptions options = dialog.options();
  options.zoneName = SystemZoneName();
  const CalendarExport result = ExportCalendar(DataFolderPath(*session.host()), options);
  if (!WriteCalendarFile(PathOf(name), result.text)) {
    platform::MessageBox(u"ファイルを書き込めませんでした", kExportCaption,
                         platform::kMbOk | platform::kMbIconWarning);
    return;
  }
  platform::MessageBox(ExportReportText(result), kExportCaption,
                       platform::kMbOk | platform::kMbIconInformation);
}

}  // namespace

CalendarFileAsker SetCalendarFileAsker(CalendarFileAsker asker) {
  CalendarFileAsker previous = std::move(FileAsker());
  FileAsker() = asker ? std::move(asker) : CalendarFileAsker(AskWithFileDialog);
  return previous;
}

void InstallCalendarCommands(CMainFrame& frame, CTavikView& view) {
  CTavikView* v = &view;
  QWidget* parent = &frame;
  frame.SetCommandHandler(kCommandCalendarImport, [v, parent] { ImportCalendar(*v, parent); });
  frame.SetCommandHandler(kCommandCalendarExport, [v, parent] { ExportCalendarFile(*v, parent); });
}

}  // namespace yk
