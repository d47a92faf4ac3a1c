#include "app/menu_access_keys.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

using Captions = std::vector<std::string>;

TEST(MenuAccessKeys, TheLauncherMenusGetTheirFirstLetters) {
  EXPECT_EQ(AssignAccessKeys({"File", "Help"}), (Captions{"&File", "&Help"}));
  EXPECT_EQ(AssignAccessKeys({"Play Opening Music", "-", "Quit"}), (Captions{"&Play Opening Music", "-", "&Quit"}));
  EXPECT_EQ(AssignAccessKeys({"About Fablewick", "-", "Fablewick Help"}),
            (Captions{"&About Fablewick", "-", "&Fablewick Help"}));
}

TEST(MenuAccessKeys, ALaterCaptionTakesItsFirstCharacterStillFree) {
  EXPECT_EQ(AssignAccessKeys({"Save", "Save As", "Sort"}), (Captions{"&Save", "S&ave As", "S&ort"}));
  // Comparison is in upper case: "s" is taken by "Save".
  EXPECT_EQ(AssignAccessKeys({"Save", "search"}), (Captions{"&Save", "s&earch"}));
  EXPECT_EQ(AssignAccessKeys({"open", "Options"}), (Captions{"&open", "O&ptions"}));
}

TEST(MenuAccessKeys, DigitsCountAndPunctuationIsSkipped) {
  EXPECT_EQ(AssignAccessKeys({"1 Game", "1 More", "...Zoom"}), (Captions{"&1 Game", "1 &More", "...&Zoom"}));
  EXPECT_EQ(AssignAccessKeys({"...zip", "a-z"}), (Captions{"...&zip", "&a-z"})) << "both ends of the alphabet";
}

TEST(MenuAccessKeys, SeparatorsAndEmptyCaptionsTakeNothing) {
  EXPECT_EQ(AssignAccessKeys({"-", "", "Quit", "-", "Queue"}), (Captions{"-", "", "&Quit", "-", "Q&ueue"}));
  // A caption that merely starts with "-" is an ordinary caption.
  EXPECT_EQ(AssignAccessKeys({"-x"}), (Captions{"-&x"}));
}

TEST(MenuAccessKeys, ACaptionWithNoFreeCharacterStaysWithoutKey) {
  EXPECT_EQ(AssignAccessKeys({"ab", "ba", "a b"}), (Captions{"&ab", "&ba", "a b"}));
  EXPECT_EQ(AssignAccessKeys({"?!"}), (Captions{"?!"}));
}

TEST(MenuAccessKeys, ALiteralAmpersandIsDoubled) {
  EXPECT_EQ(AssignAccessKeys({"&Tom & Jerry"}), (Captions{"&&&Tom && Jerry"}));
  EXPECT_EQ(AssignAccessKeys({"&"}), (Captions{"&&"}));
}

TEST(MenuAccessKeys, EachLevelStartsAfresh) {
  EXPECT_EQ(AssignAccessKeys({"Quit"}), (Captions{"&Quit"}));
  EXPECT_EQ(AssignAccessKeys({"Quit"}), (Captions{"&Quit"}));
}

TEST(MenuAccessKeys, CharactersAboveAsciiAreNeverKeys) {
  EXPECT_EQ(AssignAccessKeys({"\xC9t\xE9"}), (Captions{"\xC9&t\xE9"}));
}

} // namespace
} // namespace fablewick
