// Entry point: drawing resources, the window class, the main window and the
// message loop.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include "resources.h"
#include "window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
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
