// Resource identifiers shared by Fablewick.rc and the C++ code. Plain
// #defines, since the resource compiler's preprocessor knows nothing else.
#ifndef FABLEWICK_RESOURCES_RESOURCE_H
#define FABLEWICK_RESOURCES_RESOURCE_H

// Bitmaps (24-bit). The hover pictures and pressed overlays are numbered
// from a first id by caption index 0..4; the captions' catalogue
// (launcher/hot_region.h) fails to compile when these disagree with it.
#define IDB_MENU 128
#define IDB_HOVER_FIRST 200
#define IDB_HOVER_LAST 204
#define IDB_PRESSED_FIRST 300
#define IDB_PRESSED_LAST 304
#define IDB_CAPTION_COUNT 5

// Sounds, custom resource type "WAVE", each a complete RIFF WAVE image.
#define IDW_CLICK 128
#define IDW_TICK 129
#define IDW_QUIT 130
#define IDW_OPENING_MUSIC 132
#define IDW_SHUFFLE 3176
#define IDW_DEAL 3177
#define IDW_CHIPS 3178
#define IDW_TOCK 3179

// The sounds' resource type is named, not numbered.
#define FABLEWICK_WAVE_TYPE "WAVE"

#endif
