// key_config_model.h — what the key assignment dialogs do, without widgets.
//
// KeyConfigModel is the working copy of a Key table that the key assignment dialog (144)
// edits: the host's own table of six actions or the table a plugin returns from
// plg_keyconfig.  The copy is taken when the dialog opens; only OK writes the edited key
// codes back into the table that was passed in (labels and groups are never written), so
// Cancel leaves the table untouched.
//
// Rules of the list:
//   a line shows the label alone when the key is 0 or 1 ("no key" / "nothing captured"),
//   otherwise "label : code";
//   typing a code changes the selected entry only (two entries may then share a key);
//   a captured key moves to the selected entry: every entry holding the same code whose
//   group is the selected entry's group or 0 loses it first (entries of other non-zero
//   groups may share a key);
//   "解除" sets the selected entry's key to 0.
//
// KeyCapture is the key capture dialog (145): it takes the code of the first key released
// and asks to be closed, except for codes 134 and 135 (F23 and F24, which some devices
// send ahead of an application button): then it stays open and a later release replaces
// the code.  Closed without a key, it reports 1 ("nothing captured").
#pragma once

#include <string>
#include <vector>

#include "common/plugin_interface.h"

namespace yk {

inline constexpr char16_t kKeyConfigHelpText[] =
    u"動作にキーを割り当てる事が出来ます。自動取得を押した後、設定するキーを押してください。\n\n"
    u"アプリケーション起動ボタンやCtrl,Alt,Shiftとの組み合わせは使えません。キーを解除するには0に"
    u"設定して下さい。\n\nアプリ起動ボタンにYomitokiを割り当てている場合、このボタンは割り当て"
    u"られます。";

// The code the capture dialog reports when it was closed without a key.
inline constexpr int kNothingCaptured = 1;

struct KeyConfigEntry {
  std::u16string label;
  int key = 0;
  int group = 0;
};

class KeyConfigModel {
 public:
  // Copies the first `count` entries of `table`; a count outside 0..20 (a plugin's
  // garbage) is cut to the table's capacity.  The first entry is selected when there is
  // one.
  explicit KeyConfigModel(const KeyTable& table);

  int count() const { return int(entries_.size()); }
  const std::vector<KeyConfigEntry>& entries() const { return entries_; }

  // The line of entry i as the list shows it.
  std::u16string LineText(int i) const;
  std::vector<std::u16string> Lines() const;

  // The selected entry, -1 for none.  Select ignores an index outside the entries.
  int selected() const { return selected_; }
  void Select(int index);
  // The key of the selected entry (0 when none is selected).
  int SelectedKey() const;

  // The user typed a code into the edit: it becomes the selected entry's key.  The list
  // is marked for refreshing.
  void TypeKey(int key);

  // The capture dialog answered `code`: codes 0 and 1 change nothing (false); otherwise
  // the code moves to the selected entry as described above (true).
  bool AssignCaptured(int code);

  // "解除": the selected entry has no key any more.
  void ClearSelectedKey();

  // Whether the lines changed since the list was last rebuilt (ListRebuilt clears it).
  bool listNeedsRefresh() const { return listNeedsRefresh_; }
  void ListRebuilt() { listNeedsRefresh_ = false; }

  // OK: the edited codes go into `table`, entry by entry; nothing else is written.
  void WriteBack(KeyTable& table) const;

 private:
  std::vector<KeyConfigEntry> entries_;
  int selected_ = -1;
  bool listNeedsRefresh_ = false;
};

class KeyCapture {
 public:
  // A key was released; true when the dialog should close now.  A key without a code
  // (0) is not taken: the dialog waits for another.
  bool KeyReleased(int code);
  // The dialog closes: without a captured key the answer becomes kNothingCaptured.
  void Closed();

  int capturedKey() const { return capturedKey_; }
  bool captured() const { return captured_; }

 private:
  int capturedKey_ = 0;
  bool captured_ = false;
};

}  // namespace yk
