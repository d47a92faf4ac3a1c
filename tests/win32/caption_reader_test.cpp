// The launcher's captions read from another process through MSAA, as a
// screen reader reads them: by pointing, by following the keyboard focus and
// by pressing.

#include "accessible_child.h"
#include "frame_test_helpers.h"
#include "launcher_program.h"

#include "../captions.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

using fablewick::testing::AccessibleChild;
using fablewick::testing::ChildrenOf;
using fablewick::testing::Launcher;
using fablewick::testing::TextOf;
using fablewick::testing::WaitUntil;

std::string Narrow(BSTR text) {
  std::string out;
  if (text) {
    for (UINT i = 0; i < SysStringLen(text); ++i) out += static_cast<char>(text[i]);
  }
  SysFreeString(text);
  return out;
}

struct FocusEvent {
  HWND window;
  LONG object;
  LONG child;
};
std::vector<FocusEvent> focusEvents;

void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  focusEvents.push_back({window, object, child});
}

// Whether the launcher has announced the focus on that child of its picture.
bool Announced(HWND picture, LONG child) {
  for (const FocusEvent& e : focusEvents) {
    if (e.window == picture && e.object == OBJID_CLIENT && e.child == child) return true;
  }
  return false;
}


class CaptionReader : public ::testing::Test {
protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(launcher.Window(), nullptr);
    ASSERT_NE(launcher.Picture(), nullptr);
  }
  void TearDown() override {
    if (client) client->Release();
    CoUninitialize();
  }

  // The client object of the picture, as AccessibleObjectFromWindow hands
  // it across the process boundary.
  IAccessible* Client() {
    if (!client) {
      AccessibleObjectFromWindow(launcher.Picture(), OBJID_CLIENT, __uuidof(IAccessible),
                                 reinterpret_cast<void**>(&client));
    }
    return client;
  }

  LONG State(LONG child) {
    VARIANT state;
    VariantInit(&state);
    EXPECT_EQ(Client()->get_accState(AccessibleChild(child), &state), S_OK);
    return state.vt == VT_I4 ? state.lVal : -1;
  }

  // Waits for the keyboard focus to reach the child, as the reader would
  // see it after the key stroke has been handled.
  bool FocusReaches(LONG child) {
    return WaitUntil(3000, [&] {
      VARIANT focus;
      VariantInit(&focus);
      return Client()->get_accFocus(&focus) == S_OK && focus.vt == VT_I4 && focus.lVal == child;
    });
  }

  Launcher launcher;
  IAccessible* client = nullptr;
};

TEST_F(CaptionReader, PointingAtEachCaptionFindsANamedPushButtonThatPressesAtItsRegion) {
  for (LONG i = 0; i < seen::kCaptionCount; ++i) {
    const seen::Caption& c = seen::kCaptions[i];
    SCOPED_TRACE(c.name);
    IAccessible* found = nullptr;
    VARIANT child;
    VariantInit(&child);
    const POINT at = launcher.ScreenPoint(c.CentreX(), c.CentreY());
    ASSERT_EQ(AccessibleObjectFromPoint(at, &found, &child), S_OK);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(child.vt, VT_I4);
    EXPECT_EQ(child.lVal, i + 1);

    BSTR text = nullptr;
    EXPECT_EQ(found->get_accName(child, &text), S_OK);
    EXPECT_EQ(Narrow(text), c.name);
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(found->get_accRole(child, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    text = nullptr;
    EXPECT_EQ(found->get_accDefaultAction(child, &text), S_OK);
    EXPECT_EQ(Narrow(text), "Press");

    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(found->accLocation(&left, &top, &width, &height, child), S_OK);
    const POINT corner = launcher.ScreenPoint(c.left, c.top);
    EXPECT_EQ(left, corner.x);
    EXPECT_EQ(top, corner.y);
    EXPECT_EQ(width, c.right - c.left);
    EXPECT_EQ(height, c.bottom - c.top);
    EXPECT_TRUE(State(i + 1) & STATE_SYSTEM_FOCUSABLE);
    found->Release();
  }
}

TEST_F(CaptionReader, TheGapRowsAndTheArtworkAreThePictureItselfNamedFablewick) {
  ASSERT_NE(Client(), nullptr);
  for (POINT p : {POINT{450, 89}, POINT{450, 260}, POINT{100, 200}}) {
    const POINT at = launcher.ScreenPoint(p.x, p.y);
    VARIANT hit;
    VariantInit(&hit);
    EXPECT_EQ(Client()->accHitTest(at.x, at.y, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, CHILDID_SELF) << p.x << "," << p.y;
  }
  BSTR name = nullptr;
  EXPECT_EQ(Client()->get_accName(AccessibleChild(CHILDID_SELF), &name), S_OK);
  EXPECT_EQ(Narrow(name), "Fablewick");
  VARIANT role;
  VariantInit(&role);
  EXPECT_EQ(Client()->get_accRole(AccessibleChild(CHILDID_SELF), &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);
  LONG count = 0;
  EXPECT_EQ(Client()->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 5);
}

TEST_F(CaptionReader, TheFocusedStateAndTheFocusFollowTabAndDown) {
  ASSERT_NE(Client(), nullptr);
  for (LONG i = 1; i <= 5; ++i) EXPECT_FALSE(State(i) & STATE_SYSTEM_FOCUSED) << i;
  DWORD process = 0;
  GetWindowThreadProcessId(launcher.Window(), &process);
  focusEvents.clear();
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnFocusEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);

  ASSERT_TRUE(launcher.Key(VK_TAB));
  ASSERT_TRUE(FocusReaches(1));
  EXPECT_TRUE(State(1) & STATE_SYSTEM_FOCUSED);
  EXPECT_TRUE(State(1) & STATE_SYSTEM_HOTTRACKED);
  EXPECT_TRUE(WaitUntil(3000, [&] { return Announced(launcher.Picture(), 1); }));

  ASSERT_TRUE(launcher.Key(VK_DOWN));
  ASSERT_TRUE(FocusReaches(2));
  EXPECT_TRUE(State(2) & STATE_SYSTEM_FOCUSED);
  EXPECT_FALSE(State(1) & STATE_SYSTEM_FOCUSED);
  EXPECT_TRUE(WaitUntil(3000, [&] { return Announced(launcher.Picture(), 2); }));

  // The reader can move the focus itself, as onto a push button.
  EXPECT_EQ(Client()->accSelect(SELFLAG_TAKEFOCUS, AccessibleChild(4)), S_OK);
  ASSERT_TRUE(FocusReaches(4));
  EXPECT_TRUE(State(4) & STATE_SYSTEM_FOCUSED);
  EXPECT_TRUE(WaitUntil(3000, [&] { return Announced(launcher.Picture(), 4); }));
  EXPECT_EQ(Client()->accSelect(SELFLAG_TAKESELECTION, AccessibleChild(4)), DISP_E_MEMBERNOTFOUND);
  UnhookWinEvent(hook);

  // Navigation walks the same order and stops at the ends.
  VARIANT next;
  VariantInit(&next);
  EXPECT_EQ(Client()->accNavigate(NAVDIR_NEXT, AccessibleChild(2), &next), S_OK);
  EXPECT_EQ(next.lVal, 3);
  VariantInit(&next);
  EXPECT_EQ(Client()->accNavigate(NAVDIR_NEXT, AccessibleChild(5), &next), S_FALSE);
  EXPECT_EQ(next.vt, VT_EMPTY);
  VariantInit(&next);
  EXPECT_EQ(Client()->accNavigate(NAVDIR_FIRSTCHILD, AccessibleChild(CHILDID_SELF), &next), S_OK);
  EXPECT_EQ(next.lVal, 1);
}

TEST_F(CaptionReader, ChildIdsOutsideTheFiveAreRefused) {
  ASSERT_NE(Client(), nullptr);
  for (LONG bad : {6L, -1L, 1000L}) {
    BSTR name = nullptr;
    EXPECT_EQ(Client()->get_accName(AccessibleChild(bad), &name), E_INVALIDARG) << bad;
    VARIANT state;
    VariantInit(&state);
    EXPECT_EQ(Client()->get_accState(AccessibleChild(bad), &state), E_INVALIDARG) << bad;
    EXPECT_EQ(Client()->accDoDefaultAction(AccessibleChild(bad)), E_INVALIDARG) << bad;
    LONG l, t, w, h;
    EXPECT_EQ(Client()->accLocation(&l, &t, &w, &h, AccessibleChild(bad)), E_INVALIDARG) << bad;
  }
  EXPECT_TRUE(launcher.Running());
}

TEST_F(CaptionReader, PressingAMissingGameShowsItsDialogAndTheLauncherStays) {
  ASSERT_NE(Client(), nullptr);
  ASSERT_EQ(Client()->accDoDefaultAction(AccessibleChild(3)), S_OK);

  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil(10000, [&] { return (dialog = launcher.FindWindowOfClass("TMessageForm")) != nullptr; }));
  EXPECT_EQ(TextOf(dialog), "Error");
  std::vector<std::string> texts;
  for (HWND child : ChildrenOf(dialog)) texts.push_back(TextOf(child));
  const std::string expected =
      "We're sorry, but we could not find the Caddle.exe application.\nPlease try reinstalling the card table "
      "package, or visit\nhttp://support.quillmere.example for more assistance.";
  EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << ::testing::PrintToString(texts);

  // While the dialog is up the captions are unavailable and a press does
  // nothing more.
  EXPECT_TRUE(State(3) & STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(Client()->accDoDefaultAction(AccessibleChild(2)), S_OK);

  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil(5000, [&] { return !IsWindowVisible(dialog); }));
  Sleep(300);
  EXPECT_EQ(launcher.FindWindowOfClass("TMessageForm"), nullptr);
  EXPECT_TRUE(launcher.Running());
  EXPECT_TRUE(IsWindowVisible(launcher.Window()));
  EXPECT_FALSE(State(3) & STATE_SYSTEM_UNAVAILABLE);
}

TEST_F(CaptionReader, AReaderHoldingTheObjectAfterTheLauncherHasGoneGetsErrors) {
  ASSERT_NE(Client(), nullptr);
  PostMessageA(launcher.Window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil(10000, [&] { return !launcher.Running(); }));
  BSTR name = nullptr;
  EXPECT_TRUE(FAILED(Client()->get_accName(AccessibleChild(1), &name)));
  LONG count = 0;
  EXPECT_TRUE(FAILED(Client()->get_accChildCount(&count)));
}

} // namespace
} // namespace fablewick::win32
