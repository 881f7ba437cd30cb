// Message boxes in a run of like operations: the first notice is shown, later ones are
// answered without a box, questions always reach the user.
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"

namespace platform {
namespace {

TEST(FirstNoticeOnly, ShowsTheFirstNoticeOfARunAndEveryQuestion) {
  struct Box {
    std::u16string text;
    unsigned flags;
    int answer;  // what the call returns
  };
  const struct {
    const char* run;
    std::vector<Box> boxes;
    std::vector<std::u16string> shown;
  } cases[] = {
      {"the same notice three times",
       {{u"a", kMbOk | kMbIconWarning, kIdOk},
        {u"a", kMbOk | kMbIconWarning, kIdOk},
        {u"a", kMbOk | kMbIconWarning, kIdOk}},
       {u"a"}},
      {"different notices: the first only",
       {{u"a", kMbOk, kIdOk}, {u"b", kMbOk | kMbIconError, kIdOk}},
       {u"a"}},
      {"questions between notices are asked",
       {{u"a", kMbOk, kIdOk},
        {u"q1", kMbYesNo | kMbIconQuestion, kIdNo},
        {u"a", kMbOk, kIdOk},
        {u"q2", kMbOkCancel, kIdCancel},
        {u"q3", kMbYesNoCancel, kIdCancel}},
       {u"a", u"q1", u"q2", u"q3"}},
      {"a question first does not use up the notice",
       {{u"q", kMbYesNo, kIdNo}, {u"a", kMbOk, kIdOk}, {u"a", kMbOk, kIdOk}},
       {u"q", u"a"}},
  };
  for (const auto& c : cases) {
    testing::MessageRecorder recorder;
    {
      const FirstNoticeOnly run;
      for (const Box& box : c.boxes) {
        // A question is answered as scripted; a notice that is shown gets its OK.
        if ((box.flags & kMbButtonMask) != kMbOk) recorder.Answer(box.answer);
        EXPECT_EQ(MessageBox(box.text, kDefaultCaption, box.flags), box.answer)
            << c.run << ": " << Utf16ToUtf8(box.text);
      }
    }
    EXPECT_EQ(recorder.texts(), c.shown) << c.run;

    // Once the run is over, every notice is shown again.
    recorder.Clear();
    EXPECT_EQ(MessageBox(u"a"), kIdOk);
    EXPECT_EQ(MessageBox(u"a"), kIdOk);
    EXPECT_EQ(recorder.texts(), (std::vector<std::u16string>{u"a", u"a"})) << c.run;
  }
}

// A run inside another shows its own first notice; the outer one goes on withholding.
TEST(FirstNoticeOnly, TheInnermostRunCounts) {
  testing::MessageRecorder recorder;
  {
    const FirstNoticeOnly outer;
    (void)MessageBox(u"outer 1");
    (void)MessageBox(u"outer 2");
    {
      const FirstNoticeOnly inner;
      (void)MessageBox(u"inner 1");
      (void)MessageBox(u"inner 2");
    }
    (void)MessageBox(u"outer 3");
  }
  EXPECT_EQ(recorder.texts(), (std::vector<std::u16string>{u"outer 1", u"inner 1"}));
}

}  // namespace
}  // namespace platform
