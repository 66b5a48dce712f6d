#pragma once
// Owners for Win32 handles: one small template with one alias per handle
// type, plus scoped SelectObject and BeginPaint that undo themselves in
// reverse order of declaration (deselect, delete, EndPaint).
#include <windows.h>

template <typename H, auto Close>
class unique_handle {
 public:
  unique_handle() = default;
  explicit unique_handle(H handle) : handle_(handle) {}
  ~unique_handle() { reset(); }
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  H release() {
    H handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void reset(H handle = nullptr) {
    if (handle_) Close(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = nullptr;
};

using unique_font = unique_handle<HFONT, DeleteObject>;
using unique_brush = unique_handle<HBRUSH, DeleteObject>;
using unique_pen = unique_handle<HPEN, DeleteObject>;
using unique_bitmap = unique_handle<HBITMAP, DeleteObject>;
using unique_memory_dc = unique_handle<HDC, DeleteDC>;

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
