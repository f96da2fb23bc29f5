// Under LeakSanitizer: Mesa's software driver keeps a few blocks past context destruction
// after feedback mode and after display lists of GLU strips. Only leaks whose recorded stack
// passes through the driver are suppressed.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:swrast_dri.so\n";
}
