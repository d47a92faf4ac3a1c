#pragma once

#include "app/win32/form.h"

namespace fablewick::win32 {

// The launcher window: the menu picture, its menu bar and the handlers that
// the layout "TFRMMAIN" binds.
class Tfrmmain : public Form {
public:
  Tfrmmain();

  PictureControl* Background;
  MainMenu* MainMenu1;
  MenuItem* File1;
  MenuItem* PlayOpeningMusic1;
  MenuItem* N1;
  MenuItem* Quit1;
  MenuItem* Help1;
  MenuItem* AboutFablewick1;
  MenuItem* N2;
  MenuItem* FablewickHelp1;

  bool MusicEnabled = false;

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void BackgroundMouseDown(MouseButton button, ShiftState shift, int x, int y);
  void BackgroundMouseMove(ShiftState shift, int x, int y);
  void BackgroundMouseUp(MouseButton button, ShiftState shift, int x, int y);
  void PlayOpeningMusic1Click();
  void Quit1Click();
  void AboutFablewick1Click();
  void FablewickHelp1Click();
};

// The one launcher window of the process, set by Application::CreateForm
// before its constructor runs.
extern Tfrmmain* frmmain;

} // namespace fablewick::win32
