// search_window.cpp — drawing the search window and answering its stylus and key.
#include "plugins/search/search_window.h"

#include "platform/message_box.h"

namespace yk::search {

std::filesystem::path HostFolder(const YkChar (&folder)[260]) {
  const std::u16string_view text(folder, std::size(folder));
  return std::filesystem::path(std::u16string(text.substr(0, text.find(u'\0'))));
}

int ReportOutcome(HostContext* host, const SearchOutcome& outcome, bool fromKey) {
  if (outcome.changed) {
    host->changeFlags = outcome.changeMask;
    host->changeYear = host->changeMonth = host->changeDay = host->changeExtra = 0;
  }
  if (outcome.move) {
    host->todayYear = outcome.move->year;
    host->todayMonth = outcome.move->month;
    host->todayDay = outcome.move->day;
    if (!outcome.changed) host->dateChangeMark = 0;
    return kRequestBroadcastDate;
  }
  if (outcome.changed) return fromKey ? kRequestBroadcastDate : kRequestBroadcastData;
  return kRequestNone;
}

SearchWindow::SearchWindow(HostContext* host, int slot, ConstPixelBuffer picture,
                           SearchWindowHooks* hooks)
    : host_(host), slot_(slot), picture_(picture), hooks_(hooks) {
  keys_.entries[0].label.set(kSearchKeyLabel);
  keys_.count = 1;
}

SearchWindow::~SearchWindow() {
  for (KeyEntry& entry : keys_.entries) entry.label.release();
}

void SearchWindow::LoadKeyCode(platform::Profile& profile) {
  keys_.entries[0].key = profile.GetInt(kProfileSection, u"key0", 0);
}

void SearchWindow::SaveKeyCode(platform::Profile& profile) const {
  (void)profile.WriteInt(kProfileSection, u"key0", keys_.entries[0].key);
}

void SearchWindow::Draw() {
  const PluginSlot& slot = host_->slots[slot_];
  const int w = slot.width;
  const int h = slot.height;
  const PixelBuffer window = SlotBuffer(*host_, slot_);
  FillWhite(window, 2, 20, w - 4, h - 22);

  const int halfWidth = (w - 4) / 2;
  const int halfHeight = (h - 22) / 2;
  const int x = halfWidth < 75 ? 2 : halfWidth - 73;
  const int y = halfHeight < 75 ? 20 : halfHeight - 55;
  const int copyWidth = w >= 154 ? kWindowPictureSide : w - 4;
  const int copyHeight = h >= 172 ? kWindowPictureSide : h - 22;
  CopyRop(window, x, y, copyWidth, copyHeight, picture_, kWindowPictureLeft, 0, kSrcCopy);

  CopyRop(window, 2, 20, kHelpGlyphSide, kHelpGlyphSide, picture_, 0, 0, kSrcCopy);
  Blend(window, 2, 20, kHelpGlyphSide, kHelpGlyphSide, PartsBuffer(*host_), kHelpBackgroundX,
        kHelpBackgroundY, kBlendMultiply);
}

int SearchWindow::Notify(int code) {
  if (code != kNotifyRedraw && code != kNotifyTick && code != kNotifyLiveResize) return 0;
  Draw();
  return kRequestRepaint;
}

int SearchWindow::MouseDoubleDown(int /*x*/, int /*y*/) {
  doubleTap_ = true;
  return kRequestNone;
}

int SearchWindow::MouseUp(int x, int y) {
  // The row of the help glyph opens no dialog: a release there explains the window (on
  // the glyph itself) and leaves a double tap pending.
  if (y > 20 && y < 40) {
    if (x < 20) {
      platform::MessageBox(kWindowHelp, platform::kDefaultCaption,
                           platform::kMbOk | platform::kMbIconInformation);
    }
    return kRequestNone;
  }
  if (!doubleTap_) return kRequestNone;
  doubleTap_ = false;
  return Search(false);
}

int SearchWindow::KeyUp(int key) {
  if (key == 0 || key != keys_.entries[0].key) return kRequestNone;
  return Search(true);
}

int SearchWindow::Search(bool fromKey) {
  if (hooks_ == nullptr) return kRequestNone;
  return ReportOutcome(host_, hooks_->RunSearchDialog(), fromKey);
}

}  // namespace yk::search
