// The Host context's folders as paths: the field's text up to its first NUL, never past the
// field, whatever another plugin left in it.
#include "common/host_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace yk {
namespace {

void SetField(YkChar (&field)[260], std::u16string_view text) {
  std::fill(std::begin(field), std::end(field), YkChar(0));
  std::copy(text.begin(), text.end(), field);
}

TEST(HostFolders, TheTextEndsAtItsFirstNulAndNeverPastTheField) {
  YkChar folder[260];
  std::fill(std::begin(folder), std::end(folder), u'a');  // no terminator at all
  EXPECT_EQ(HostFolderPath(folder).u16string(), std::u16string(260, u'a'));
  folder[3] = 0;
  EXPECT_EQ(HostFolderPath(folder).u16string(), u"aaa");
  folder[0] = 0;
  EXPECT_EQ(HostFolderPath(folder), std::filesystem::path());
}

TEST(HostFolders, ProgramAndDataFolders) {
  struct Case {
    const char* rule;
    std::u16string app, data;
    std::string appPath, dataPath;
  } cases[] = {
      {"plain folders end in '/'", u"/opt/yk/", u"/opt/yk/data/", "/opt/yk/", "/opt/yk/data/"},
      {"Japanese names in UTF-8", u"/home/利用者/予定/", u"/home/利用者/予定/data/",
       "/home/\xE5\x88\xA9\xE7\x94\xA8\xE8\x80\x85/\xE4\xBA\x88\xE5\xAE\x9A/",
       "/home/\xE5\x88\xA9\xE7\x94\xA8\xE8\x80\x85/\xE4\xBA\x88\xE5\xAE\x9A/data/"},
      {"a lone surrogate becomes U+FFFD instead of failing",
       std::u16string(u"/a") + u'\xD800' + u"/", u"/d/", "/a\xEF\xBF\xBD/", "/d/"},
  };
  auto host = std::make_unique<HostContext>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    SetField(host->appFolder, c.app);
    SetField(host->dataFolder, c.data);
    EXPECT_EQ(AppFolderPath(*host).string(), c.appPath);
    EXPECT_EQ(DataFolderPath(*host).string(), c.dataPath);
  }
}

}  // namespace
}  // namespace yk
