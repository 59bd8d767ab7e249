// Leak-checker settings for this test binary: fontconfig keeps a few
// allocations of its own for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
