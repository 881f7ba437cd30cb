// UTF-16LE line files: splitting into pieces, byte-exact writing, appending.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/tests/store_test_support.h"
#include "common/utf16_line_file.h"

namespace yk {
namespace {

using testing::Le;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::u16string> Pieces(std::string_view bytes) {
  std::vector<std::u16string> out;
  ForEachUtf16LineInBytes(bytes, [&out](std::u16string_view line) {
    out.emplace_back(line);
    return true;
  });
  return out;
}

TEST(LineFile, SplitsLinesAndRemovesTheLineEnd) {
  const std::u16string longLine(2047, u'x');
  struct Case {
    const char* rule;
    std::string bytes;
    std::vector<std::u16string> lines;
  } cases[] = {
      {"empty file has no line", "", {}},
      {"CR LF ends a line", Le(u"a\r\n"), {u"a"}},
      {"last line without CR LF", Le(u"a\r\nb"), {u"a", u"b"}},
      {"bare LF ends a line too", Le(u"a\nb\r\n"), {u"a", u"b"}},
      {"CR inside a line stays", Le(u"a\rb\r\n"), {u"a\rb"}},
      {"empty lines are lines", Le(u"\r\n\r\n"), {u"", u""}},
      {"trailing odd byte ignored", Le(u"ab\r\n") + "x", {u"ab"}},
      {"non-ASCII units", Le(u"会議\r\n予定"), {u"会議", u"予定"}},
      {"units holding a 0x0A byte end no line",
       Le(u"\u0A0Aa\u010A\u0A00\r\nb"),
       {u"\u0A0Aa\u010A\u0A00", u"b"}},
      {"2047 units are one piece", Le(longLine + u"\r\n"), {longLine}},
      {"2048 units are two pieces", Le(longLine + u"yz\r\nq"), {longLine, u"yz", u"q"}},
      {"4095 units are three pieces",
       Le(longLine + longLine + u"z\r\n"),
       {longLine, longLine, u"z"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Pieces(c.bytes), c.lines) << c.rule;
}

TEST(LineFile, LineEndsAreFoundWhereverTheyFall) {
  // Lines of every length from 0 to 100 units, so each line end falls at every place of
  // the blocks the search steps over.
  std::u16string text;
  std::vector<std::u16string> expected;
  for (std::size_t length = 0; length <= 100; ++length) {
    expected.emplace_back(length, static_cast<char16_t>(u'a' + length % 26));
    text += expected.back() + (length % 3 ? u"\r\n" : u"\n");
  }
  EXPECT_EQ(Pieces(Le(text)), expected);
}

TEST(LineFile, VisitorCanStopReading) {
  int seen = 0;
  ForEachUtf16LineInBytes(Le(u"a\r\nb\r\nc\r\n"), [&seen](std::u16string_view) {
    ++seen;
    return seen < 2;
  });
  EXPECT_EQ(seen, 2);
}

// Files are read in chunks: lines and pieces that cross a chunk boundary come out as they
// do from the whole file in memory.
TEST(LineFile, ChunkedReadingGivesTheSamePieces) {
  std::u16string text;
  const std::size_t lengths[] = {0, 1, 2046, 2047, 2048, 2049, 4094, 4095, 5000, 37, 60000};
  for (int round = 0; round < 6; ++round) {
    for (std::size_t length : lengths) {
      for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char16_t>(u'a' + i % 26));
      text += round % 2 ? u"\r\n" : u"\n";
    }
    text += u"\r";  // a CR of its own, then more
  }
  text += u"last";
  TempFolder folder;
  auto file = folder.path() / "big.txt";
  WriteBytes(file, Le(text));
  auto lines = ReadUtf16Lines(file);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, Pieces(Le(text)));

  // Reading stops with the visitor.
  int seen = 0;
  ASSERT_TRUE(ForEachUtf16Line(file, [&seen](std::u16string_view) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
}

// Files around the size of one read: the last line comes out whole however the reads
// fall, also without a line end.
TEST(LineFile, FilesAroundOneReadGiveEveryLine) {
  for (std::size_t bytes : {65534u, 65536u, 65538u, 131072u, 131074u}) {
    std::u16string text;
    while ((text.size() + 17 + 4) * 2 <= bytes) text += u"0123456789abcde\r\n";
    text += std::u16string(bytes / 2 - text.size(), u'z');  // the last line, no CR LF
    ASSERT_EQ(Le(text).size(), bytes);
    TempFolder folder;
    auto file = folder.path() / "sized.txt";
    WriteBytes(file, Le(text));
    auto lines = ReadUtf16Lines(file);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, Pieces(Le(text))) << bytes;
    ASSERT_FALSE(lines->empty());
    EXPECT_EQ(lines->back().back(), u'z') << bytes;
  }
}

TEST(LineFile, ReadingFailsOnlyWhenTheFileCantBeOpened) {
  TempFolder folder;
  EXPECT_FALSE(ReadUtf16Lines(folder.path() / "missing.txt").has_value());
  EXPECT_FALSE(ReadUtf16Lines(folder.path()).has_value()) << "a folder is not a file";
  WriteBytes(folder.path() / "empty.txt", "");
  auto empty = ReadUtf16Lines(folder.path() / "empty.txt");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
}

// A pipe where a data file should be is not a file: reading gives up at once instead of
// waiting for a writer that never comes.  (A hang is ended by the alarm, failing the test.)
TEST(LineFile, APipeInPlaceOfTheFileIsRefusedWithoutWaiting) {
  TempFolder folder;
  const std::filesystem::path pipe = folder.path() / "sched.txt";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ::alarm(10);
  EXPECT_FALSE(ReadUtf16Lines(pipe).has_value());
  EXPECT_FALSE(AppendUtf16Line(pipe, u"x"));
  ::alarm(0);
}

TEST(LineFile, EncodesLittleEndianWithoutTerminator) {
  EXPECT_EQ(EncodeUtf16Le(u"会議"), std::string("\x1A\x4F\x70\x8B", 4));
  EXPECT_EQ(EncodeUtf16Line(u"A"), std::string("A\0\r\0\n\0", 6));
  EXPECT_EQ(EncodeUtf16Line(u""), std::string("\r\0\n\0", 4));
}

TEST(LineFile, AppendStartsTheNewLineOnALineOfItsOwn) {
  struct Case {
    const char* rule;
    bool exists;
    std::string before;
    std::string after;
  } cases[] = {
      {"missing file is created", false, "", Le(u"new\r\n")},
      {"empty file", true, "", Le(u"new\r\n")},
      {"after a complete line", true, Le(u"old\r\n"), Le(u"old\r\nnew\r\n")},
      {"after a line without CR LF", true, Le(u"old"), Le(u"old\r\nnew\r\n")},
      {"after a line ending in CR only", true, Le(u"old\r"), Le(u"old\r\r\nnew\r\n")},
      {"after a torn unit", true, Le(u"old") + "x",
       Le(u"old") + "x" + std::string(1, '\0') + Le(u"\r\nnew\r\n")},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    auto file = folder.path() / "sched.txt";
    if (c.exists) WriteBytes(file, c.before);
    ASSERT_TRUE(AppendUtf16Line(file, u"new")) << c.rule;
    EXPECT_EQ(ReadBytes(file), c.after) << c.rule;
    auto lines = ReadUtf16Lines(file);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(lines->back(), u"new") << c.rule;
  }
}

TEST(LineFile, AppendFailsWhenTheFileCantBeOpened) {
  TempFolder folder;
  EXPECT_FALSE(AppendUtf16Line(folder.path() / "no-such-folder" / "sched.txt", u"x"));
  std::filesystem::create_directories(folder.path() / "sched.txt");
  EXPECT_FALSE(AppendUtf16Line(folder.path() / "sched.txt", u"x")) << "a folder is not a file";
}

TEST(LineFile, ReplacingWithNoLinesLeavesAnEmptyFile) {
  TempFolder folder;
  auto file = folder.path() / "f.txt";
  WriteBytes(file, Le(u"old\r\n"));
  ASSERT_TRUE(ReplaceWithUtf16Lines(file, {}));
  EXPECT_EQ(ReadBytes(file), "");
  ASSERT_TRUE(ReplaceWithUtf16Lines(file, {u"a", u"-1"}));
  EXPECT_EQ(ReadBytes(file), Le(u"a\r\n-1\r\n"));
}

}  // namespace
}  // namespace yk
