#pragma once

// The request by which a second start asks the running launcher to show
// itself. The running one does the showing itself: only it can be sure to
// get the foreground, which the system often refuses to a process that
// merely started.
#include "app/single_instance.h"

#include <windows.h>

#include <vector>

namespace fablewick::win32 {

// The class of the application window, to which the request is sent.
inline constexpr char kApplicationWindowClass[] = "FablewickApplication";

// The answer of a launcher that had a window to show and activated it.
inline constexpr LRESULT kCameForward = 0x46574B31;

// The request's message number, the same in every process of the session.
UINT ComeForwardMessage();

// Lets the request through to the window even from a start that runs with
// less privilege than this one (an elevated launcher, a normal start).
void AcceptComeForward(HWND applicationWindow);

// This process's visible top-level windows, topmost first.
std::vector<OwnWindow> OwnTopLevelWindows(HWND applicationWindow);

} // namespace fablewick::win32
