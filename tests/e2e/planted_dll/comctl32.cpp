// A stand-in for comctl32.dll, planted beside a copy of a program as a
// drive-by download would be. Loading it leaves a mark beside it; the test
// checks that the program never does.
#include <windows.h>

#include "unique_handle.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t mark[MAX_PATH + 32];
  DWORD length = GetModuleFileNameW(instance, mark, MAX_PATH);
  while (length > 0 && mark[length - 1] != L'\\') --length;
  lstrcpyW(mark + length, L"planted-dll-loaded");
  const unique_file file(CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return TRUE;
}

// What the programs take from the real comctl32.dll.
extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) {
  return TRUE;
}
