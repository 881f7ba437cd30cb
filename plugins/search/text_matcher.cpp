// text_matcher.cpp — plain and regular-expression matching and replacement.
#include "plugins/search/text_matcher.h"

#include <iterator>

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

// While a text passes through the engine for WithTypedForms, each typed form of the folded
// pairs is written as a character of the code page's user area, which reads back exactly,
// so the engine's result tells where each typed form went.
constexpr char16_t kFirstStandIn = u'\uE750';
constexpr std::size_t kStandIns = std::size(kCp932FoldedForms);

bool IsStandIn(char16_t unit) {
  return unit >= kFirstStandIn && unit < kFirstStandIn + kStandIns;
}

bool HoldsStandIn(std::u16string_view text) {
  for (char16_t c : text)
    if (IsStandIn(c)) return true;
  return false;
}

bool HoldsTypedForm(std::u16string_view text) {
  for (char16_t c : text)
    if (Cp932ReadBackForm(c) != c) return true;
  return false;
}

std::u16string WithStandIns(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    for (std::size_t i = 0; i < kStandIns; ++i)
      if (c == kCp932FoldedForms[i].typed) c = char16_t(kFirstStandIn + i);
  }
  return out;
}

std::u16string WithoutStandIns(std::u16string text) {
  for (char16_t& c : text)
    if (IsStandIn(c)) c = kCp932FoldedForms[c - kFirstStandIn].typed;
  return text;
}

// Whether `typed` reads back as `read` through the code page.
bool ReadsBackAs(std::u16string_view typed, std::u16string_view read) {
  if (typed.size() != read.size()) return false;
  for (std::size_t i = 0; i < typed.size(); ++i)
    if (Cp932ReadBackForm(typed[i]) != read[i]) return false;
  return true;
}

// The engine's rewritten text (empty when it left none).
std::string_view SubstitutionResult(const RegexHandle* handle) {
  if (handle == nullptr || handle->resultStart == nullptr) return {};
  return std::string_view(handle->resultStart,
                          std::size_t(handle->resultEnd - handle->resultStart));
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
  if (!HoldsStandIn(search_) && !HoldsStandIn(replacement_)) {
    typedFormsCommand_ = "s/" + EncodeCp932(WithStandIns(EscapeSlashes(search_))).bytes + "/" +
                         EncodeCp932(WithStandIns(EscapeSlashes(replacement_))).bytes + "/gkm";
    typedFormsTyped_ = HoldsTypedForm(search_) || HoldsTypedForm(replacement_);
  }
}

TextMatcher::~TextMatcher() {
  RegexFree(matchHandle_);
  RegexFree(substHandle_);
  RegexFree(typedFormsHandle_);
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
  const std::u16string lines = WithoutCarriageReturns(text);
  const Cp932Encoded target = EncodeCp932(lines);
  char message[kRegexMessageBytes] = {};
  const int count = RegexSubst(substCommand_.c_str(), target.bytes.data(),
                               target.bytes.data() + target.bytes.size(), &substHandle_, message);
  if (count <= 0) return out;
  if (!target.exact || !replacementExact_) {
    out.status = Replaced::kNotExact;
    return out;
  }
  Cp932Decoded decoded = DecodeCp932(SubstitutionResult(substHandle_));
  if (!decoded.exact) {
    out.status = Replaced::kNotExact;
    return out;
  }
  if (!typedFormsCommand_.empty() && (typedFormsTyped_ || HoldsTypedForm(lines))) {
    if (std::optional<std::u16string> typed = WithTypedForms(lines, decoded.text))
      decoded.text = std::move(*typed);
  }
  out.status = Replaced::kChanged;
  out.text = LineFeedsAsCrLf(decoded.text);
  return out;
}

std::optional<std::u16string> TextMatcher::WithTypedForms(std::u16string_view text,
                                                          std::u16string_view folded) {
  if (HoldsStandIn(text)) return std::nullopt;
  const std::string target = EncodeCp932(WithStandIns(text)).bytes;
  char message[kRegexMessageBytes] = {};
  if (RegexSubst(typedFormsCommand_.c_str(), target.data(), target.data() + target.size(),
                 &typedFormsHandle_, message) <= 0)
    return std::nullopt;
  Cp932Decoded decoded = DecodeCp932(SubstitutionResult(typedFormsHandle_));
  if (!decoded.exact) return std::nullopt;
  std::u16string typed = WithoutStandIns(std::move(decoded.text));
  // A pattern that names one form of a pair finds both in the engine's own run, but only
  // its own form here: then the two differ, and the engine's own result holds.
  if (!ReadsBackAs(typed, folded)) return std::nullopt;
  return typed;
}

}  // namespace yk::search
