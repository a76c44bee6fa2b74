// The scales the wizard's art is drawn for, and how a drawing is fitted to the
// box the page gives it at the window's DPI. Plain rules, apart from windows.
#pragma once

// Per cent of 96 DPI; the resource number of a scale's drawing is the 100 %
// number plus kArtIdStep times the scale's place in this list.
inline constexpr int kArtScales[] = {100, 125, 150, 175, 200, 250};
inline constexpr int kArtScaleCount = sizeof kArtScales / sizeof kArtScales[0];
inline constexpr unsigned kArtIdStep = 1000;

inline unsigned ScaledArtId(unsigned id100, int place) {
    return id100 + static_cast<unsigned>(place) * kArtIdStep;
}

// The place of the scale nearest to the DPI (96 is 100 %); halfway goes to the larger.
int NearestArtPlace(unsigned dpi);

enum class ArtFit {
    // As high as the box; a wider box gets the drawing's last column repeated
    // (the side panel's colours run top to bottom), a narrower one cuts it.
    Panel,
    // As high as the box, as wide as that makes it (the banner runs out into the page).
    Height,
    // Whole inside the box, at its top left (titles, picture buttons).
    Contain,
};

struct ArtSize {
    int width = 0;
    int height = 0;
};

struct ArtPlacement {
    int place = 0;  // which scale's drawing to take
    ArtSize image;  // the bitmap the control gets
    ArtSize drawn;  // the drawing's size in it, from its top left
};

// Fits a drawing whose 100 % size is art into the box: the scale it needs,
// and the drawing of the smallest scale at or above that (shrinking keeps it
// crisp; above 250 % the largest).
ArtPlacement PlaceArt(ArtFit fit, ArtSize art, ArtSize box);
