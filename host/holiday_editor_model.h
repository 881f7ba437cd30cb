// holiday_editor_model.h — the holiday editor without widgets: the list of one year's
// entries (dialog 137) and the fields, control states and checks of one entry (dialog 139).
//
// HolidayListModel owns its own table of up to 200 entries, the shown year, the selected
// row and a modified flag (set by add, edit, move and delete; cleared by a save and by
// loading a year).  Its actions are the list dialog's buttons and show their questions and
// messages through platform::MessageBox; the entry dialog is run through a callback.
//
// Saving rewrites the year's file in one step, also when the list is empty (an empty file,
// so deleted holidays don't come back), and sets the views' table to reload.
//
// HolidayEntryFields are the entry dialog's controls as values; EntryFromFields checks them
// (days follow the Gregorian rule of the list's year, 31 with "毎月") and builds the entry,
// a day ticked "毎月" stored + 50.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/holiday.h"
#include "common/plugin_interface.h"

namespace yk {

// Texts of the holiday editor.
inline constexpr char16_t kHolidaySavedText[] = u"休日データを保存しました。";
inline constexpr char16_t kHolidaySaveFailedText[] =
    u"休日データファイルを作成する事が出来ませんでした";
inline constexpr char16_t kHolidaySaveQuestion[] = u"修正したデータを保存しますか？";
inline constexpr char16_t kHolidayLimitText[] = u"休日データは200件迄しか設定できません";
inline constexpr char16_t kHolidayNoSelectionText[] = u"編集する休日データを選択して下さい。";
inline constexpr char16_t kHolidayListHelpText[] =
    u"休日データは200件/年まで登録可能です。１日に重複する休日がある場合、"
    u"上の方にあるデータが表示されます。";
inline constexpr char16_t kHolidayEntryHelpText[] =
    u"毎月を選択すると毎月指定日もしくは指定月の間毎月指定日となります。";
inline constexpr char16_t kMonthInvalidText[] = u"月が無効です";
inline constexpr char16_t kDayInvalidText[] = u"日が無効です";
inline constexpr char16_t kStartMonthInvalidText[] = u"開始月が無効です";
inline constexpr char16_t kStartDayInvalidText[] = u"開始日が無効です";
inline constexpr char16_t kEndMonthInvalidText[] = u"終了月が無効です";
inline constexpr char16_t kEndDayInvalidText[] = u"終了日が無効です";
inline constexpr char16_t kEndBeforeStartText[] = u"終了日が開始日より前です";

inline constexpr int kMaxHolidayNameInput = 510;  // the name edit takes at most this many units

// ---- One entry (dialog 139) ------------------------------------------------------------------

enum class HolidayEntryMode { kNew, kEdit };
enum class HolidayKind : int { kOneDay = 0, kPeriod = 1 };  // "特定日" / "期間"

struct HolidayEntryFields {
  int colour = kHolidayRed;  // combo 1022: 0 "無し", 1 "赤", 2 "青", 3 "緑"
  std::u16string name;       // edit 1021
  HolidayKind kind = HolidayKind::kOneDay;
  bool dayEveryMonth = false;        // check 1028 ("特定日")
  int month = 1;                     // edit 1003
  int day = 1;                       // edit 1002
  bool periodEveryMonth = false;     // check 1029 ("期間")
  int startMonth = 1, startDay = 1;  // edits 1006, 1005
  int endMonth = 1, endDay = 1;      // edits 1009, 1008
  int weekdayIndex = 0;              // combo 1020: 0 "期間毎日", 1..7 Sunday..Saturday

  friend bool operator==(const HolidayEntryFields&, const HolidayEntryFields&) = default;
};

// The fields an entry shows in edit mode: a day above 50 ticks the matching "毎月" and shows
// day - 50; the group the entry does not use shows the new-mode values.
[[nodiscard]] HolidayEntryFields FieldsFromEntry(const HolidayEntry& entry);

// The result of the entry dialog's checks: the entry, or the message that refuses them.
struct HolidayEntryCheck {
  std::optional<HolidayEntry> entry;
  const char16_t* message = nullptr;
};
[[nodiscard]] HolidayEntryCheck EntryFromFields(const HolidayEntryFields& fields, int year);

// Which controls of dialog 139 are enabled: the radio choice enables its group and disables
// the other; with "特定日" and "毎月" the month edit is disabled too.  "修正" is disabled in
// new mode; "新規追加" in edit mode when the list already holds 200 entries.
struct HolidayEntryControls {
  bool oneDayGroup = true;     // 1028, 1002, 1017 (and 1003 unless ticked "毎月")
  bool monthEdit = true;       // 1003
  bool periodGroup = false;    // 1029, 1006, 1005, 1009, 1008, 1018, 1019, 1020
  bool replaceButton = false;  // 3 "修正"
  bool addButton = true;       // 1 "新規追加"
};
[[nodiscard]] HolidayEntryControls EntryControls(const HolidayEntryFields& fields,
                                                 HolidayEntryMode mode, int listCount);

// ---- The list (dialog 137) ---------------------------------------------------------------

// What the list asks of the entry dialog, and how it ended.
struct HolidayEntryRequest {
  HolidayEntryMode mode = HolidayEntryMode::kNew;
  HolidayEntry entry{};  // the entry to edit (edit mode)
  int listCount = 0;
  int year = 0;  // the list's year: the date picker's locked year and the month lengths
};
enum class HolidayEntryChoice { kCancel, kAdd, kReplace };
struct HolidayEntryOutcome {
  HolidayEntryChoice choice = HolidayEntryChoice::kCancel;
  HolidayEntry entry{};
};
using HolidayEntryRunner = std::function<HolidayEntryOutcome(const HolidayEntryRequest&)>;

class HolidayListModel {
 public:
  // `viewsTable` is the Host context's table; a save sets its loadedYear to 0.
  HolidayListModel(std::filesystem::path dataFolder, HolidayTable* viewsTable,
                   HolidayEntryRunner runEntry);
  ~HolidayListModel();

  // Allocates the table and loads `year`.  False when the table can't be allocated.
  [[nodiscard]] bool Open(int year);

  int year() const { return year_; }
  int count() const { return table_ ? table_->count : 0; }
  int selection() const { return selection_; }
  bool modified() const { return modified_; }
  const HolidayEntry& entry(int i) const { return table_->entries[i]; }
  // One line per entry in the list's display format.
  std::vector<std::u16string> Lines() const;

  void Select(int row);

  // The year combo changed: asks to save unsaved changes (Yes saves, No drops them), then
  // loads `year` from its file.  False (the year stays) when the save was asked and failed.
  bool ChangeYear(int year);

  void MoveUp();    // "↑"
  void MoveDown();  // "↓"
  void Add();       // "新規追加"
  void Edit();      // "編集"
  void Delete();    // "削除"
  // "保存": true when the file was written.
  bool Save();
  // "閉じる" (or any other way out): asks to save unsaved changes.  False when the save was
  // asked and failed: the dialog stays open so the changes are not lost.
  bool Close();
  void ShowHelp() const;  // "?"

 private:
  bool AskToSave();
  void Append(const HolidayEntry& entry);

  std::filesystem::path dataFolder_;
  HolidayTable* viewsTable_;
  HolidayEntryRunner runEntry_;
  std::unique_ptr<HolidayTable> table_;
  int year_ = 0;
  int selection_ = -1;
  bool modified_ = false;
};

}  // namespace yk
