#include "app/win32/application.h"
#include "app/win32/session_instances.h"
#include "intro/win32/tfrmsplashmovie.h"
#include "launcher/win32/tfrmmain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace fablewick::win32;
  SessionInstances instances;
  if (instances.HandOverToRunning()) return 0;
  try {
    App().SetTitle("Fablewick");
    App().CreateForm(frmmain);
    App().CreateForm(frmSplashMovie);
    App().Run();
  } catch (...) {
    App().ReportCurrentError();
  }
  // Shutting down takes a while; a start meanwhile is a new launcher.
  instances.Release();
  App().DestroyForms();
  return 0;
}
