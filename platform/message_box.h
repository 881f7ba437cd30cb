// message_box.h — modal message boxes, the one way failures reach the user.
//
// Flags and answers use the handheld's numbering, which the dialogs' logic is written
// against: kMbOk/kMbOkCancel/kMbYesNoCancel/kMbYesNo for the buttons, an icon flag,
// and the answers kIdOk, kIdCancel, kIdYes, kIdNo.  The GUI installs a handler that shows
// a real box; tests install a recorder (platform/testing/message_recorder.h) that keeps
// each caption and text and answers as scripted.  Without any handler the call answers
// as if the user took the default button (OK, Yes) and writes the text to stderr.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum MessageBoxFlags : unsigned {
  kMbOk = 0x00,
  kMbOkCancel = 0x01,
  kMbYesNoCancel = 0x03,
  kMbYesNo = 0x04,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
  kMbIconInformation = 0x40,
  kMbButtonMask = 0x0F,
  kMbIconMask = 0xF0,
};

enum MessageBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// The caption used when none is given: the program's name.
inline constexpr char16_t kDefaultCaption[] = u"Yomitoki";

using MessageBoxHandler =
    std::function<int(std::u16string_view text, std::u16string_view caption, unsigned flags)>;

// Shows a modal box and returns the answer (kIdOk, kIdCancel, kIdYes or kIdNo).
int MessageBox(std::u16string_view text, std::u16string_view caption = kDefaultCaption,
               unsigned flags = kMbOk | kMbIconWarning);

// Replaces the handler; returns the previous one so it can be put back.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// For one run of many like operations (a replacement over 200 hits), each of which may fail
// with the same notice: while a FirstNoticeOnly lives, only the first notice (a box with
// OK alone) is shown; later ones are answered kIdOk at once, without a box.  Questions
// (boxes with more than one button) are always shown.  The innermost of nested ones counts.
class FirstNoticeOnly {
 public:
  FirstNoticeOnly();
  ~FirstNoticeOnly();
  FirstNoticeOnly(const FirstNoticeOnly&) = delete;
  FirstNoticeOnly& operator=(const FirstNoticeOnly&) = delete;

 private:
  friend int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned flags);

  FirstNoticeOnly* outer_;
  bool shown_ = false;
};

}  // namespace platform
