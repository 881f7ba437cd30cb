// test_package.cpp — update packages for the updater's tests, built in several variants:
//   PACKAGE_ANSWER n    plg_updater answers n
//   PACKAGE_STAGES      before answering, copies "plugin/next.plg" to the staged name
//   PACKAGE_REPEAT n    answers 1 until it has been called n times (counted in the
//                       updater's profile), then PACKAGE_ANSWER
//   PACKAGE_NO_EXPORT   no plg_updater at all
// Each call appends "<PACKAGE_NAME> <program folder> <call number>" to "package.log" in the
// program folder, so the tests see which package ran, how often and with what.  Plain C
// style and nothing that would keep the library in memory after it is freed.
#include <fstream>
#include <string>

#include "platform/profile.h"
#include "platform/text_codec.h"
#include "updater/update_package.h"

#ifndef PACKAGE_NO_EXPORT
extern "C" __attribute__((visibility("default"))) int32_t plg_updater(const YkChar* programFolder,
                                                                      YkHandle app) {
  const std::string folder = platform::Utf16ToUtf8(programFolder);
  platform::Profile* profile = platform::ProfileOf(app);
  const int calls = profile->GetInt(u"update_test", u"calls", 0) + 1;
  (void)profile->WriteInt(u"update_test", u"calls", calls);
  std::ofstream(folder + "package.log", std::ios::app)
      << PACKAGE_NAME << ' ' << folder << ' ' << calls << '\n';
#ifdef PACKAGE_STAGES
  std::ifstream next(folder + "plugin/next.plg", std::ios::binary);
  std::ofstream(folder + "plugin/tavik_upd_hpc2karm.upd", std::ios::binary) << next.rdbuf();
#endif
#ifdef PACKAGE_REPEAT
  if (calls < PACKAGE_REPEAT) return kUpdaterCallAgain;
#endif
  return PACKAGE_ANSWER;
}
#endif

// Something to export even without plg_updater.
extern "C" __attribute__((visibility("default"))) int32_t plg_valid() {
  return 0;
}
