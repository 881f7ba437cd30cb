#include "platform/message_box.h"

#include <cstdio>
#include <utility>

#include "platform/text_codec.h"

namespace platform {
namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

FirstNoticeOnly*& InnermostRun() {
  static FirstNoticeOnly* run = nullptr;
  return run;
}

int DefaultAnswer(unsigned flags) {
  switch (flags & kMbButtonMask) {
    case kMbYesNo:
    case kMbYesNoCancel:
      return kIdYes;
    default:
      return kIdOk;
  }
}

}  // namespace

int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned flags) {
  if (FirstNoticeOnly* run = InnermostRun(); run != nullptr && (flags & kMbButtonMask) == kMbOk) {
    if (run->shown_) return kIdOk;
    run->shown_ = true;
  }
  if (Handler()) return Handler()(text, caption, flags);
  std::fprintf(stderr, "[%s] %s\n", Utf16ToUtf8(caption).c_str(), Utf16ToUtf8(text).c_str());
  return DefaultAnswer(flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

FirstNoticeOnly::FirstNoticeOnly() : outer_(std::exchange(InnermostRun(), this)) {}

FirstNoticeOnly::~FirstNoticeOnly() {
  InnermostRun() = outer_;
}

}  // namespace platform
