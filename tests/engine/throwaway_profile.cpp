// The Windows tests empty %USERPROFILE%\.codex and delete OPENAI_API_KEY,
// the proxy values and the Internet settings of whoever runs them. So they
// run only where that costs nothing: in a throwaway Wine prefix made by
// tools/wine-prefix, or where the person running them has said so.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool running_under_wine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// tools/wine-prefix leaves this file on the C: drive of every prefix it makes.
bool in_throwaway_prefix() {
  return GetFileAttributesW(L"C:\\morvane-test-prefix") != INVALID_FILE_ATTRIBUTES;
}

bool user_allows_it() {
  wchar_t value[4] = {};
  return GetEnvironmentVariableW(L"MORVANE_TESTS_ON_MY_PROFILE", value, 4) == 1 && value[0] == L'1';
}

const bool profile_is_expendable = [] {
  if ((running_under_wine() && in_throwaway_prefix()) || user_allows_it()) return true;
  std::fputs(
      "Refusing to run: these tests delete the Codex configuration (%USERPROFILE%\\.codex),\n"
      "OPENAI_API_KEY and the proxy settings of the user who runs them. Run them with\n"
      "tools/test, which uses a throwaway Wine prefix, or set MORVANE_TESTS_ON_MY_PROFILE=1\n"
      "to run them on this profile anyway.\n",
      stderr);
  std::exit(2);
}();

}  // namespace
