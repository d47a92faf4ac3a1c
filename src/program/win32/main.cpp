#include "app/startup_trace.h"
#include "app/win32/application.h"
#include "app/win32/dll_search_path.h"
#include "app/win32/session_instances.h"
#include "intro/gamma_fade.h"
#include "intro/win32/gdi_gamma_display.h"
#include "intro/win32/screen_guard_role.h"
#include "intro/win32/tfrmsplashmovie.h"
#include "launcher/win32/tfrmmain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace fablewick::win32;
  LoadDllsOnlyFromSystemAndProgramFolder();
  FABLEWICK_STARTUP_MARK("entry");
  // Static, so that it outlives whatever may still give the screen back
  // while the process ends.
  static GdiGammaDisplay gammaDisplay;
  static fablewick::GammaFade gamma(gammaDisplay);
  if (TakeScreenGuardRole(gamma)) return 0;
  SessionInstances instances;
  if (instances.HandOverToRunning()) return 0;
  FABLEWICK_STARTUP_MARK("instance check");
  Tfrmmain::StartLoadingAhead();
  // The frame sets a form's reference before building the form and empties
  // it when destroying it, so it must outlive DestroyForms below.
  Tfrmmain* frmmain = nullptr;
  try {
    App().SetTitle("Fablewick");
    FABLEWICK_STARTUP_MARK("application window");
    App().CreateForm(frmmain);
    FABLEWICK_STARTUP_MARK("launcher created");
    frmmain->SetIntroWindowMaker(
        [](TfrmSplashMovie*& frmSplashMovie) { App().CreateForm(frmSplashMovie, gamma); });
    App().AfterFirstScreen([frmmain] {
      frmmain->LoadCaptionPictures();
      FABLEWICK_STARTUP_MARK("caption pictures loaded");
    });
    if (frmmain->IsFirstStart()) {
      frmmain->MakeIntroWindow();
      FABLEWICK_STARTUP_MARK("intro window created");
    } else {
      // Nothing on the first screen needs it; the launcher still makes it
      // at once if the intro is asked for before then.
      App().AfterFirstScreen([frmmain] {
        frmmain->MakeIntroWindow();
        FABLEWICK_STARTUP_MARK("intro window created");
      });
    }
    App().Run();
  } catch (...) {
    App().ReportCurrentError();
  }
  // Shutting down takes a while; a start meanwhile is a new launcher.
  instances.GiveUpName();
  App().DestroyForms();
  return 0;
}
