#include "launcher/win32/tfrmmain.h"

namespace fablewick::win32 {

Tfrmmain* frmmain = nullptr;

Tfrmmain::Tfrmmain()
    : Form({.name = "Tfrmmain",
            .layoutResource = "TFRMMAIN",
            .layoutText = {},
            .handlers =
                {
                    Bind("FormCreate", this, &Tfrmmain::FormCreate),
                    Bind("FormDestroy", this, &Tfrmmain::FormDestroy),
                    Bind("FormShow", this, &Tfrmmain::FormShow),
                    Bind("BackgroundMouseDown", this, &Tfrmmain::BackgroundMouseDown),
                    Bind("BackgroundMouseMove", this, &Tfrmmain::BackgroundMouseMove),
                    Bind("BackgroundMouseUp", this, &Tfrmmain::BackgroundMouseUp),
                    Bind("PlayOpeningMusic1Click", this, &Tfrmmain::PlayOpeningMusic1Click),
                    Bind("Quit1Click", this, &Tfrmmain::Quit1Click),
                    Bind("AboutFablewick1Click", this, &Tfrmmain::AboutFablewick1Click),
                    Bind("FablewickHelp1Click", this, &Tfrmmain::FablewickHelp1Click),
                },
            .factories = {}}),
      Background(Find<PictureControl>("Background")),
      MainMenu1(Find<MainMenu>("MainMenu1")),
      File1(Find<MenuItem>("File1")),
      PlayOpeningMusic1(Find<MenuItem>("PlayOpeningMusic1")),
      N1(Find<MenuItem>("N1")),
      Quit1(Find<MenuItem>("Quit1")),
      Help1(Find<MenuItem>("Help1")),
      AboutFablewick1(Find<MenuItem>("AboutFablewick1")),
      N2(Find<MenuItem>("N2")),
      FablewickHelp1(Find<MenuItem>("FablewickHelp1")) {
  MusicEnabled = true;
}

void Tfrmmain::FormCreate() {
  // Until the pictures are loaded here, give the window the picture's size.
  Background->SetBounds(0, 0, 560, 420);
  SetClientSize(Background->Width(), Background->Height());
}

void Tfrmmain::FormDestroy() {}

void Tfrmmain::FormShow() {}

void Tfrmmain::BackgroundMouseDown(MouseButton, ShiftState, int, int) {}

void Tfrmmain::BackgroundMouseMove(ShiftState, int, int) {}

void Tfrmmain::BackgroundMouseUp(MouseButton, ShiftState, int, int) {}

void Tfrmmain::PlayOpeningMusic1Click() {}

void Tfrmmain::Quit1Click() {}

void Tfrmmain::AboutFablewick1Click() {}

void Tfrmmain::FablewickHelp1Click() {}

} // namespace fablewick::win32
