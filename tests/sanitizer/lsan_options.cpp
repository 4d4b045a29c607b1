// Linked into every program of the sanitized build that uses the dictionary's
// code: its leak checker reads the list of system libraries whose leaks it
// does not count, however the program is started (ctest, make test, by hand).
// LSAN_OPTIONS given at run time still adds to this or overrides it.
extern "C" const char* __lsan_default_options()
{
    return "suppressions='" VARIN_LSAN_SUPPRESSIONS "'";
}
