// A module with one export and one hidden function, loaded by the dynamic-library tests.
extern "C" __attribute__((visibility("default"))) int yk_test_answer() {
  return 42;
}

int HiddenHelper() {
  return 7;
}
