// Keeps a Wine prefix's desktop process alive between test programs.
//
// Wine ends the desktop process (explorer.exe) when the last program that
// uses the desktop ends, and starts it again with the next one, which costs
// each test a second Wine start. This program takes the desktop and waits
// until the prefix's Wine server ends it; it shows nothing.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GetDesktopWindow();
  Sleep(INFINITE);
  return 0;
}
