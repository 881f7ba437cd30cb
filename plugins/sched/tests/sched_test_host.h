// sched_test_host.h — a Host context with real window buffers and a parts sheet, a data
// folder of its own, and hooks that record what the view draws and asks.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "plugins/sched/sched_view.h"

namespace yk::sched::testing {

class TestHost {
 public:
  // A screen of bufferWidth x bufferHeight; slot 0 is a window of the given size.
  TestHost(int bufferWidth, int bufferHeight, int windowWidth, int windowHeight);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  HostContext* ctx() { return ctx_.get(); }
  const std::filesystem::path& dataFolder() const { return dataFolder_; }
  void SetToday(int year, int month, int day);

  // Writes UTF-16LE lines (CR LF each) to a file below the data folder.
  void WriteDataFile(const std::filesystem::path& relative,
                     const std::vector<std::u16string>& lines);
  void WriteDayColours(int year, int month, const std::vector<int32_t>& numbers);

  // Canvas (canvas width x 840) and a white skin for a view.
  PixelBuffer canvas() { return {canvas_.data(), canvasWidth_, 840, int(canvas_.size())}; }
  ConstPixelBuffer skin() const { return {skin_.data(), 160, 100, int(skin_.size())}; }
  PixelBuffer mutableSkin() { return {skin_.data(), 160, 100, int(skin_.size())}; }
  PixelBuffer window() { return SlotBuffer(*ctx_, 0); }

 private:
  std::unique_ptr<HostContext> ctx_;
  std::filesystem::path dataFolder_;
  std::vector<uint32_t> bitmaps_;
  int canvasWidth_;
  std::vector<uint8_t> canvas_;
  std::vector<uint8_t> skin_;
};

struct DrawnText {
  std::u16string text;
  Rect clip;
  int fontHeight;
  uint32_t colour;
};

class RecordingHooks : public SchedHooks {
 public:
  int measuredHeight = 14;  // every text measures this high
  bool dialogAnswer = true;
  std::vector<DrawnText> drawn;
  int newDialogs = 0;
  std::vector<std::u16string> openedTexts;

  int MeasureTextHeight(std::u16string_view, std::u16string_view, int, int) override {
    return measuredHeight;
  }
  void DrawCanvasText(std::u16string_view text, Rect clip, std::u16string_view, int fontHeight,
                      uint32_t colour) override {
    drawn.push_back({std::u16string(text), clip, fontHeight, colour});
  }
  bool EditNewSchedule(int, int, int) override {
    ++newDialogs;
    return dialogAnswer;
  }
  bool EditSchedule(const DayEntry& entry) override {
    openedTexts.push_back(entry.displayText);
    return dialogAnswer;
  }
};

// A stored record line, e.g. Line(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議").
std::u16string Line(int sy, int sm, int sd, int sh, int smin, int ey, int em, int ed, int eh,
                    int emin, int period, std::u16string_view text);

// The bytes of top-down pixel (x, y) as 0x00RRGGBB.
uint32_t PixelAt(ConstPixelBuffer buffer, int x, int y);

}  // namespace yk::sched::testing
