#pragma once

// The program's error box as a user meets it at start-up: up before the
// launcher window appears, with the message in it.

#include "driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fablewick::e2e {

// Waits for the error box of `launcher` and checks that no launcher window
// is shown while it is up and that it carries `text`. Returns the box, or
// null when none came.
inline HWND ExpectStartupErrorBox(LauncherProcess& launcher, const std::string& text) {
  HWND box = launcher.WaitForDialog("Fablewick");
  if (box == nullptr) return nullptr;
  for (const TopWindow& top : launcher.Windows()) {
    EXPECT_FALSE(top.visible && top.hasMenu) << "the launcher shows before the error box is closed; "
                                             << Describe(launcher.Windows());
  }
  std::vector<std::string> texts = ChildTexts(box);
  EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), text))
      << "box texts: " << ::testing::PrintToString(texts);
  return box;
}

} // namespace fablewick::e2e
