#pragma once

#include "intro/intro_view.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace fablewick::fakes {

// The intro window as the sequence sees it: a client area, the panel TV,
// close requests and the files present in the current directory.
class FakeIntroView : public IntroView {
public:
  static constexpr WindowHandle IntroWindow = 0x30030;
  WindowHandle Window() override { return IntroWindow; }

  std::int32_t Dpi() override { return dpi; }
  bool PresentOnScreen(WindowHandle window) override {
    Note("present " + std::string(window == IntroWindow ? "intro" : "main form"));
    return visible;
  }

  void SetClientSize(std::int32_t width, std::int32_t height) override {
    clientWidth = width;
    clientHeight = height;
  }
  std::int32_t ClientWidth() override { return clientWidth; }
  std::int32_t ClientHeight() override { return clientHeight; }

  void SetTVColourToForm() override { tvColourIsForm = true; }
  void ShowTV(bool visible) override {
    Note(visible ? "show TV" : "hide TV");
    tvVisible = visible;
  }
  void SetTVWidth(std::int32_t width) override { tvWidth = width; }
  void SetTVHeight(std::int32_t height) override { tvHeight = height; }
  void SetTVPosition(std::int32_t left, std::int32_t top) override {
    tvLeft = left;
    tvTop = top;
  }
  std::int32_t TVWidth() override { return tvWidth; }
  std::int32_t TVHeight() override { return tvHeight; }

  void Close() override {
    Note("close window");
    ++closes;
  }
  void PostClose() override {
    Note("post close");
    ++postedCloses;
  }
  void ShowMainForm(WindowHandle mainForm) override {
    Note("show main form");
    shownMainForm = mainForm;
  }
  bool IsPlainFile(const std::string& fileName) override {
    probed.push_back(fileName);
    return files.count(fileName) != 0;
  }
  DecoderCheck CheckDecoder(const std::string& fileName) override {
    const auto found = decoders.find(fileName);
    return found == decoders.end() ? DecoderCheck::NoneNeeded : found->second;
  }

  std::int32_t dpi = 96;
  // Whether the window is on screen, so that a paint of it can show.
  bool visible = true;
  std::map<std::string, DecoderCheck> decoders;
  std::int32_t clientWidth = 439;
  std::int32_t clientHeight = 426;
  bool tvColourIsForm = false;
  bool tvVisible = true;
  std::int32_t tvLeft = 24, tvTop = 32, tvWidth = 399, tvHeight = 362;
  int closes = 0;
  int postedCloses = 0;
  WindowHandle shownMainForm = 0;
  std::set<std::string> files;
  std::vector<std::string> probed;
  std::vector<std::string>* log = nullptr;

private:
  void Note(const std::string& what) {
    if (log) log->push_back(what);
  }
};

} // namespace fablewick::fakes
