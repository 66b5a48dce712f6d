// Entry point: drawing resources, the window class, the main window and the
// message loop.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include "resources.h"
#include "window.h"

namespace {

// comctl32.dll is not one of the DLLs Windows always takes from its own
// folder, so it is not imported at load time, when the program's folder
// (often Downloads, where anything may lie beside it) would be searched
// first: it is loaded from the system folder here. Without it the program
// starts as it does when the call fails.
void init_common_controls() {
  const HMODULE comctl32 = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!comctl32) return;
  using init_function = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // Through void (*)(), which converts to any function type without a warning.
  const auto init = reinterpret_cast<init_function>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl32, "InitCommonControlsEx")));
  if (!init) return;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;
  init(&controls);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  // Before anything else: DLLs come from the system folder only.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  init_common_controls();
  create_drawing_resources();

  // Without a window nothing would ever post WM_QUIT, so stop here.
  if (!register_main_window_class(instance)) {
    delete_drawing_resources();
    return 1;
  }
  HWND window = create_main_window(instance);
  if (!window) {
    delete_drawing_resources();
    return 1;
  }

  if (big_icon) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
  if (small_icon)
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  ShowWindow(window, show_command);
  UpdateWindow(window);

  MSG message{};
  // GetMessageW gives -1 on error; treating that as a message would spin forever.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) process_message(message);

  delete_drawing_resources();
  return static_cast<int>(message.wParam);
}
