#include "app/error_text.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

TEST(ErrorBoxText, AppendsAFullStopAfterLettersDigitsSlashColonAndQuestionMark) {
  EXPECT_EQ(ErrorBoxText("Bitmap image is not valid"), "Bitmap image is not valid.");
  for (const char* message : {"code 7", "see c:/", "path:", "why?"}) {
    EXPECT_EQ(ErrorBoxText(message), std::string(message) + ".") << message;
  }
}

TEST(ErrorBoxText, LeavesMessagesEndingInPunctuationAtOrBelowTheFullStopAlone) {
  EXPECT_EQ(ErrorBoxText("Invalid data type for '128'"), "Invalid data type for '128'");
  for (const char* message : {"done.", "stop!", "(aside)", "list,", "trailing ", "x-"}) {
    EXPECT_EQ(ErrorBoxText(message), message) << message;
  }
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorBoxText, ComparesTheLastCharacterAsAnUnsignedByte) {
  // A byte of 0x80 or above is negative as a signed char but sorts after ".".
  EXPECT_EQ(ErrorBoxText("caf\xE9"), "caf\xE9.");
}

} // namespace
} // namespace fablewick
