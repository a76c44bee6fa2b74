#include "screenshot.h"

#include "framework/scoped_handles.h"
#include "test_paths.h"

namespace {
// A top-down 32-bit DIB section that the pixels are copied into.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = ::CreateCompatibleDC(nullptr);
        bitmap.Reset(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bitmap)
            previous = ::SelectObject(dc, bitmap.Get());
    }
    ~Canvas() {
        if (previous)
            ::SelectObject(dc, previous);
        ::DeleteDC(dc);
    }
    Pixels Read() const {
        Pixels p;
        if (!bits)
            return p;
        ::GdiFlush();
        p.width = width;
        p.height = height;
        const auto* src = static_cast<const uint32_t*>(bits);
        p.rgb.assign(src, src + static_cast<size_t>(width) * height);
        for (uint32_t& v : p.rgb)
            v &= 0xFFFFFF;
        return p;
    }
    int width, height;
    HDC dc = nullptr;
    ScopedGdiObject bitmap;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};
}  // namespace

COLORREF Pixels::At(int x, int y) const {
    uint32_t v = rgb[static_cast<size_t>(y) * width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

Pixels CaptureScreen(const RECT& area) {
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return Pixels();
    Canvas canvas(w, h);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas.dc, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    return canvas.Read();
}

Pixels CaptureWindow(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return CaptureScreen(rc);
}

Pixels BitmapPixels(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info))
        return Pixels();
    Canvas canvas(info.bmWidth, info.bmHeight);
    HDC source = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(canvas.dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return canvas.Read();
}

Pixels DcPixels(HDC memoryDc) {
    return BitmapPixels(static_cast<HBITMAP>(::GetCurrentObject(memoryDc, OBJ_BITMAP)));
}

bool SaveBmp(const Pixels& image, const std::string& path) {
    if (image.Empty())
        return false;
    int rowBytes = (image.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = image.height;  // bottom-up rows, as every reader expects
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes) * image.height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::vector<unsigned char> data(header.biSizeImage);
    for (int y = 0; y < image.height; ++y) {
        unsigned char* row = data.data() + static_cast<size_t>(image.height - 1 - y) * rowBytes;
        for (int x = 0; x < image.width; ++x) {
            uint32_t v = image.rgb[static_cast<size_t>(y) * image.width + x];
            row[x * 3] = v & 0xFF;
            row[x * 3 + 1] = (v >> 8) & 0xFF;
            row[x * 3 + 2] = (v >> 16) & 0xFF;
        }
    }
    ScopedHandle out(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(out.Get(), &file, sizeof file, &written, nullptr) &&
              ::WriteFile(out.Get(), &header, sizeof header, &written, nullptr) &&
              ::WriteFile(out.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
              written == data.size();
    return ok;
}

bool SaveScreenshot(const std::string& path) {
    RECT screen{};
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    return SaveBmp(CaptureScreen(screen), path);
}

std::string ScreenshotPath(const std::string& name) {
    std::string folder = TEST_BUILD_DIR "\\screens";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name + ".bmp";
}
