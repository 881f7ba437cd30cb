#include "plugins/tenki/tests/tenki_test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/text_codec.h"

namespace yk::tenki::testing {

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Cp932(const std::string& utf8) {
  return platform::Utf16ToCp932(platform::Utf8ToUtf16(utf8));
}

std::string PageBytes(const std::string& name) {
  return Cp932(ReadFile(fs::path(YK_TENKI_PAGES) / name));
}

ForecastRecord FullPageRecord() {
  ForecastRecord r;
  r.year = 2004;
  r.month = 5;
  r.valid = true;
  r.firstDay = 7;
  r.days = {{{u"晴時々曇", 7, 99, 99, 0},
             {u"曇のち雨", 8, 99, 99, 0},
             {u"雨", 9, 99, 99, 80},
             {u"曇時々晴", 10, 24, 15, 30},
             {u"晴", 11, 26, 16, 10},
             {u"雨一時曇", 12, 21, 14, 60},
             {u"曇後雪", 13, 18, 9, 70}}};
  r.rainTexts = {u"06-12時 10%", u"12-18時 20%", u"18-24時 30%", u"00-06時 30%",
                 u"06-12時 50%", u"12-18時 60%", u"18-24時 40%"};
  return r;
}

TenkiHost::TenkiHost(int windowWidth, int windowHeight) : PluginTestHost("tenki", 320, 480) {
  HostContext& c = *ctx();
  FillWhite(PartsBuffer(c), 0, 0, kPartsWidth, kPartsHeight);
  // Grey button backgrounds, so that the labels multiplied over them show.
  const PixelBuffer parts = PartsBuffer(c);
  for (auto [x0, width] : {std::pair{0, 40}, std::pair{160, 20}})
    for (int y = 340; y < 360; ++y)
      for (int x = x0; x < x0 + width; ++x)
        std::fill_n(
            parts.bits + (size_t(x) + size_t(kPartsWidth) * size_t(kPartsHeight - 1 - y)) * 3, 3,
            uint8_t(0x80));
  for (int i = 0; i < kMaxWindows; ++i) AddWindowBuffer(i);
  c.slots[0].inUse = 1;
  c.windowCount = 1;
  SetWindowSize(windowWidth, windowHeight);
}

void TenkiHost::SetWindowSize(int width, int height) {
  PluginSlot& slot = ctx()->slots[0];
  slot.width = width;
  slot.height = height;
  slot.right = slot.left + width;
  slot.bottom = slot.top + height;
}

void RecordingHooks::DrawImageText(std::u16string_view text, int left, int top, int right,
                                   int bottom, std::u16string_view face, int height) {
  drawn.push_back({std::u16string(text), left, top, right, bottom, std::u16string(face), height});
}

bool RecordingHooks::RunDownload(const DownloadSettings& settings) {
  downloads.push_back(settings);
  if (!page) return false;
  WriteFile(settings.tempFile, *page);
  return true;
}

std::optional<AreaSelection> RecordingHooks::ChooseArea(const fs::path&, int, int) {
  ++areaDialogs;
  return area;
}

uint32_t PixelAt(ConstPixelBuffer b, int x, int y) {
  const size_t at = (size_t(x) + size_t(b.width) * size_t(b.height - 1 - y)) * 3;
  return uint32_t(b.bits[at + 2]) << 16 | uint32_t(b.bits[at + 1]) << 8 | b.bits[at];
}

}  // namespace yk::tenki::testing
