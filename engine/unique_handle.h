#pragma once
// One owner for every Win32 handle, in the spirit of WIL's unique_any: a
// small template with one alias per handle type, naming the call that
// releases it and the value that means "no handle" (null, or
// INVALID_HANDLE_VALUE where the creating call returns that). Owners are
// not copyable, only movable. The scoped SelectObject, BeginPaint and GetDC
// below keep everything they need to undo themselves, and unwind in reverse
// order of declaration (deselect, delete, EndPaint).
#include <windows.h>

#include <cstdint>

template <typename H, auto Close, std::intptr_t Empty = 0>
class unique_any {
 public:
  unique_any() = default;
  explicit unique_any(H handle) : handle_(handle) {}
  ~unique_any() { reset(); }
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : handle_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  static H empty() { return reinterpret_cast<H>(Empty); }
  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != empty(); }
  H release() {
    H handle = handle_;
    handle_ = empty();
    return handle;
  }
  void reset(H handle = empty()) {
    if (handle_ != empty()) Close(handle_);
    handle_ = handle;
  }
  // Releases what it holds and lends its storage to a call that returns a
  // new handle through a pointer (RegOpenKeyExW).
  H* put() {
    reset();
    return &handle_;
  }
  // Releases the handle now and tells whether that worked, for a file whose
  // last write may only fail as it closes.
  bool close() {
    const bool held = handle_ != empty();
    return held && Close(release());
  }

 private:
  H handle_ = empty();
};

using unique_file = unique_any<HANDLE, CloseHandle, -1>;  // CreateFileW
using unique_object = unique_any<HANDLE, CloseHandle>;    // processes, threads, events
using unique_find = unique_any<HANDLE, FindClose, -1>;    // FindFirstFileW
using unique_hkey = unique_any<HKEY, RegCloseKey>;
using unique_font = unique_any<HFONT, DeleteObject>;
using unique_brush = unique_any<HBRUSH, DeleteObject>;
using unique_pen = unique_any<HPEN, DeleteObject>;
using unique_bitmap = unique_any<HBITMAP, DeleteObject>;
using unique_memory_dc = unique_any<HDC, DeleteDC>;
using unique_icon = unique_any<HICON, DestroyIcon>;
using unique_module = unique_any<HMODULE, FreeLibrary>;

// Selects an object into a DC and selects the previous one back on exit.
class scoped_select {
 public:
  scoped_select(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~scoped_select() {
    if (previous_) SelectObject(dc_, previous_);
  }
  scoped_select(const scoped_select&) = delete;
  scoped_select& operator=(const scoped_select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint/EndPaint pair; keeps the window, which EndPaint needs too.
class scoped_paint {
 public:
  explicit scoped_paint(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~scoped_paint() { EndPaint(window_, &paint_); }
  scoped_paint(const scoped_paint&) = delete;
  scoped_paint& operator=(const scoped_paint&) = delete;

  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// GetDC/ReleaseDC pair; keeps the window, which ReleaseDC needs too.
class scoped_window_dc {
 public:
  explicit scoped_window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~scoped_window_dc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  scoped_window_dc(const scoped_window_dc&) = delete;
  scoped_window_dc& operator=(const scoped_window_dc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};
