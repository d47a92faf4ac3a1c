#pragma once

// The controls a layout can place on a form.
#include "app/win32/control.h"
#include "app/win32/media_player_control.h"
#include "app/win32/panel.h"
#include "app/win32/picture_control.h"
