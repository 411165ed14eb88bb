// The smallest honest Win32 program with a window: one class, one visible
// window, one message loop. The start-up and memory figures of horvane.exe
// are given as multiples of this one's, built with the same toolchain.
#include <windows.h>

#include "bare_frame.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (!bare::RegisterFrameClass(instance, L"BareWindow")) return 1;
  HWND hwnd = CreateWindowExW(0, L"BareWindow", L"Bare Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 424, 303, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, show);
  return bare::RunMessageLoop();
}
