#pragma once
#include <windows.h>

// The program's icon at the requested size, made from the embedded ICO
// image through a short-lived temporary file; null on any failure.
HICON load_app_icon(int cx, int cy);
