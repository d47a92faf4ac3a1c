#include "intro/win32/tfrmsplashmovie.h"

namespace fablewick::win32 {

TfrmSplashMovie* frmSplashMovie = nullptr;

TfrmSplashMovie::TfrmSplashMovie()
    : Form({.name = "TfrmSplashMovie",
            .layoutResource = "TFRMSPLASHMOVIE",
            .layoutText = {},
            .handlers =
                {
                    Bind("FormCreate", this, &TfrmSplashMovie::FormCreate),
                    Bind("FormShow", this, &TfrmSplashMovie::FormShow),
                    Bind("TVClick", this, &TfrmSplashMovie::TVClick),
                    Bind("VCRNotify", this, &TfrmSplashMovie::VCRNotify),
                    Bind("FormClick", this, &TfrmSplashMovie::FormClick),
                    Bind("FormClose", this, &TfrmSplashMovie::FormClose),
                    Bind("FormActivate", this, &TfrmSplashMovie::FormActivate),
                },
            // The real player comes here: {"TMediaPlayer", factory}.
            .factories = {}}),
      VCR(Find<MediaPlayerControl>("VCR")),
      TV(Find<Panel>("TV")) {}

void TfrmSplashMovie::FormCreate() {}

void TfrmSplashMovie::FormShow() {}

void TfrmSplashMovie::TVClick() {}

void TfrmSplashMovie::VCRNotify() {}

void TfrmSplashMovie::FormClick() {}

// The close action stays caHide: the window is shown again by later
// modal shows, so it is never destroyed here.
void TfrmSplashMovie::FormClose(CloseAction&) {}

void TfrmSplashMovie::FormActivate() {}

void TfrmSplashMovie::SetMainForm(Form* mainForm) { MainForm = mainForm; }

bool TfrmSplashMovie::AnyMovieExists() { return false; }

bool TfrmSplashMovie::PlayNextMovie() { return false; }

bool TfrmSplashMovie::PlayMovie(const std::string&) { return false; }

} // namespace fablewick::win32
