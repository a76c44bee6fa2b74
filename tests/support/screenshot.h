// Screen captures for tests and the walkthrough: the whole screen saved as a
// BMP file, and the pixels of a screen area or a bitmap read back.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;  // 0x00RRGGBB, top row first
    bool Empty() const { return rgb.empty(); }
    COLORREF At(int x, int y) const;
};

// What the screen shows in the area (screen coordinates).
Pixels CaptureScreen(const RECT& area);
// What the screen shows where the window is.
Pixels CaptureWindow(HWND hwnd);
// The pixels of a bitmap, as drawn on a true-colour screen.
Pixels BitmapPixels(HBITMAP bitmap);
// The pixels of a memory device context's selected bitmap.
Pixels DcPixels(HDC memoryDc);

bool SaveBmp(const Pixels& image, const std::string& path);
// The whole screen (the desktop window) into path; false when it could not be written.
bool SaveScreenshot(const std::string& path);
// build\screens\<name>.bmp, the folder made when missing.
std::string ScreenshotPath(const std::string& name);
