// tenki_test_support.h — a program folder of its own with a Host context over it, the
// saved forecast pages (kept in UTF-8 beside the tests, served in CP932 as the site does),
// and hooks that record what the weather window draws and asks.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "common/tests/plugin_test_host.h"
#include "plugins/tenki/tenki_view.h"

namespace yk::tenki::testing {

namespace fs = std::filesystem;

// The bytes of a saved page (tests/pages/<name>) in CP932.
std::string PageBytes(const std::string& name);
// The record that tests/pages/forecast_full.html reads as, downloaded on 7 May 2004.
ForecastRecord FullPageRecord();
// UTF-8 text in CP932.
std::string Cp932(const std::string& utf8);
std::string ReadFile(const fs::path& file);
void WriteFile(const fs::path& file, std::string_view bytes);

// The plugins' test host (a program folder of its own with a Host context over it) with
// screen buffers of 320 x 480, a window buffer for every slot and a parts sheet that is
// white, with grey button backgrounds at (0, 340) and (160, 340).  Slot 0 is a window of
// the given size.
class TenkiHost : public yk::testing::PluginTestHost {
 public:
  TenkiHost(int windowWidth = 240, int windowHeight = 300);

  PixelBuffer window() { return SlotBuffer(*ctx(), 0); }
  void SetWindowSize(int width, int height);
};

struct DrawnText {
  std::u16string text;
  int left, top, right, bottom;
  std::u16string face;
  int height;
};

// Draws nothing but remembers each text; the download and area dialogs answer as told.
class RecordingHooks : public TenkiHooks {
 public:
  std::vector<DrawnText> drawn;
  std::vector<DownloadSettings> downloads;
  // What the download dialog does: write these bytes into the temporary file and succeed,
  // or (std::nullopt) fail.
  std::optional<std::string> page;
  std::optional<AreaSelection> area;
  int areaDialogs = 0;

  void DrawImageText(std::u16string_view text, int left, int top, int right, int bottom,
                     std::u16string_view face, int height) override;
  bool RunDownload(const DownloadSettings& settings) override;
  std::optional<AreaSelection> ChooseArea(const fs::path& listFile, int area, int city) override;
};

// 0x00RRGGBB of top-down pixel (x, y).
uint32_t PixelAt(ConstPixelBuffer buffer, int x, int y);

}  // namespace yk::tenki::testing
