#include "app_icon.h"

#include <cstddef>
#include <cwchar>

#include "unique_handle.h"

// The ICO image of assets/morvane.ico, generated into the build at build time.
extern const unsigned char app_icon_data[];
extern const std::size_t app_icon_data_size;

namespace {

// The temporary name with its extension replaced by ".ico" (or ".ico"
// appended when it has none); false when that would not fit in MAX_PATH.
bool make_icon_file_name(wchar_t* name) {
  std::size_t length = std::wcslen(name);
  const wchar_t* dot = std::wcsrchr(name, L'.');
  std::size_t stem = dot != nullptr ? static_cast<std::size_t>(dot - name) : length;
  if (stem + 5 > MAX_PATH) return false;
  std::wmemcpy(name + stem, L".ico", 5);
  return true;
}

}  // namespace

HICON load_app_icon(int cx, int cy) {
  // A result of MAX_PATH or more means the path did not fit and the buffer
  // holds nothing usable.
  wchar_t directory[MAX_PATH];
  DWORD directory_length = GetTempPathW(MAX_PATH, directory);
  if (directory_length == 0 || directory_length >= MAX_PATH) return nullptr;

  // Only the name is wanted: the system guarantees it is not taken, and
  // the empty file it creates goes again at once.
  wchar_t name[MAX_PATH];
  if (GetTempFileNameW(directory, L"mvn", 0, name) == 0) return nullptr;
  DeleteFileW(name);
  if (!make_icon_file_name(name)) return nullptr;

  {
    const unique_file file(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) return nullptr;
    // A short write is not checked: the load below fails on a broken file.
    DWORD written = 0;
    WriteFile(file.get(), app_icon_data, static_cast<DWORD>(app_icon_data_size), &written, nullptr);
  }  // closed before the load reads it

  HANDLE icon = LoadImageW(nullptr, name, IMAGE_ICON, cx, cy, LR_LOADFROMFILE);
  DeleteFileW(name);
  return static_cast<HICON>(icon);
}
