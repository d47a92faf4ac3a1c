#include "app/win32/application.h"
#include "intro/win32/tfrmsplashmovie.h"
#include "launcher/win32/tfrmmain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace fablewick::win32;
  try {
    App().SetTitle("Fablewick");
    App().CreateForm(frmmain);
    App().CreateForm(frmSplashMovie);
    App().Run();
  } catch (...) {
    App().ReportCurrentError();
  }
  App().DestroyForms();
  return 0;
}
