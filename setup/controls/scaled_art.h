// The art at the window's DPI: the drawing of the nearest scale, fitted to
// the box the dialog units give it. At 96 DPI the templates' own bitmaps stay.
#pragma once
#include <windows.h>

#include <vector>

#include "art_scale.h"

inline constexpr UINT kBaseDpi = 96;

// The window's DPI where the system keeps one per window, else the screen's.
UINT WindowDpi(HWND hwnd);

// The art resource id100 (its 100 % number) fitted to a box of that size;
// Contain leaves the rest of the box in the background colour. Null on failure.
HBITMAP MakeFittedArt(UINT id100, ArtFit fit, SIZE box, COLORREF background);

// A picture control of a dialog template: its place among the template's
// controls (the order their windows are made in), its bitmap and its rectangle
// in dialog units.
struct TemplateArt {
    int index = 0;
    UINT bitmapId = 0;
    RECT units{};
};
std::vector<TemplateArt> TemplateArtItems(UINT templateId);
