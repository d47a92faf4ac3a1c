#pragma once

#include "app/win32/form.h"

#include <string>

namespace fablewick::win32 {

// The full-screen intro movie window, built from the layout
// "TFRMSPLASHMOVIE": the video panel TV and the media player VCR.
class TfrmSplashMovie : public Form {
public:
  TfrmSplashMovie();

  MediaPlayerControl* VCR;
  Panel* TV;

  void FormCreate();
  void FormShow();
  void TVClick();
  void VCRNotify();
  void FormClick();
  void FormClose(CloseAction& action);
  void FormActivate();

  void SetMainForm(Form* mainForm);
  bool AnyMovieExists();
  bool PlayNextMovie();
  bool PlayMovie(const std::string& fileName);

private:
  Form* MainForm = nullptr;
};

// The one intro window of the process, set by Application::CreateForm before
// its constructor runs.
extern TfrmSplashMovie* frmSplashMovie;

} // namespace fablewick::win32
