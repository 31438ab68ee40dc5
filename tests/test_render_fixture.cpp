#include "RenderFixture.h"

// The fixture itself: a cleared frame reads back as the clear colour, so
// the pixel tests of every drawing class start from a known surface.
TEST_F(RenderFixture, AnEmptySceneReadsBackAsTheClearColour) {
    frame();
    EXPECT_TRUE(colorNear(pixelAt(10, 10), ccColor4B{0, 0, 0, 255}, 0));
    EXPECT_TRUE(colorNear(pixelAt(319, 479), ccColor4B{0, 0, 0, 255}, 0));
}
