// text_matcher.cpp — plain and regular-expression matching and replacement.
#include "plugins/search/text_matcher.h"

#include "common/cp932_text.h"
#include "common/line_breaks.h"
#include "platform/text_codec.h"
#include "plugins/search/regex/regex.h"

namespace yk::search {
namespace {

// The engine's message buffer holds at most 32 bytes and a NUL.
constexpr std::size_t kRegexMessageBytes = 40;

// "/" written as "\/", once.
std::u16string EscapeSlashes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 4);
  for (char16_t c : text) {
    if (c == u'/') out.push_back(u'\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace

TextMatcher::TextMatcher(std::u16string_view search, std::u16string_view replacement, bool useRegex)
    : search_(search), replacement_(replacement), useRegex_(useRegex) {
  if (!useRegex_) return;
  const Cp932Encoded pattern = EncodeCp932(EscapeSlashes(search_));
  const Cp932Encoded substitute = EncodeCp932(EscapeSlashes(replacement_));
  patternExact_ = pattern.exact;
  replacementExact_ = substitute.exact;
  matchCommand_ = "m/" + pattern.bytes + "/km";
  substCommand_ = "s/" + pattern.bytes + "/" + substitute.bytes + "/gkm";
}

TextMatcher::~TextMatcher() {
  RegexFree(matchHandle_);
  RegexFree(substHandle_);
}

bool TextMatcher::MatchText(std::u16string_view text) {
  if (!useRegex_) return text.find(search_) != std::u16string_view::npos;
  if (!patternExact_) return false;
  const std::string bytes = platform::Utf16ToCp932(WithoutCarriageReturns(text));
  char message[kRegexMessageBytes] = {};
  return RegexMatch(matchCommand_.c_str(), bytes.data(), bytes.data() + bytes.size(), &matchHandle_,
                    message) >= 1;
}

TextMatcher::Replacement TextMatcher::ReplaceInText(std::u16string_view text) {
  Replacement out;
  if (!useRegex_) {
    std::size_t from = 0;
    for (std::size_t at = text.find(search_); at != std::u16string_view::npos && !search_.empty();
         at = text.find(search_, from)) {
      out.text.append(text.substr(from, at - from));
      out.text += replacement_;
      from = at + search_.size();
      out.status = Replaced::kChanged;
    }
    if (out.status == Replaced::kChanged)
      out.text.append(text.substr(from));
    else
      out.text.clear();
    return out;
  }

  if (!patternExact_) return out;
  const Cp932Encoded target = EncodeCp932(WithoutCarriageReturns(text));
  char message[kRegexMessageBytes] = {};
  const int count = RegexSubst(substCommand_.c_str(), target.bytes.data(),
                               target.bytes.data() + target.bytes.size(), &substHandle_, message);
  if (count <= 0) return out;
  if (!target.exact || !replacementExact_) {
    out.status = Replaced::kNotExact;
    return out;
  }
  const std::string_view result =
      substHandle_->resultStart == nullptr
          ? std::string_view()
          : std::string_view(substHandle_->resultStart,
                             std::size_t(substHandle_->resultEnd - substHandle_->resultStart));
  const Cp932Decoded decoded = DecodeCp932(result);
  if (!decoded.exact) {
    out.status = Replaced::kNotExact;
    return out;
  }
  out.status = Replaced::kChanged;
  out.text = LineFeedsAsCrLf(decoded.text);
  return out;
}

}  // namespace yk::search
