#include <gtest/gtest.h>

#include "setup/controls/art_scale.h"

TEST(ArtScale, TheDrawingOfTheNearestScaleIsTakenForTheDpi) {
    const struct {
        unsigned dpi;
        int percent;
    } cases[] = {{96, 100},  {72, 100},  {108, 125}, {120, 125}, {144, 150},
                 {168, 175}, {192, 200}, {216, 250}, {240, 250}, {480, 250}};
    for (const auto& c : cases)
        EXPECT_EQ(kArtScales[NearestArtPlace(c.dpi)], c.percent) << c.dpi;
    EXPECT_EQ(ScaledArtId(146, NearestArtPlace(144)), 2146u);
}

// The box's scale picks the smallest drawing that is not smaller; what is
// drawn keeps the drawing's shape, and only the panel and the picture boxes
// get the whole box.
TEST(ArtScale, EachKindOfArtFillsItsBoxItsOwnWay) {
    ArtPlacement side = PlaceArt(ArtFit::Panel, {185, 336}, {318, 504});
    EXPECT_EQ(kArtScales[side.place], 150);
    EXPECT_EQ(side.drawn.height, 504);
    EXPECT_EQ(side.drawn.width, 278);
    EXPECT_EQ(side.image.width, 318);

    ArtPlacement banner = PlaceArt(ArtFit::Height, {508, 66}, {870, 99});
    EXPECT_EQ(banner.image.width, 762) << "the banner keeps its shape and leaves the rest to the page";
    EXPECT_EQ(banner.image.height, 99);

    ArtPlacement tile = PlaceArt(ArtFit::Contain, {64, 64}, {126, 111});
    EXPECT_EQ(kArtScales[tile.place], 175) << "111/64 is above 150 %";
    EXPECT_EQ(tile.drawn.width, 111);
    EXPECT_EQ(tile.image.width, 126);

    EXPECT_EQ(kArtScales[PlaceArt(ArtFit::Height, {508, 66}, {600, 66}).place], 100);
    EXPECT_EQ(kArtScales[PlaceArt(ArtFit::Height, {508, 66}, {600, 300}).place], 250) << "beyond the largest";
}
