#include "art_scale.h"

#include <algorithm>
#include <cmath>

int NearestArtPlace(unsigned dpi) {
    int best = 0;
    for (int i = 1; i < kArtScaleCount; ++i) {
        // Compared in 96ths of a per cent, so no rounding decides a tie.
        long wanted = static_cast<long>(dpi) * 100;
        long here = std::labs(static_cast<long>(kArtScales[i]) * 96 - wanted);
        long there = std::labs(static_cast<long>(kArtScales[best]) * 96 - wanted);
        if (here <= there)
            best = i;
    }
    return best;
}

namespace {
int Scaled(int length, double factor) {
    return std::max(1, static_cast<int>(std::lround(length * factor)));
}
}  // namespace

ArtPlacement PlaceArt(ArtFit fit, ArtSize art, ArtSize box) {
    ArtPlacement placement;
    if (art.width <= 0 || art.height <= 0 || box.width <= 0 || box.height <= 0)
        return placement;
    double down = static_cast<double>(box.height) / art.height;
    double factor = fit == ArtFit::Contain ? std::min(static_cast<double>(box.width) / art.width, down) : down;
    placement.place = kArtScaleCount - 1;
    for (int i = 0; i < kArtScaleCount; ++i) {
        if (kArtScales[i] >= factor * 100 - 1e-9) {
            placement.place = i;
            break;
        }
    }
    placement.drawn = ArtSize{Scaled(art.width, factor), Scaled(art.height, factor)};
    placement.image = fit == ArtFit::Height ? placement.drawn : box;
    return placement;
}
