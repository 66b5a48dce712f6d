// The embedded application icon, its loader and the program file's icon resource.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app_icon.h"
#include "ui_test_support.h"

extern const unsigned char app_icon_data[];
extern const std::size_t app_icon_data_size;

namespace {

const int image_sides[] = {16, 32, 48, 64, 128, 256};

std::uint32_t read_le(const unsigned char* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

std::uint32_t read_be32(const unsigned char* at) {
  return std::uint32_t{at[0]} << 24 | at[1] << 16 | at[2] << 8 | at[3];
}

std::wstring temp_directory() {
  wchar_t path[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, path);
  return std::wstring(path, length);
}

std::vector<std::wstring> files_in(const std::wstring& directory) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const unique_find search(FindFirstFileW((directory + L"*").c_str(), &found));
  if (!search) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

// Width and height of the icon's image, from its colour bitmap.
SIZE icon_size(HICON icon) {
  ICONINFO info{};
  SIZE size{0, 0};
  if (!GetIconInfo(icon, &info)) return size;
  const unique_bitmap colour(info.hbmColor);  // both are the caller's to delete
  const unique_bitmap mask(info.hbmMask);
  BITMAP bitmap{};
  if (colour && GetObjectW(colour.get(), sizeof bitmap, &bitmap)) {
    size = {bitmap.bmWidth, bitmap.bmHeight};
  }
  return size;
}

// The icon drawn over magenta: how many of its pixels came out gold, and
// whether its top-left corner (outside the rounded tile) stayed magenta.
struct drawn_icon {
  int gold_pixels = 0;
  bool corner_transparent = false;
};

drawn_icon draw(HICON icon, int side) {
  const COLORREF magenta = RGB(0xFF, 0x00, 0xFF);
  canvas image(side, side);
  image.fill(magenta);
  DrawIconEx(image.dc(), 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
  GdiFlush();

  drawn_icon result;
  result.corner_transparent = image.at({0, 0}) == magenta;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const COLORREF c = image.at({x, y});
      if (GetRValue(c) > 200 && GetGValue(c) > 140 && GetGValue(c) < 230 && GetBValue(c) < 110)
        ++result.gold_pixels;
    }
  }
  return result;
}

class scoped_temp_variables {
 public:
  scoped_temp_variables() {
    for (int i = 0; i < 2; ++i) {
      wchar_t value[32767];
      DWORD length = GetEnvironmentVariableW(names_[i], value, 32767);
      had_[i] = length > 0;
      saved_[i].assign(value, length);
    }
  }
  ~scoped_temp_variables() {
    for (int i = 0; i < 2; ++i) {
      SetEnvironmentVariableW(names_[i], had_[i] ? saved_[i].c_str() : nullptr);
    }
  }
  void point_to(const wchar_t* directory) {
    for (const wchar_t* name : names_) SetEnvironmentVariableW(name, directory);
  }

 private:
  const wchar_t* names_[2] = {L"TMP", L"TEMP"};
  bool had_[2] = {false, false};
  std::wstring saved_[2];
};

TEST(icon_tests, embedded_image_is_six_png_images_packed_in_order) {
  const unsigned char* ico = app_icon_data;
  ASSERT_GE(app_icon_data_size, 6u + 6 * 16);
  EXPECT_EQ(read_le(ico, 2), 0u);
  EXPECT_EQ(read_le(ico + 2, 2), 1u);
  ASSERT_EQ(read_le(ico + 4, 2), 6u);

  std::uint32_t expected_offset = 6 + 6 * 16;
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(image_sides[i]);
    const unsigned char* entry = ico + 6 + 16 * i;
    unsigned stored_side = image_sides[i] == 256 ? 0 : image_sides[i];
    EXPECT_EQ(entry[0], stored_side);
    EXPECT_EQ(entry[1], stored_side);
    EXPECT_EQ(entry[2], 0);  // colour count
    EXPECT_EQ(entry[3], 0);  // reserved
    EXPECT_EQ(read_le(entry + 4, 2), 0u);
    EXPECT_EQ(read_le(entry + 6, 2), 32u);
    std::uint32_t size = read_le(entry + 8, 4);
    std::uint32_t offset = read_le(entry + 12, 4);
    ASSERT_EQ(offset, expected_offset);
    ASSERT_LE(std::size_t{offset} + size, app_icon_data_size);
    expected_offset = offset + size;

    // A PNG whose first chunk is IHDR: side x side, 8-bit, colour type 6 (RGBA).
    const unsigned char* png = ico + offset;
    ASSERT_GE(size, 8u + 25u);
    EXPECT_EQ(std::memcmp(png, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(std::memcmp(png + 12, "IHDR", 4), 0);
    EXPECT_EQ(read_be32(png + 16), std::uint32_t(image_sides[i]));
    EXPECT_EQ(read_be32(png + 20), std::uint32_t(image_sides[i]));
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 6);
    EXPECT_EQ(std::memcmp(ico + offset + size - 8, "IEND", 4), 0);
  }
  EXPECT_EQ(expected_offset, app_icon_data_size);
}

TEST(icon_tests, loads_each_size_and_leaves_no_file_behind) {
  std::wstring temp = temp_directory();
  ASSERT_FALSE(temp.empty());
  std::vector<std::wstring> before = files_in(temp);

  for (int side : {16, 32, 48}) {
    SCOPED_TRACE(side);
    const unique_icon icon(load_app_icon(side, side));
    ASSERT_TRUE(icon);
    SIZE size = icon_size(icon.get());
    EXPECT_EQ(size.cx, side);
    EXPECT_EQ(size.cy, side);
    drawn_icon drawn = draw(icon.get(), side);
    EXPECT_TRUE(drawn.corner_transparent);
    EXPECT_GE(drawn.gold_pixels, side * side / 10);  // the key is there
  }
  EXPECT_EQ(files_in(temp), before);
}

TEST(icon_tests, unusable_temp_directory_gives_no_icon_and_no_file) {
  std::wstring temp = temp_directory();
  std::vector<std::wstring> before = files_in(temp);
  const wchar_t* missing = L"C:\\morvane-missing-temp\\";
  {
    scoped_temp_variables variables;
    variables.point_to(missing);
    ASSERT_EQ(temp_directory(), missing);
    EXPECT_EQ(load_app_icon(32, 32), nullptr);
    EXPECT_EQ(load_app_icon(16, 16), nullptr);
  }
  EXPECT_EQ(GetFileAttributesW(missing), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(temp_directory(), temp);  // the variables came back
  EXPECT_EQ(files_in(temp), before);
}

// morvane.exe is built beside this test program; its icon resource must be
// the embedded image: one group 0 in US English listing icons 1 to 6.
TEST(icon_tests, program_file_carries_the_same_icon_resource) {
  wchar_t own_path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, own_path, MAX_PATH);
  std::wstring program(own_path, length);
  program.erase(program.find_last_of(L"\\/") + 1);
  program += L"morvane.exe";
  const unique_module program_file(LoadLibraryExW(
      program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(program_file) << "morvane.exe not found beside the test program";
  const HMODULE module = program_file.get();

  const WORD us_english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  std::vector<ULONG_PTR> groups;
  EnumResourceNamesW(
      module, RT_GROUP_ICON,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
        reinterpret_cast<std::vector<ULONG_PTR>*>(found)->push_back(
            reinterpret_cast<ULONG_PTR>(name));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_EQ(groups, std::vector<ULONG_PTR>{0});

  HRSRC group_info = FindResourceExW(module, RT_GROUP_ICON, MAKEINTRESOURCEW(0), us_english);
  ASSERT_NE(group_info, nullptr);
  auto* group = static_cast<const unsigned char*>(LockResource(LoadResource(module, group_info)));
  ASSERT_EQ(SizeofResource(module, group_info), 6u + 6 * 14);
  ASSERT_EQ(read_le(group + 4, 2), 6u);

  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(image_sides[i]);
    const unsigned char* entry = group + 6 + 14 * i;
    const unsigned char* ico_entry = app_icon_data + 6 + 16 * i;
    EXPECT_EQ(entry[0], ico_entry[0]);
    EXPECT_EQ(entry[1], ico_entry[1]);
    std::uint32_t size = read_le(ico_entry + 8, 4);
    EXPECT_EQ(read_le(entry + 8, 4), size);
    EXPECT_EQ(read_le(entry + 12, 2), std::uint32_t(i + 1));

    HRSRC image_info = FindResourceExW(module, RT_ICON, MAKEINTRESOURCEW(i + 1), us_english);
    ASSERT_NE(image_info, nullptr);
    ASSERT_EQ(SizeofResource(module, image_info), size);
    const void* image = LockResource(LoadResource(module, image_info));
    EXPECT_EQ(std::memcmp(image, app_icon_data + read_le(ico_entry + 12, 4), size), 0);
  }
}

}  // namespace
