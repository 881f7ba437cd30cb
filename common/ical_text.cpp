// ical_text.cpp — texts between the stored form and a calendar's, and the report lines.
#include "common/ical_text.h"

#include <algorithm>
#include <string>

#include "common/schedule_store.h"

namespace yk {
namespace {

constexpr std::size_t kLabelLength = 20;
constexpr std::size_t kNotesListed = 10;

std::u16string Ascii(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace

std::u16string StoredTextToLines(std::u16string_view stored) {
  std::u16string out;
  for (std::size_t at = 0; at < stored.size();) {
    if (stored.substr(at).starts_with(kStoredLineBreak)) {
      out += u'\n';
      at += kStoredLineBreak.size();
    } else {
      out += stored[at++];
    }
  }
  return out;
}

std::u16string LinesToStoredText(std::u16string_view text) {
  std::u16string out;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') ++at;
      out += kStoredLineBreak;
    } else if (c == u'\t') {
      out += u' ';
    } else if (c >= 0x20 && c != 0x7F) {
      out += c;
    }
  }
  return out;
}

std::u16string CalendarLabel(const YearMonthDay& date, std::u16string_view text) {
  // Appended piece by piece: GCC 12 at -O3 misreads chains of + on strings (-Wrestrict).
  std::u16string label = Ascii(std::to_string(date.year));
  label += u'/';
  label += Ascii(std::to_string(date.month));
  label += u'/';
  label += Ascii(std::to_string(date.day));
  text = text.substr(0, text.find(u'\n'));
  if (text.empty()) return label;
  label += u' ';
  if (text.size() <= kLabelLength) {
    label += text;
    return label;
  }
  std::size_t cut = kLabelLength;
  if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  label += text.substr(0, cut);
  label += u'…';
  return label;
}

std::u16string RecordLabel(const ScheduleRecord& r) {
  return CalendarLabel({r.startYear, StripRepeatMark(r.startMonth), StripRepeatMark(r.startDay)},
                       StoredTextToLines(RecordText(r)));
}

std::u16string FormatCount(std::u16string_view pattern, long count) {
  std::u16string text(pattern);
  const std::size_t at = text.find(u"%d");
  if (at != std::u16string::npos) text.replace(at, 2, Ascii(std::to_string(count)));
  return text;
}

void AppendNotes(std::u16string* text, std::u16string_view heading,
                 const std::vector<CalendarNote>& notes) {
  if (notes.empty()) return;
  *text += u"\n\n";
  *text += heading;
  *text += FormatCount(u"（%d件）", long(notes.size()));
  for (std::size_t i = 0; i < std::min(notes.size(), kNotesListed); ++i) {
    *text += u"\n・";
    if (!notes[i].what.empty()) {
      *text += notes[i].what;
      *text += u"：";
    }
    *text += notes[i].reason;
  }
  if (notes.size() > kNotesListed) {
    *text += FormatCount(u"\n・ほか%d件", long(notes.size() - kNotesListed));
  }
}

}  // namespace yk
