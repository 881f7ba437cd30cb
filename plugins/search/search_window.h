// search_window.h — the search plugin's window: its picture, its stylus and key, and what
// it tells the host after the search dialog.
//
// The window shows a fixed picture (tvk_search.dat, 170 x 150) and a help glyph at its
// top-left corner.  A double tap released below the glyph's row, or the one key of its
// key table ("検索する"), opens the search dialog; a tap on the glyph explains that.
// Every answer is a request code: 0 nothing, 1 redrawn, 4 the shared date moved (or, from
// a key, data changed), 6 data changed.
//
// The dialog itself needs the GUI; it is reached through SearchWindowHooks, which tests
// replace.
#pragma once

#include <filesystem>
#include <string_view>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "platform/profile.h"
#include "plugins/search/search_dialog_model.h"

namespace yk::search {

// tvk_search.dat is copied into a picture of 176 x 152 (its own 170 x 150 at the top
// left); the window draws two regions of it.
inline constexpr int kPictureWidth = 176;
inline constexpr int kPictureHeight = 152;
inline constexpr int kPictureFileWidth = 170;
inline constexpr int kPictureFileHeight = 150;
inline constexpr int kWindowPictureLeft = 20;  // the window's picture: 150 x 150 at (20, 0)
inline constexpr int kWindowPictureSide = 150;
inline constexpr int kHelpGlyphSide = 20;     // the help glyph: 20 x 20 at (0, 0)
inline constexpr int kHelpBackgroundX = 160;  // its button background on the parts sheet
inline constexpr int kHelpBackgroundY = 340;

inline constexpr char16_t kProfileSection[] = u"plugin_tavik_search";
inline constexpr std::u16string_view kPluginName = u"検索・置換え屋";
inline constexpr std::u16string_view kSearchKeyLabel = u"検索する";
inline constexpr std::u16string_view kWindowHelp =
    u"スケジュールとメモの文字列の検索や置換えを行います。\nダブルクリックして下さい。";

class SearchWindowHooks {
 public:
  virtual ~SearchWindowHooks() = default;
  // Runs the search dialog modally and says what it ended with.
  virtual SearchOutcome RunSearchDialog() = 0;
};

// A folder of the Host context (appFolder, dataFolder) as a path: the text up to its first
// NUL, never past the field's 260 units.
[[nodiscard]] std::filesystem::path HostFolder(const YkChar (&folder)[260]);

// Writes what the dialog ended with into the Host context and returns the request: after
// a change and a move 4; after a change alone 6 from the stylus, 4 from a key; after a
// move alone 4 (with dateChangeMark 0); otherwise 0.  The change words name any day (0).
int ReportOutcome(HostContext* host, const SearchOutcome& outcome, bool fromKey);

class SearchWindow {
 public:
  // `picture` is the 176 x 152 picture; it must outlive the window.
  SearchWindow(HostContext* host, int slot, ConstPixelBuffer picture, SearchWindowHooks* hooks);
  ~SearchWindow();
  SearchWindow(const SearchWindow&) = delete;
  SearchWindow& operator=(const SearchWindow&) = delete;

  int Notify(int code);
  int MouseDoubleDown(int x, int y);
  int MouseUp(int x, int y);
  int KeyUp(int key);
  KeyTable* keys() { return &keys_; }

  // The key code of "検索する" from / into the profile ("key0", default 0).
  void LoadKeyCode(platform::Profile& profile);
  void SaveKeyCode(platform::Profile& profile) const;

  void Draw();
  bool doubleTapPending() const { return doubleTap_; }

 private:
  int Search(bool fromKey);

  HostContext* host_;
  int slot_;
  ConstPixelBuffer picture_;
  SearchWindowHooks* hooks_;
  bool doubleTap_ = false;
  KeyTable keys_{};
};

}  // namespace yk::search
