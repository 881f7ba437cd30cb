// yomitoki-ical: the organizer's schedules to and from iCalendar files, for scripts and
// backups.  It works on the data folder of the program folder it is installed in unless
// told otherwise:
//
//   yomitoki-ical [--data-folder DIR] import FILE.ics
//   yomitoki-ical [--data-folder DIR] export FILE.ics [--from YYYY-MM-DD] [--to YYYY-MM-DD]
//                 [--holidays]
//
// ("-" as the file of an export writes to standard output.)  What was done goes to
// standard output, errors to standard error.  Exit status: 0 done, 1 refused or failed
// (the data as they were), 2 a wrong command line.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_util.h"
#include "common/ical_exchange.h"
#include "common/ical_time.h"
#include "common/schedule_store.h"
#include "platform/text_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr char kUsage[] =
    "使い方:\n"
    "  yomitoki-ical [--data-folder DIR] import FILE.ics\n"
    "  yomitoki-ical [--data-folder DIR] export FILE.ics [--from YYYY-MM-DD] [--to YYYY-MM-DD]"
    " [--holidays]\n"
    "DIR を省くと、このプログラムのフォルダの data/ を使います。\n";

enum ExitCode { kDone = 0, kFailed = 1, kBadCommandLine = 2 };

void Print(std::FILE* stream, std::u16string_view text) {
  const std::string bytes = platform::Utf16ToUtf8(text);
  std::fprintf(stream, "%s\n", bytes.c_str());
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "%s\n%s", problem.c_str(), kUsage);
  return kBadCommandLine;
}

// The program folder's data/: beside the executable, as the organizer finds it.
fs::path DefaultDataFolder() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return (error ? fs::current_path(error) : self.parent_path()) / "data";
}

// "2004-05-07" → a valid date.
std::optional<yk::YearMonthDay> DateOf(std::string_view text) {
  int year = 0, month = 0, day = 0;
  char rest = 0;
  if (text.size() != 10 ||
      std::sscanf(std::string(text).c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3 ||
      text[4] != '-' || text[7] != '-' || !yk::IsValidDate(year, month, day)) {
    return std::nullopt;
  }
  return yk::YearMonthDay{year, month, day};
}

struct CommandLine {
  fs::path dataFolder;
  std::string command;
  fs::path file;
  yk::CalendarExportOptions exportOptions;
};

// Reads the command line; an error text when it can't be used.
std::string Parse(int argc, char** argv, CommandLine* line) {
  std::vector<std::string_view> words;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string_view text;
    if (arg == "--data-folder") {
      if (!value(&text) || text.empty()) return "--data-folder にフォルダを指定してください";
      line->dataFolder = fs::path(std::string(text));
    } else if (arg == "--from" || arg == "--to") {
      if (!value(&text)) return std::string(arg) + " に日付を指定してください";
      const std::optional<yk::YearMonthDay> date = DateOf(text);
      if (!date) return "日付は YYYY-MM-DD で指定してください: " + std::string(text);
      (arg == "--from" ? line->exportOptions.from : line->exportOptions.to) = *date;
    } else if (arg == "--holidays") {
      line->exportOptions.holidays = true;
    } else if (arg == "-h" || arg == "--help") {
      return "";
    } else if (arg.starts_with("--")) {
      return "知らないオプションです: " + std::string(arg);
    } else {
      words.push_back(arg);
    }
  }
  if (words.size() != 2 || (words[0] != "import" && words[0] != "export")) {
    return "import か export と、ファイルを1つ指定してください";
  }
  line->command = words[0];
  line->file = fs::path(std::string(words[1]));
  if (line->command == "import" && (line->exportOptions.holidays ||
                                    line->exportOptions.from != yk::CalendarExportOptions{}.from ||
                                    line->exportOptions.to != yk::CalendarExportOptions{}.to)) {
    return "--from, --to, --holidays は export のオプションです";
  }
  if (line->exportOptions.from > line->exportOptions.to) return "--from が --to より後です";
  return "ok";
}

int Import(const CommandLine& line) {
  const yk::CalendarImportPlan plan =
      yk::PlanCalendarImportFile(line.file, line.dataFolder, {yk::SystemZoneName()});
  if (!plan.ok()) {
    Print(stderr, plan.error + u": " + platform::Utf8ToUtf16(line.file.string()));
    return kFailed;
  }
  auto store = std::make_unique<ScheduleStore>();
  yk::ClearScheduleStore(store.get());
  if (!yk::ApplyCalendarImport(plan, line.dataFolder, store.get())) {
    Print(stderr, u"取り込みを中止しました。データは元のままです。");
    return kFailed;
  }
  Print(stdout, yk::ImportReportText(plan, /*done=*/true));
  return kDone;
}

int Export(const CommandLine& line) {
  yk::CalendarExportOptions options = line.exportOptions;
  options.zoneName = yk::SystemZoneName();
  const yk::CalendarExport result = yk::ExportCalendar(line.dataFolder, options);
  if (line.file == "-") {
    std::fwrite(result.text.data(), 1, result.text.size(), stdout);
    Print(stderr, yk::ExportReportText(result));
    return std::fflush(stdout) == 0 ? kDone : kFailed;
  }
  if (!yk::WriteCalendarFile(line.file, result.text)) {
    Print(stderr, u"ファイルを書き込めませんでした: " + platform::Utf8ToUtf16(line.file.string()));
    return kFailed;
  }
  Print(stdout, yk::ExportReportText(result));
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  const std::string problem = Parse(argc, argv, &line);
  if (problem.empty()) {
    std::fputs(kUsage, stdout);
    return kDone;
  }
  if (problem != "ok") return Usage(problem);
  if (line.dataFolder.empty()) line.dataFolder = DefaultDataFolder();
  std::error_code error;
  if (!fs::is_directory(line.dataFolder, error)) {
    std::fprintf(stderr, "データフォルダがありません: %s\n", line.dataFolder.c_str());
    return kFailed;
  }
  // The store's messages (a full day, a file it can't write) go to standard error.
  return line.command == "import" ? Import(line) : Export(line);
}
