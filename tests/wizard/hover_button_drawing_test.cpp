// The look of the wizard's push button, drawn into a memory bitmap: outline,
// gradient face, hover and focus frames, caption placement and embossing.
#include <gtest/gtest.h>

#include <algorithm>

#include "screenshot.h"
#include "setup/controls/hover_button.h"

namespace {

const COLORREF kBackground = RGB(255, 0, 255);

// A button drawn into a fresh true-colour bitmap of the size a page gives it.
class DrawnButton {
public:
    DrawnButton(CHoverButton& button, UINT itemState, const char* caption = "&Next", int width = 74, int height = 22) {
        item = RECT{0, 0, width, height};
        face = item;
        ::InflateRect(&face, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        ScopedGdiObject bitmap(::CreateCompatibleBitmap(screen, width, height));
        ::ReleaseDC(nullptr, screen);
        ScopedGdiObject font(::CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
        {
            ScopedSelect select(dc, bitmap.Get());
            ScopedGdiObject fill(::CreateSolidBrush(kBackground));
            ::FillRect(dc, &item, static_cast<HBRUSH>(fill.Get()));
            button.Paint(dc, item, itemState, caption, static_cast<HFONT>(font.Get()));
        }
        ::DeleteDC(dc);
        pixels = BitmapPixels(static_cast<HBITMAP>(bitmap.Get()));
    }
    COLORREF At(int x, int y) const { return pixels.At(x, y); }
    int MidY() const { return (face.top + face.bottom) / 2; }

    // Box around the dark (text) pixels inside the face.
    RECT TextBox() const {
        RECT box{face.right, face.bottom, face.left, face.top};
        for (int y = face.top; y < face.bottom; ++y)
            for (int x = face.left; x < face.right; ++x) {
                COLORREF c = At(x, y);
                if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
                    box.left = std::min(box.left, static_cast<LONG>(x));
                    box.top = std::min(box.top, static_cast<LONG>(y));
                    box.right = std::max(box.right, static_cast<LONG>(x + 1));
                    box.bottom = std::max(box.bottom, static_cast<LONG>(y + 1));
                }
            }
        return box;
    }
    bool FaceHolds(COLORREF colour) const {
        for (int y = face.top + 2; y < face.bottom - 2; ++y)
            for (int x = face.left + 3; x < face.right - 3; ++x)
                if (At(x, y) == colour)
                    return true;
        return false;
    }

    RECT item{}, face{};
    Pixels pixels;
};

COLORREF Inverse(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

TEST(HoverButtonLook, RoundedBlackOutline) {
    CHoverButton button;
    DrawnButton drawn(button, 0);
    EXPECT_EQ(drawn.At(0, drawn.MidY()), RGB(0, 0, 0));
    EXPECT_EQ(drawn.At(drawn.item.right - 1, drawn.MidY()), RGB(0, 0, 0));
    EXPECT_EQ(drawn.At(drawn.item.right / 2, 0), RGB(0, 0, 0));
    EXPECT_EQ(drawn.At(0, 0), kBackground) << "corners are rounded";
}

// Brush 0 (white) at the top row of the face, brush 63 on its bottom edge.
TEST(HoverButtonLook, FaceGradientEndsInTheColourOfTheState) {
    const struct {
        const char* name;
        UINT state;
        COLORREF bottom;
    } cases[] = {
        {"plain", 0, RGB(234, 234, 243)},
        {"default button without focus", ODS_DEFAULT, RGB(234, 234, 240)},
        {"pressed", ODS_SELECTED, RGB(234, 234, 240)},
    };
    for (const auto& c : cases) {
        CHoverButton button;
        DrawnButton drawn(button, c.state);
        int x = drawn.face.left + 1;
        EXPECT_EQ(drawn.At(x, drawn.face.top), RGB(255, 255, 255)) << c.name;
        EXPECT_EQ(drawn.At(x, drawn.face.bottom), c.bottom) << c.name;
        EXPECT_EQ(button.m_bActive, c.state != 0) << c.name;
    }
}

TEST(HoverButtonLook, PointerOnTheButtonDrawsTheOrangeFrameFocusedOrNot) {
    for (UINT state : {0u, static_cast<UINT>(ODS_FOCUS)}) {
        CHoverButton button;
        button.m_bHover = TRUE;
        DrawnButton drawn(button, state);
        const RECT& f = drawn.face;
        SCOPED_TRACE(state ? "focused" : "not focused");
        EXPECT_EQ(drawn.At(f.left, drawn.MidY()), RGB(250, 196, 88));
        EXPECT_EQ(drawn.At(f.right - 1, drawn.MidY()), RGB(251, 202, 106));
        EXPECT_EQ(drawn.At(f.left + 5, f.top), RGB(252, 210, 121));
        EXPECT_EQ(drawn.At(f.left + 5, f.bottom), RGB(229, 151, 0));
        EXPECT_FALSE(drawn.FaceHolds(Inverse(RGB(250, 196, 88)))) << "no focus rectangle under the pointer";
        // A warmer face: twelve rows down the 18-row face, brush 42, where the
        // plain face shows RGB(241, 241, 247).
        ASSERT_EQ(f.bottom - f.top, 18);
        EXPECT_EQ(drawn.At(f.left + 4, f.top + 12), state ? RGB(245, 245, 241) : RGB(245, 245, 247));
    }
}

TEST(HoverButtonLook, FocusWithoutPointerDrawsTheBlueFrameAndTheFocusRectangle) {
    CHoverButton button;
    DrawnButton drawn(button, ODS_FOCUS);
    const RECT& f = drawn.face;
    const COLORREF left = RGB(153, 198, 252), right = RGB(162, 189, 252);
    int leftPen = 0, leftDotted = 0, rightPen = 0, rightDotted = 0;
    for (int y = f.top + 3; y < f.bottom - 3; ++y) {
        leftPen += drawn.At(f.left, y) == left;
        leftDotted += drawn.At(f.left, y) == Inverse(left);
        rightPen += drawn.At(f.right - 1, y) == right;
        rightDotted += drawn.At(f.right - 1, y) == Inverse(right);
    }
    EXPECT_GT(leftPen, 0);
    EXPECT_GT(leftDotted, 0) << "the dotted focus rectangle runs along the face";
    EXPECT_GT(rightPen, 0);
    EXPECT_GT(rightDotted, 0);
    EXPECT_EQ(drawn.At(f.left + 1, drawn.MidY()), left) << "the left line is three pixels wide";

    CHoverButton plain;
    DrawnButton unfocused(plain, 0);
    EXPECT_NE(unfocused.At(f.left, unfocused.MidY()), left);
}

TEST(HoverButtonLook, PressingMovesTheCaptionOnePixelRightAndDown) {
    CHoverButton button;
    RECT up = DrawnButton(button, 0).TextBox();
    RECT down = DrawnButton(button, ODS_SELECTED).TextBox();
    ASSERT_LT(up.left, up.right) << "the caption is drawn";
    EXPECT_EQ(down.left, up.left + 1);
    EXPECT_EQ(down.top, up.top + 1);
    EXPECT_EQ(down.right, up.right + 1);
    EXPECT_EQ(down.bottom, up.bottom + 1);
}

TEST(HoverButtonLook, DisabledCaptionIsEmbossedNotBlack) {
    CHoverButton button;
    DrawnButton enabled(button, 0);
    DrawnButton disabled(button, ODS_DISABLED);
    EXPECT_TRUE(enabled.FaceHolds(RGB(0, 0, 0)));
    EXPECT_FALSE(disabled.FaceHolds(RGB(0, 0, 0)));
    EXPECT_TRUE(disabled.FaceHolds(::GetSysColor(COLOR_BTNSHADOW)));
}

TEST(HoverButtonLook, MnemonicIsUnderlinedNotPrintedAsAmpersand) {
    CHoverButton button;
    RECT withMnemonic = DrawnButton(button, 0, "&Next").TextBox();
    RECT plain = DrawnButton(button, 0, "Next").TextBox();
    EXPECT_GT(withMnemonic.bottom, plain.bottom) << "an underline below the N";
}

}  // namespace
