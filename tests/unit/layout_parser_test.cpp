#include "app/app_error.h"
#include "app/layout.h"
#include "app/shortcut.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

constexpr const char* Sample = R"(// a comment line
object frmTest: TfrmTest
  Caption = 'It''s a test'
  ClientWidth = 526
  Font.Height = -11
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  EmptySet = []
  OnShow = FormShow   // trailing comment

  object Menu1: TMainMenu
    object Quit1: TMenuItem
      Caption = 'Quit'
      ShortCut = 16465
    end
  end
  object Picture: TImage
    Left = 0
  end
end
)";

std::string ErrorOf(const std::string& text) {
  try {
    ParseLayout(text, "TEST");
  } catch (const AppError& error) {
    return error.what();
  }
  return "no error";
}

TEST(LayoutParser, ReadsObjectsPropertiesAndValuesOfEveryKind) {
  LayoutObject form = ParseLayout(Sample, "TEST");
  EXPECT_EQ(form.name, "frmTest");
  EXPECT_EQ(form.className, "TfrmTest");
  EXPECT_EQ(form.line, 2);
  ASSERT_EQ(form.properties.size(), 7u);
  EXPECT_EQ(form.Find("Caption")->AsString(), "It's a test");
  EXPECT_EQ(form.Find("ClientWidth")->AsInt(), 526);
  EXPECT_EQ(form.Find("Font.Height")->AsInt(), -11);
  EXPECT_EQ(form.Find("BorderStyle")->AsIdentifier(), "bsSingle");
  EXPECT_EQ(form.Find("BorderIcons")->AsSet(), (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
  EXPECT_TRUE(form.Find("EmptySet")->AsSet().empty());
  EXPECT_EQ(form.Find("OnShow")->AsIdentifier(), "FormShow");
  EXPECT_EQ(form.Find("OnShow")->line, 9);
  EXPECT_EQ(form.Find("Missing"), nullptr);

  ASSERT_EQ(form.children.size(), 2u);
  const LayoutObject& menu = form.children[0];
  EXPECT_EQ(menu.className, "TMainMenu");
  ASSERT_EQ(menu.children.size(), 1u);
  EXPECT_EQ(menu.children[0].name, "Quit1");
  EXPECT_EQ(menu.children[0].Find("ShortCut")->AsInt(), 16465);
  EXPECT_EQ(form.children[1].name, "Picture");
  EXPECT_EQ(form.children[1].line, 17);
}

TEST(LayoutParser, AcceptsWindowsLineEndsAndTabs) {
  LayoutObject form = ParseLayout("object a: Tb\r\n\tX = 1\r\nend\r\n", "TEST");
  EXPECT_EQ(form.Find("X")->AsInt(), 1);
}

TEST(LayoutParser, BadInputNamesTheLayoutAndTheLine) {
  EXPECT_EQ(ErrorOf("object a: Tb\n  Caption 'x'\nend\n"), "Layout TEST, line 2: expected '=' after Caption");
  EXPECT_EQ(ErrorOf("object a: Tb\n  Caption = 'x\nend\n"), "Layout TEST, line 2: unterminated string");
  EXPECT_EQ(ErrorOf("object a: Tb\n\n  X = 12ab\nend\n"), "Layout TEST, line 3: '12' is not a valid number");
  EXPECT_EQ(ErrorOf("object a: Tb\n  X = [a, b\nend\n"), "Layout TEST, line 2: unterminated set");
  EXPECT_EQ(ErrorOf("object a: Tb\n  X = 1 2\nend\n"), "Layout TEST, line 2: unexpected text '2'");
  EXPECT_EQ(ErrorOf("object a Tb\nend\n"), "Layout TEST, line 1: expected ':' after the object's name");
  EXPECT_EQ(ErrorOf("object a: Tb\n  object c: Td\n  X = 1\nend\n"), "Layout TEST, line 1: object a has no 'end'");
  EXPECT_EQ(ErrorOf("object a: Tb\nend\nobject c: Td\nend\n"),
            "Layout TEST, line 3: text after the end of the top-level object");
  EXPECT_EQ(ErrorOf("  // only a comment\n\n"), "Layout TEST, line 2: the layout is empty");
  EXPECT_EQ(ErrorOf(""), "Layout TEST, line 1: the layout is empty");
  EXPECT_EQ(ErrorOf("Caption = 'x'\n"), "Layout TEST, line 1: expected 'object'");
  EXPECT_EQ(ErrorOf("object a: Tb\n  X. = 1\nend\n"), "Layout TEST, line 2: expected a name after '.'");
}

TEST(LayoutParser, NumbersOutOfRangeAreErrorsNotWrappedValues) {
  EXPECT_EQ(ErrorOf("object a: Tb\n  X = 99999999999999999999\nend\n"),
            "Layout TEST, line 2: '99999999999999999999' is not a valid number");
  LayoutObject form = ParseLayout("object a: Tb\n  X = 4294967296\nend\n", "TEST");
  try {
    form.Find("X")->AsInt();
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "Layout TEST, line 2: X is out of range");
  }
}

TEST(LayoutParser, ValueOfTheWrongKindIsAnErrorWithTheLine) {
  LayoutObject form = ParseLayout("object a: Tb\n  Width = 'wide'\n  Visible = Maybe\nend\n", "TEST");
  try {
    form.Find("Width")->AsInt();
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "Layout TEST, line 2: Width should be a number, not a string");
  }
  try {
    form.Find("Visible")->AsBool();
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "Layout TEST, line 3: Visible should be True or False, not Maybe");
  }
}

TEST(LayoutParser, DeepNestingIsRefusedRatherThanExhaustingTheStack) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "object a" + std::to_string(i) + ": Tb\n";
  for (int i = 0; i < 100; ++i) text += "end\n";
  EXPECT_EQ(ErrorOf(text), "Layout TEST, line 33: objects nested too deeply");
}

TEST(LayoutColors, NamedAndSystemColours) {
  EXPECT_EQ(ColorFromIdentifier("clBlack"), 0u);
  EXPECT_EQ(ColorFromIdentifier("clBtnFace"), SystemColorFlag | 15u);
  EXPECT_EQ(ColorFromIdentifier("clNoSuchColour"), std::nullopt);
}

TEST(LayoutColors, AColourPropertyIsANumberOrAKnownNameAndAnythingElseNamesItsLine) {
  LayoutObject form = ParseLayout("object a: Tb\n  A = 255\n  B = clBtnFace\n  C = clMauve\n  D = 'red'\nend\n",
                                  "TEST");
  EXPECT_EQ(form.Find("A")->AsColor(), 0x0000FFu);
  EXPECT_EQ(form.Find("B")->AsColor(), SystemColorFlag | 15u);
  try {
    form.Find("C")->AsColor();
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "Layout TEST, line 4: unknown colour clMauve");
  }
  EXPECT_THROW(form.Find("D")->AsColor(), AppError);
}

TEST(MenuShortcuts, DecodeModifiersAndKeyAndSpellThemForTheMenu) {
  Shortcut quit = DecodeShortcut(16465);
  EXPECT_EQ(quit.key, 'Q');
  EXPECT_TRUE(quit.ctrl);
  EXPECT_FALSE(quit.shift);
  EXPECT_FALSE(quit.alt);
  EXPECT_EQ(ShortcutText(16465), "Ctrl+Q");
  EXPECT_EQ(ShortcutText(ShortcutShift | ShortcutCtrl | 'S'), "Shift+Ctrl+S");
  EXPECT_EQ(ShortcutText(ShortcutAlt | 0x73), "Alt+F4");
  EXPECT_EQ(ShortcutText(0x2E), "Del");
  EXPECT_EQ(ShortcutText(0), "");
}

} // namespace
} // namespace fablewick
