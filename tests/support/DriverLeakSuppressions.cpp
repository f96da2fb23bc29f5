// Under LeakSanitizer: Mesa's software driver keeps a few blocks past context destruction
// (after feedback mode, display lists of GLU strips, texture uploads). Only leaks whose
// recorded stack passes through the driver are suppressed. Linked into GL test programs.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:swrast_dri.so\n";
}
