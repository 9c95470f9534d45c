// Linked into the core tests of the sanitizer build. The C library's setlocale keeps the
// LOCPATH search list it builds for good (the comma-locale tests set LOCPATH): not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }
// Stack traces for undefined behaviour too, not only for memory errors.
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1"; }
