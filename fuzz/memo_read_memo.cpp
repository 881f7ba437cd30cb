// Fuzz target: a day's memo.txt — reading it, matching it with a regular expression, and
// writing it back: what is written exactly reads back as the same text.
#include <cstdlib>

#include "common/cp932_text.h"
#include "common/memo_store.h"
#include "fuzz/store_fuzz_support.h"
#include "plugins/search/text_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = yk::fuzz::ScratchFolder();
  yk::fuzz::WriteFile(yk::MemoFilePath(folder, 2004, 5, 1), data, size);

  std::u16string text;
  if (!yk::ReadMemo(2004, 5, 1, folder, &text)) std::abort();

  static yk::search::TextMatcher matcher(u"^(会議|[0-9]+時).*$", u"[$1]", true);
  // A replacement typed with a wave dash goes through the run that keeps typed forms.
  static yk::search::TextMatcher typed(u"([0-9]+)(時|～)", u"$1〜", true);
  for (yk::search::TextMatcher* m : {&matcher, &typed}) {
    (void)m->MatchText(text);
    const yk::search::TextMatcher::Replacement replaced = m->ReplaceInText(text);
    if (replaced.status == yk::search::TextMatcher::Replaced::kChanged &&
        !yk::EncodeCp932(replaced.text).exact)
      std::abort();
  }

  const yk::MemoWriteResult written = yk::WriteMemo(2004, 5, 1, folder, text, false);
  if (written.ok() != yk::EncodeCp932(text).exact) std::abort();
  if (written.ok()) {
    std::u16string back;
    if (!yk::ReadMemo(2004, 5, 1, folder, &back) || back != text) std::abort();
  }
  return 0;
}
