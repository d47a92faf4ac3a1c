#pragma once

#include "app/win32/form.h"
#include "app/win32/system_clock.h"
#include "intro/gamma_fade.h"
#include "intro/intro_sequence.h"
#include "intro/intro_view.h"
#include "intro/win32/layered_overlay.h"
#include "intro/win32/vcr_player.h"
#include "intro/win32/win32_desktop.h"

#include <memory>
#include <string>

namespace fablewick::win32 {

// The full-screen intro movie window, built from the layout
// "TFRMSPLASHMOVIE": the video panel TV and the media player VCR. Its
// handlers hand every decision to IntroSequence; this class only carries
// them out on the window, its panel and the player.
class TfrmSplashMovie : public Form {
public:
  // `gamma` is the fade the intro darkens the screen through.
  TfrmSplashMovie(FormHost& host, GammaFade& gamma);
  ~TfrmSplashMovie() override;

  VcrPlayer* VCR;
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

  // The sequence's state, for tests.
  const IntroSequence& Sequence() const { return *sequence_; }

protected:
  bool FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  // The window as the sequence sees it.
  class View : public IntroView {
  public:
    explicit View(TfrmSplashMovie& form) : form_(form) {}
    WindowHandle Window() override;
    std::int32_t Dpi() override;
    bool PresentOnScreen(WindowHandle window) override;
    void SetClientSize(std::int32_t width, std::int32_t height) override;
    std::int32_t ClientWidth() override;
    std::int32_t ClientHeight() override;
    void SetTVColourToForm() override;
    void ShowTV(bool visible) override;
    void SetTVWidth(std::int32_t width) override;
    void SetTVHeight(std::int32_t height) override;
    void SetTVPosition(std::int32_t left, std::int32_t top) override;
    std::int32_t TVWidth() override;
    std::int32_t TVHeight() override;
    void Close() override;
    void PostClose() override;
    void ShowMainForm(WindowHandle mainForm) override;
    bool IsPlainFile(const std::string& fileName) override;
    DecoderCheck CheckDecoder(const std::string& fileName) override;

  private:
    TfrmSplashMovie& form_;
  };

  View view_{*this};
  Win32Desktop desktop_;
  LayeredOverlay overlay_;
  SystemClock clock_;
  std::unique_ptr<IntroSequence> sequence_;
};

} // namespace fablewick::win32
