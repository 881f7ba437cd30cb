#include "platform/dial_up.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/process.h"

namespace platform {
namespace {

TEST(DialUp, ParsesNmcliTerseOutput) {
  struct Case {
    const char* rule;
    std::string output;
    std::vector<std::string> names;
  } cases[] = {
      {"one name a line", "Office\nHome\n", {"Office", "Home"}},
      {"escaped colon and backslash", "a\\:b\nc\\\\d\n", {"a:b", "c\\d"}},
      {"further fields are dropped", "Office:uuid:vpn\n", {"Office"}},
      {"empty lines are skipped", "\n\nOffice\n\n", {"Office"}},
      {"no final line break", "Office", {"Office"}},
      {"a trailing backslash is kept", "odd\\", {"odd\\"}},
      {"nothing", "", {}},
      {"UTF-8 names pass through", "会社\n", {"会社"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNmcliNames(c.output), c.names) << c.rule;
}

class FakeDialUp : public DialUpService {
 public:
  std::vector<std::u16string> entries;
  std::vector<std::u16string> PhoneBookEntries() override { return entries; }
  std::vector<std::u16string> ActiveConnections() override { return {}; }
  bool Dial(std::u16string_view) override { return false; }
  bool HangUp(std::u16string_view) override { return false; }
};

// A name cut short would name no connection: the phone book keeps every name whole.
TEST(DialUp, PhoneBookKeepsTwentyEntriesWithTheirWholeNames) {
  auto fake = std::make_unique<FakeDialUp>();
  for (int i = 0; i < 25; ++i) fake->entries.push_back(u"entry" + std::u16string(size_t(i), u'x'));
  auto previous = SetDialUpService(std::move(fake));
  auto book = PhoneBook();
  SetDialUpService(std::move(previous));
  ASSERT_EQ(book.size(), 20u);
  EXPECT_EQ(book[0], u"entry");
  EXPECT_EQ(book[19], u"entry" + std::u16string(19, u'x'));
}

// A dial that takes a while: the caller's idle work keeps running meanwhile.
class SlowDialUp : public FakeDialUp {
 public:
  bool answer = true;
  std::u16string dialled;
  bool Dial(std::u16string_view entry) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    dialled = entry;
    return answer;
  }
};

TEST(DialUp, DialWhileIdleKeepsTheCallerTurning) {
  for (bool answer : {true, false}) {
    auto slow = std::make_unique<SlowDialUp>();
    slow->answer = answer;
    SlowDialUp* service = slow.get();
    auto previous = SetDialUpService(std::move(slow));
    int idleCalls = 0;
    EXPECT_EQ(DialWhileIdle(u"Office", [&] { ++idleCalls; }), answer);
    EXPECT_EQ(service->dialled, u"Office");
    EXPECT_GE(idleCalls, 2) << "the idle work ran while the dial was under way";
    SetDialUpService(std::move(previous));
  }
}

// The real service against a stand-in nmcli put first in PATH.
TEST(DialUp, DrivesNmcli) {
  char pattern[] = "/tmp/yk_nmcli_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::filesystem::path folder = pattern;
  {
    std::ofstream script(folder / "nmcli");
    script << "#!/bin/sh\n"
              "case \"$*\" in\n"
              "  *--active*) printf 'Office\\n' ;;\n"
              "  '-t -f NAME connection show') printf 'Office\\nHome\\\\:2\\nback`quote\\n' ;;\n"
              "  'connection up id Office'|'connection down id Office') ;;\n"
              "  *) echo refused >&2; exit 10 ;;\n"
              "esac\n";
  }
  std::filesystem::permissions(folder / "nmcli", std::filesystem::perms::owner_all);
  std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (folder.string() + ":" + oldPath).c_str(), 1);

  EXPECT_EQ(DialUp().PhoneBookEntries(),
            (std::vector<std::u16string>{u"Office", u"Home:2", u"back`quote"}));
  EXPECT_EQ(DialUp().ActiveConnections(), (std::vector<std::u16string>{u"Office"}));
  EXPECT_TRUE(DialUp().Dial(u"Office"));
  EXPECT_FALSE(DialUp().Dial(u"Home"));
  EXPECT_TRUE(DialUp().HangUp(u"Office"));

  setenv("PATH", "/nonexistent", 1);
  EXPECT_TRUE(DialUp().PhoneBookEntries().empty()) << "without nmcli the book is empty";
  EXPECT_FALSE(DialUp().Dial(u"Office"));
  setenv("PATH", oldPath.c_str(), 1);
  std::filesystem::remove_all(folder);
}

TEST(Process, RunAndCaptureReportsOutputAndFailure) {
  EXPECT_EQ(RunAndCapture("/bin/sh", {"-c", "printf 'a\\nb'; echo err >&2"}), "a\nb");
  EXPECT_EQ(RunAndCapture("sh", {"-c", "exit 0"}), "") << "searched in PATH";
  EXPECT_EQ(RunAndCapture("/bin/sh", {"-c", "echo partial; exit 3"}), std::nullopt);
  EXPECT_EQ(RunAndCapture("/nonexistent/program", {}), std::nullopt);
}

}  // namespace
}  // namespace platform
