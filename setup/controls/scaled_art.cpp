#include "scaled_art.h"

#include <cstring>
#include <string>

#include "framework/function_cast.h"
#include "framework/scoped_handles.h"
#include "framework/win_app.h"

UINT WindowDpi(HWND hwnd) {
    // Bound at run time: systems before Windows 10 have no DPI per window.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto perWindow =
        FunctionCast<GetDpiForWindowFn>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow"));
    if (perWindow && hwnd) {
        if (UINT dpi = perWindow(hwnd))
            return dpi;
    }
    ScopedWindowDC screen(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

namespace {
SIZE BitmapSize(HGDIOBJ bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

HGDIOBJ LoadArt(UINT id) {
    return ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0);
}
}  // namespace

HBITMAP MakeFittedArt(UINT id100, ArtFit fit, SIZE box, COLORREF background) {
    SIZE art = BitmapSize(ScopedGdiObject(LoadArt(id100)).Get());
    ArtPlacement placement = PlaceArt(fit, ArtSize{art.cx, art.cy}, ArtSize{box.cx, box.cy});
    if (placement.image.width <= 0)
        return nullptr;
    ScopedGdiObject drawing(LoadArt(ScaledArtId(id100, placement.place)));
    if (!drawing)
        drawing.Reset(LoadArt(id100));
    SIZE own = BitmapSize(drawing.Get());
    const ArtSize& drawn = placement.drawn;
    const ArtSize& image = placement.image;

    ScopedWindowDC screen(nullptr);
    ScopedGdiObject result(::CreateCompatibleBitmap(screen.Get(), image.width, image.height));
    ScopedMemoryDC to(::CreateCompatibleDC(screen.Get()));
    ScopedMemoryDC from(::CreateCompatibleDC(screen.Get()));
    if (!result || !to || !from || own.cx <= 0)
        return nullptr;
    ScopedSelect target(to.Get(), result.Get());
    ScopedSelect origin(from.Get(), drawing.Get());
    RECT all{0, 0, image.width, image.height};
    ScopedGdiObject fill(::CreateSolidBrush(background));
    ::FillRect(to.Get(), &all, static_cast<HBRUSH>(fill.Get()));
    if (own.cx == drawn.width && own.cy == drawn.height) {
        ::BitBlt(to.Get(), 0, 0, drawn.width, drawn.height, from.Get(), 0, 0, SRCCOPY);
    } else {
        // Between two scales: the nearest drawing at or above, averaged down.
        ::SetStretchBltMode(to.Get(), HALFTONE);
        ::SetBrushOrgEx(to.Get(), 0, 0, nullptr);
        ::StretchBlt(to.Get(), 0, 0, drawn.width, drawn.height, from.Get(), 0, 0, own.cx, own.cy, SRCCOPY);
    }
    if (fit == ArtFit::Panel && image.width > drawn.width) {
        ::SetStretchBltMode(to.Get(), COLORONCOLOR);
        ::StretchBlt(to.Get(), drawn.width, 0, image.width - drawn.width, drawn.height, to.Get(), drawn.width - 1, 0, 1,
                     drawn.height, SRCCOPY);
    }
    return static_cast<HBITMAP>(result.Release());
}

namespace {
// Reads a template in the extended format, as the resource compiler writes
// DIALOGEX; every length is checked against the resource's size.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool Word(WORD& value) { return Read(&value, sizeof value); }
    bool Dword(DWORD& value) { return Read(&value, sizeof value); }
    bool Short(short& value) { return Read(&value, sizeof value); }
    bool Skip(size_t n) {
        if (n > m_size - m_at)
            return false;
        m_at += n;
        return true;
    }
    void AlignDword() { m_at = (m_at + 3) & ~static_cast<size_t>(3); }
    // A name or a number: 0 (none), 0xFFFF and a number, or a string.
    bool NameOrNumber(WORD& number, std::wstring* name = nullptr) {
        number = 0;
        WORD first = 0;
        if (!Word(first))
            return false;
        if (first == 0xFFFF)
            return Word(number);
        for (WORD ch = first; ch != 0;) {
            if (name)
                *name += static_cast<wchar_t>(ch);
            if (!Word(ch))
                return false;
        }
        return true;
    }
    bool Text() {
        WORD number = 0;
        std::wstring ignored;
        return NameOrNumber(number, &ignored) && number == 0;
    }

private:
    bool Read(void* out, size_t n) {
        if (m_at > m_size || n > m_size - m_at)
            return false;
        std::memcpy(out, m_data + m_at, n);
        m_at += n;
        return true;
    }
    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

const WORD kStaticClass = 0x0082;
}  // namespace

std::vector<TemplateArt> TemplateArtItems(UINT templateId) {
    std::vector<TemplateArt> items;
    HMODULE module = AfxGetInstanceHandle();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return items;
    TemplateReader in(static_cast<const BYTE*>(data), ::SizeofResource(module, found));
    WORD version = 0, signature = 0, count = 0, number = 0;
    DWORD style = 0;
    if (!in.Word(version) || !in.Word(signature) || version != 1 || signature != 0xFFFF)
        return items;
    // help id, extended style, style, count, position and size, menu, class, caption
    if (!in.Skip(8) || !in.Dword(style) || !in.Word(count) || !in.Skip(8) || !in.NameOrNumber(number) ||
        !in.NameOrNumber(number) || !in.Text())
        return items;
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        // point size, weight, italic, character set, face
        if (!in.Skip(6) || !in.Text())
            return items;
    }
    for (int i = 0; i < count; ++i) {
        in.AlignDword();
        DWORD itemStyle = 0, id = 0;
        short x = 0, y = 0, cx = 0, cy = 0;
        WORD cls = 0, title = 0, extra = 0;
        std::wstring className;
        if (!in.Skip(8) || !in.Dword(itemStyle) || !in.Short(x) || !in.Short(y) || !in.Short(cx) || !in.Short(cy) ||
            !in.Dword(id) || !in.NameOrNumber(cls, &className) || !in.NameOrNumber(title) || !in.Word(extra) ||
            !in.Skip(extra))
            return items;
        bool isStatic = cls == kStaticClass || ::lstrcmpiW(className.c_str(), L"Static") == 0;
        if (isStatic && (itemStyle & SS_TYPEMASK) == SS_BITMAP && title)
            items.push_back(TemplateArt{i, title, RECT{x, y, x + cx, y + cy}});
    }
    return items;
}
