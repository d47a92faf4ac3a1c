// The least a program must do to show the launcher's artwork: a 560x420
// window with a two-menu bar, the same eleven bitmaps loaded the same way,
// and the sound engine started on the window as the launcher starts it.
// window_bench times it against Fablewick.exe.
#include "app/messages.h"
#include "app/startup_trace.h"
#include "resources/resource.h"
#include "sound/sound_engine.h"
#include "sound/win32/sound_window.h"

#include <windows.h>

#include <cstdio>

namespace {

class SilentMessages : public fablewick::Messages {
public:
  void ShowMessage(const std::string& text, fablewick::MessageType) override {
    OutputDebugStringA(text.c_str());
  }
};

HBITMAP pictures[1 + 2 * IDB_CAPTION_COUNT];

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, pictures[0]);
    BitBlt(dc, 0, 0, 560, 420, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(window, &paint);
    FABLEWICK_STARTUP_MARK("picture painted");
    return 0;
  }
  case WM_DESTROY:
    fablewick::StopAllSounds();
    fablewick::ShutdownSound();
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  FABLEWICK_STARTUP_MARK("entry");
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "FablewickStartupReference";
  RegisterClassA(&windowClass);

  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&File");
  AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&Help");
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, 560, 420};
  AdjustWindowRectEx(&frame, style, TRUE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Reference", style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                bar, instance, nullptr);
  if (window == nullptr) return 1;
  FABLEWICK_STARTUP_MARK("window created");

  static SilentMessages messages;
  fablewick::win32::InitSoundForWindow(window, messages);
  FABLEWICK_STARTUP_MARK("sound started");
  int loaded = 0;
  pictures[loaded++] = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_MENU), IMAGE_BITMAP, 0, 0, 0));
  for (int i = 0; i < IDB_CAPTION_COUNT; ++i) {
    pictures[loaded++] =
        static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_HOVER_FIRST + i), IMAGE_BITMAP, 0, 0, 0));
    pictures[loaded++] =
        static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_PRESSED_FIRST + i), IMAGE_BITMAP, 0, 0, 0));
  }

  FABLEWICK_STARTUP_MARK("bitmaps loaded");
  ShowWindow(window, SW_SHOWNORMAL);
  FABLEWICK_STARTUP_MARK("shown");
  UpdateWindow(window);
  FABLEWICK_STARTUP_MARK("updated");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  for (HBITMAP picture : pictures) DeleteObject(picture);
  return 0;
}
