#include "plugins/sched/tests/sched_test_host.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "platform/handles.h"

namespace yk::sched::testing {

TestHost::TestHost(int bufferWidth, int bufferHeight, int windowWidth, int windowHeight)
    : ctx_(std::make_unique<HostContext>()), canvasWidth_(CanvasWidth(bufferWidth)) {
  HostContext& c = *ctx_;
  c.bufferWidth = bufferWidth;
  c.bufferHeight = bufferHeight;
  c.bufferBytes = bufferWidth * bufferHeight * 3;
  c.partsBytes = kPartsBytes;
  const uint32_t parts = platform::CreateSurfaceBitmap(kPartsWidth, kPartsHeight, &c.partsBits);
  bitmaps_.push_back(parts);
  FillWhite(PartsBuffer(c), 0, 0, kPartsWidth, kPartsHeight);
  for (int i = 0; i < kMaxWindows; ++i) {
    bitmaps_.push_back(platform::CreateSurfaceBitmap(bufferWidth, bufferHeight, &c.slots[i].bits));
    FillWhite(SlotBuffer(c, i), 0, 0, bufferWidth, bufferHeight);
  }
  // Black toolbar rows in a white sheet, so the toolbar shows on the white canvas.
  Invert(PartsBuffer(c), 0, 330, kPartsWidth, 30);
  c.slots[0].width = windowWidth;
  c.slots[0].height = windowHeight;
  c.slots[0].right = windowWidth;
  c.slots[0].bottom = windowHeight;
  c.slots[0].inUse = 1;
  c.windowCount = 1;
  c.fontName.set(u"IPAGothic");

  std::random_device seed;
  dataFolder_ = std::filesystem::temp_directory_path() /
                ("yk_sched_test_" + std::to_string(seed()) + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dataFolder_);
  const std::u16string folder = dataFolder_.u16string() + u"/";
  std::copy(folder.begin(), folder.end(), c.dataFolder);
  SetToday(2004, 5, 7);

  canvas_.assign(size_t(canvasWidth_) * 840 * 3, 0);
  skin_.assign(160 * 100 * 3, 255);
}

TestHost::~TestHost() {
  for (uint32_t bitmap : bitmaps_) platform::DeleteBitmap(bitmap);
  ctx_->fontName.release();
  std::error_code ignored;
  std::filesystem::remove_all(dataFolder_, ignored);
}

void TestHost::SetToday(int year, int month, int day) {
  ctx_->todayYear = year;
  ctx_->todayMonth = month;
  ctx_->todayDay = day;
}

void TestHost::WriteDataFile(const std::filesystem::path& relative,
                             const std::vector<std::u16string>& lines) {
  const auto path = dataFolder_ / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& line : lines) {
    for (char16_t ch : line + u"\r\n") {
      out.put(char(ch & 0xFF));
      out.put(char(ch >> 8));
    }
  }
}

void TestHost::WriteDayColours(int year, int month, const std::vector<int32_t>& numbers) {
  const auto path = dataFolder_ / std::to_string(year) / std::to_string(month) / "daycolor.dat";
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int32_t n : numbers)
    for (int i = 0; i < 4; ++i) out.put(char((uint32_t(n) >> (8 * i)) & 0xFF));
}

std::u16string Line(int sy, int sm, int sd, int sh, int smin, int ey, int em, int ed, int eh,
                    int emin, int period, std::u16string_view text) {
  char head[64];
  std::snprintf(head, sizeof head, "(%d,%.2d,%.2d,%.2d,%.2d %d,%.2d,%.2d,%.2d,%.2d %.2d)(", sy, sm,
                sd, sh, smin, ey, em, ed, eh, emin, period);
  if (period < 0)
    std::snprintf(head, sizeof head, "(%d,%.2d,%.2d,%.2d,%.2d %d,%.2d,%.2d,%.2d,%.2d %.1d)(", sy,
                  sm, sd, sh, smin, ey, em, ed, eh, emin, period);
  std::u16string line(head, head + std::char_traits<char>::length(head));
  line += text;
  line += u")";
  return line;
}

uint32_t PixelAt(ConstPixelBuffer b, int x, int y) {
  const size_t at = (size_t(x) + size_t(b.width) * size_t(b.height - 1 - y)) * 3;
  return uint32_t(b.bits[at + 2]) << 16 | uint32_t(b.bits[at + 1]) << 8 | b.bits[at];
}

}  // namespace yk::sched::testing
