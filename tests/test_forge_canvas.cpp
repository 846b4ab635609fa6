// The forge's drawing surface: fine shapes resolve to whole pixels on the mask colour,
// outlines hug the figure side-on, mirroring and zoom place shapes where they belong.
#include <allegro.h>

#include "tests/headless.h"
#include "tools/forge/canvas.h"

namespace {

Rgb colour(BITMAP *b, int x, int y)
{
    return rgb_of_pixel32(_getpixel32(b, x, y));
}

bool drawn(BITMAP *b, int x, int y)
{
    return colour(b, x, y) != MASK_RGB;
}

}  // namespace

TEST(ForgeCanvas, PixelsNeedHalfTheirAreaCoveredAndAverageWhatCoversThem)
{
    Canvas cv = make_canvas(10, 4, 4);
    fill_rect(cv, 0, 1, 0.5f, 2, rgb(200, 0, 0));  // pixel (0, 1): half red, half blue
    fill_rect(cv, 0.5f, 1, 1, 2, rgb(0, 0, 100));
    fill_rect(cv, 2, 0, 5, 4, rgb(200, 0, 0));      // columns 2, 3, 4 whole
    fill_rect(cv, 6, 0, 6.25f, 4, rgb(0, 200, 0));  // a quarter of column 6
    fill_rect(cv, 8, 0, 8.5f, 4, rgb(0, 0, 200));   // half of column 8
    BITMAP *b = resolve(cv, MASK_RGB);
    EXPECT_FALSE(drawn(b, 1, 1));
    EXPECT_TRUE(drawn(b, 2, 1) && drawn(b, 3, 1) && drawn(b, 4, 1));
    EXPECT_FALSE(drawn(b, 5, 1) || drawn(b, 6, 1));
    EXPECT_TRUE(drawn(b, 8, 1));
    EXPECT_EQ(colour(b, 3, 2), rgb(200, 0, 0));
    // A pixel half drawn takes the colour of its drawn part, not a blend with the mask.
    EXPECT_EQ(colour(b, 8, 2), rgb(0, 0, 200));
    EXPECT_EQ(colour(b, 0, 1), rgb(100, 0, 50));
    destroy_bitmap(b);
    free_canvas(cv);
}

TEST(ForgeCanvas, OutlineTouchesTheFigureSideOn)
{
    Canvas cv = make_canvas(9, 9, 4);
    fill_rect(cv, 4, 4, 5, 5, rgb(200, 200, 200));
    BITMAP *b = resolve(cv, rgb(10, 10, 10));
    EXPECT_EQ(colour(b, 4, 4), rgb(200, 200, 200));
    for (auto p : {std::make_pair(3, 4), std::make_pair(5, 4), std::make_pair(4, 3), std::make_pair(4, 5)})
        EXPECT_EQ(colour(b, p.first, p.second), rgb(10, 10, 10));
    EXPECT_FALSE(drawn(b, 3, 3) || drawn(b, 5, 5) || drawn(b, 2, 4));
    destroy_bitmap(b);
    free_canvas(cv);
}

TEST(ForgeCanvas, MirrorAndZoomPlaceShapes)
{
    Canvas cv = make_canvas(12, 2, 4);
    cv.mirror = true;
    cv.axis = 5;
    fill_rect(cv, 2, 0, 4, 2, rgb(0, 200, 0));  // reflected to 6..8
    BITMAP *b = resolve(cv, MASK_RGB);
    EXPECT_FALSE(drawn(b, 2, 0) || drawn(b, 3, 0) || drawn(b, 5, 0) || drawn(b, 8, 0));
    EXPECT_TRUE(drawn(b, 6, 0) && drawn(b, 7, 0));
    destroy_bitmap(b);
    free_canvas(cv);

    Canvas big = make_canvas(8, 8, 2);
    big.zoom = 2;
    fill_rect(big, 1, 1, 2, 2, rgb(0, 0, 200));  // one unit is two pixels
    b = resolve(big, MASK_RGB);
    EXPECT_TRUE(drawn(b, 2, 2) && drawn(b, 3, 3));
    EXPECT_FALSE(drawn(b, 1, 1) || drawn(b, 4, 4));
    destroy_bitmap(b);
    free_canvas(big);
}
