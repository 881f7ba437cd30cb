// The search window: what it tells the host after the dialog, its stylus and key, and
// its drawing.
#include "plugins/search/search_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/handles.h"
#include "platform/testing/message_recorder.h"

namespace yk::search {
namespace {

using platform::testing::MessageRecorder;

class ScriptedDialog : public SearchWindowHooks {
 public:
  SearchOutcome RunSearchDialog() override {
    ++runs;
    return outcome;
  }
  SearchOutcome outcome;
  int runs = 0;
};

class SearchWindowTest : public ::testing::Test {
 protected:
  static constexpr int kSlot = 2;

  void SetUp() override {
    host_->bufferWidth = 320;
    host_->bufferHeight = 240;
    host_->bufferBytes = 320 * 240 * 3;
    host_->partsBytes = kPartsBytes;
    bitmaps_.push_back(platform::CreateSurfaceBitmap(kPartsWidth, kPartsHeight, &host_->partsBits));
    bitmaps_.push_back(platform::CreateSurfaceBitmap(320, 240, &host_->slots[kSlot].bits));
    host_->slots[kSlot].width = 200;
    host_->slots[kSlot].height = 200;
    window_ = std::make_unique<SearchWindow>(host_.get(), kSlot, Picture(), &dialog_);
  }
  void TearDown() override {
    window_.reset();
    for (platform::Handle bitmap : bitmaps_) platform::DeleteBitmap(bitmap);
  }

  // Each pixel of the picture tells where it came from: blue = column, green = row.
  PixelBuffer Picture() {
    picture_.resize(std::size_t(kPictureWidth) * kPictureHeight * 3);
    const PixelBuffer buffer{picture_.data(), kPictureWidth, kPictureHeight, int(picture_.size())};
    for (int y = 0; y < kPictureHeight; ++y)
      for (int x = 0; x < kPictureWidth; ++x) {
        uint8_t* p =
            &picture_[(std::size_t(x) + std::size_t(kPictureWidth) * (kPictureHeight - 1 - y)) * 3];
        p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 7;
      }
    return buffer;
  }
  const uint8_t* WindowPixel(int x, int y) {
    const PixelBuffer window = SlotBuffer(*host_, kSlot);
    return window.bits + (std::size_t(x) + std::size_t(window.width) * (window.height - 1 - y)) * 3;
  }

  std::unique_ptr<HostContext> host_ = std::make_unique<HostContext>();
  std::vector<platform::Handle> bitmaps_;
  std::vector<uint8_t> picture_;
  ScriptedDialog dialog_;
  std::unique_ptr<SearchWindow> window_;
  MessageRecorder recorder_;
};

TEST_F(SearchWindowTest, TheOutcomeIsWrittenAndAnsweredAsTheHostExpects) {
  const YearMonthDay day{2004, 6, 1};
  const struct {
    const char* rule;
    SearchOutcome outcome;
    int mouse, key;
    int changeFlags;
    YearMonthDay today;
    int dateChangeMark;
  } cases[] = {
      {"changed and moved", {true, kChangeSchedules, day}, 4, 4, kChangeSchedules, day, 9},
      {"changed only", {true, kChangeDiaryMemos | kChangeSchedules, {}}, 6, 4, 33, {2004, 5, 7}, 9},
      {"moved only", {false, 0, day}, 4, 4, 99, day, 0},
      {"neither", {}, 0, 0, 99, {2004, 5, 7}, 9},
  };
  for (const auto& c : cases) {
    for (bool fromKey : {false, true}) {
      HostContext& h = *host_;
      h.changeFlags = 99, h.changeYear = 1, h.changeMonth = 2, h.changeDay = 3, h.changeExtra = 4;
      h.todayYear = 2004, h.todayMonth = 5, h.todayDay = 7, h.dateChangeMark = 9;
      EXPECT_EQ(ReportOutcome(&h, c.outcome, fromKey), fromKey ? c.key : c.mouse) << c.rule;
      EXPECT_EQ(h.changeFlags, c.changeFlags) << c.rule;
      const int words = c.outcome.changed ? 0 : 1;
      EXPECT_EQ(h.changeYear, words * 1) << c.rule;
      EXPECT_EQ(h.changeExtra, words * 4) << c.rule;
      EXPECT_EQ((YearMonthDay{h.todayYear, h.todayMonth, h.todayDay}), c.today) << c.rule;
      EXPECT_EQ(h.dateChangeMark, c.dateChangeMark) << c.rule;
    }
  }
}

TEST_F(SearchWindowTest, ADoubleTapOrTheKeyOpensTheDialogAndTheGlyphExplains) {
  dialog_.outcome = {true, kChangeSchedules, YearMonthDay{2004, 6, 1}};
  EXPECT_EQ(window_->MouseUp(100, 100), kRequestNone) << "a single tap";
  EXPECT_EQ(dialog_.runs, 0);

  EXPECT_EQ(window_->MouseDoubleDown(100, 100), kRequestNone);
  EXPECT_EQ(window_->MouseUp(10, 30), kRequestNone) << "released on the help glyph";
  EXPECT_EQ(recorder_.texts(), std::vector<std::u16string>{std::u16string(kWindowHelp)});
  EXPECT_TRUE(window_->doubleTapPending()) << "the glyph leaves the double tap pending";
  EXPECT_EQ(window_->MouseUp(100, 100), kRequestBroadcastDate);
  EXPECT_EQ(dialog_.runs, 1);
  EXPECT_FALSE(window_->doubleTapPending());
  EXPECT_EQ(window_->MouseUp(100, 100), kRequestNone);

  // A double tap released on the glyph's row (21..39) opens nothing and stays pending;
  // the glyph itself (columns 0..19 of that row) explains the window.
  const struct {
    int x, y;
    bool explains;
    bool opens;
  } releases[] = {
      {10, 30, true, false},   {19, 21, true, false},   {20, 30, false, false},
      {100, 30, false, false}, {150, 39, false, false}, {10, 20, false, true},
      {10, 40, false, true},   {100, 100, false, true},
  };
  for (const auto& r : releases) {
    recorder_.Clear();
    const int runs = dialog_.runs;
    (void)window_->MouseDoubleDown(r.x, r.y);
    (void)window_->MouseUp(r.x, r.y);
    EXPECT_EQ(recorder_.texts().size(), r.explains ? 1u : 0u) << r.x << "," << r.y;
    EXPECT_EQ(dialog_.runs - runs, r.opens ? 1 : 0) << r.x << "," << r.y;
    EXPECT_EQ(window_->doubleTapPending(), !r.opens) << r.x << "," << r.y;
    (void)window_->MouseUp(100, 100);  // a pending double tap opens the dialog here
  }
  const int runsBeforeKeys = dialog_.runs;

  EXPECT_EQ(window_->KeyUp(65), kRequestNone) << "no key assigned";
  EXPECT_EQ(window_->KeyUp(0), kRequestNone);
  window_->keys()->entries[0].key = 65;
  dialog_.outcome = {true, kChangeSchedules, {}};
  EXPECT_EQ(window_->KeyUp(66), kRequestNone);
  EXPECT_EQ(window_->KeyUp(65), kRequestBroadcastDate) << "data changed, answered from a key";
  EXPECT_EQ(dialog_.runs, runsBeforeKeys + 1);
}

TEST_F(SearchWindowTest, TheKeyTableHoldsOneEntryKeptInTheProfile) {
  const KeyTable& keys = *window_->keys();
  EXPECT_EQ(keys.count, 1);
  EXPECT_EQ(keys.entries[0].label.get(), u"検索する");
  EXPECT_EQ(keys.entries[0].group, 0);
  platform::MemoryProfile profile;
  window_->LoadKeyCode(profile);
  EXPECT_EQ(keys.entries[0].key, 0) << "default";
  ASSERT_TRUE(profile.WriteInt(u"plugin_tavik_search", u"key0", 113));
  window_->LoadKeyCode(profile);
  EXPECT_EQ(keys.entries[0].key, 113);
  window_->keys()->entries[0].key = 114;
  window_->SaveKeyCode(profile);
  EXPECT_EQ(profile.GetInt(u"plugin_tavik_search", u"key0", 0), 114);
}

TEST_F(SearchWindowTest, DrawsThePictureCentredAndTheGlyphOverItsButton) {
  EXPECT_EQ(window_->Notify(kNotifyDateChanged), kRequestNone);
  EXPECT_EQ(window_->Notify(kNotifyDataChanged), kRequestNone);
  const PixelBuffer parts = PartsBuffer(*host_);
  FillWhite(parts, 0, 0, kPartsWidth, kPartsHeight);
  FillBlack(parts, kHelpBackgroundX, kHelpBackgroundY, 10, 20);  // left half of the piece dark
  for (int code : {kNotifyRedraw, kNotifyTick, kNotifyLiveResize})
    EXPECT_EQ(window_->Notify(code), kRequestRepaint) << code;

  // 200 x 200: the picture at ((196/2) - 73, (178/2) - 55) = (25, 34).
  const uint8_t* p = WindowPixel(25, 34);
  EXPECT_EQ(p[0], 20) << "picture column 20";
  EXPECT_EQ(p[1], 0) << "picture row 0";
  p = WindowPixel(25 + 149, 34 + 149);
  EXPECT_EQ(p[0], 169);
  EXPECT_EQ(p[1], 149);
  p = WindowPixel(5, 170);
  EXPECT_EQ(p[0], 255) << "white content around the picture";
  // The help glyph, multiplied over the button: black where the piece is black.
  p = WindowPixel(12, 25);
  EXPECT_EQ(p[0], 10);
  EXPECT_EQ(p[1], 5);
  p = WindowPixel(5, 25);
  EXPECT_EQ(p[0] + p[1] + p[2], 0);
  p = WindowPixel(0, 25);
  EXPECT_EQ(p[0] + p[1] + p[2], 0) << "the border columns are the host's";
}

TEST_F(SearchWindowTest, ASmallWindowShowsThePicturesTopLeftPart) {
  host_->slots[kSlot].width = 100;
  host_->slots[kSlot].height = 80;
  window_->Draw();
  const uint8_t* p = WindowPixel(2, 20);
  EXPECT_EQ(p[0], 0) << "the help glyph at (2, 20)";
  p = WindowPixel(30, 40);
  EXPECT_EQ(p[0], 48) << "picture column 20 + 28";
  EXPECT_EQ(p[1], 20);
  p = WindowPixel(97, 77);
  EXPECT_EQ(p[0], 115) << "the copy ends inside the content: width 96, height 58";
  p = WindowPixel(98, 78);
  EXPECT_EQ(p[0] + p[1] + p[2], 0) << "nothing past the content";
}

}  // namespace
}  // namespace yk::search
