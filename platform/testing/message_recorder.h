// message_recorder.h — test stand-in for message boxes: records every box and answers
// from a script (first scripted answer first; the default button once the script is empty).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace platform::testing {

struct RecordedMessage {
  std::u16string text;
  std::u16string caption;
  unsigned flags;
};

class MessageRecorder {
 public:
  MessageRecorder() {
    previous_ = SetMessageBoxHandler(
        [this](std::u16string_view text, std::u16string_view caption, unsigned flags) {
          messages_.push_back({std::u16string(text), std::u16string(caption), flags});
          if (!answers_.empty()) {
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
          }
          unsigned buttons = flags & kMbButtonMask;
          return (buttons == kMbYesNo || buttons == kMbYesNoCancel) ? int(kIdYes) : int(kIdOk);
        });
  }
  ~MessageRecorder() { SetMessageBoxHandler(previous_); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  void Answer(int answer) { answers_.push_back(answer); }
  const std::vector<RecordedMessage>& messages() const { return messages_; }
  std::vector<std::u16string> texts() const {
    std::vector<std::u16string> out;
    for (const auto& m : messages_) out.push_back(m.text);
    return out;
  }
  void Clear() { messages_.clear(); }

 private:
  MessageBoxHandler previous_;
  std::vector<RecordedMessage> messages_;
  std::deque<int> answers_;
};

}  // namespace platform::testing
