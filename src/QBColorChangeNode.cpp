#include "QBColorChangeNode.h"

#include <algorithm>
#include <cstdlib>

const ccColor3B QBColorChangeNode::kPalette[kPaletteSize] = {
    {173, 23, 31}, {255, 255, 0}, {0, 0, 255}, {0, 255, 0},
    {255, 0, 255}, {255, 127, 0}, {0, 255, 255}, {249, 0, 170},
};

namespace {

// A fraction of full intensity as a colour byte. The fraction can step
// past 0 or 1 when a fade runs longer than the distance it was set up for
// (a tick that lands just short of the switch time, or a longer fade set
// part-way through): it stays at the end of the range instead of wrapping.
uint8_t channelByte(float fraction) {
    return static_cast<uint8_t>(std::clamp(fraction * 255.0f, 0.0f, 255.0f));
}

}  // namespace

bool QBColorChangeNode::initWithFile(const std::string& filename) {
    if (!CCSprite::initWithFile(filename)) return false;
    std::copy(kPalette, kPalette + kPaletteSize, colors);
    setColor(colors[random() % kPaletteSize]);
    const ccColor3B c = color();
    cRed = c.r / 255.0f;
    cGreen = c.g / 255.0f;
    cBlue = c.b / 255.0f;
    secondsToChange_ = kDefaultSecondsToChange;
    switchColors();
    return true;
}

void QBColorChangeNode::switchColors() {
    const ccColor3B target = colors[random() % kPaletteSize];
    newRed = target.r;
    newGreen = target.g;
    newBlue = target.b;
    const ccColor3B c = color();
    difRed = newRed - c.r;
    difGreen = newGreen - c.g;
    difBlue = newBlue - c.b;
}

ccColor3B QBColorChangeNode::targetColor() const {
    return ccColor3B{static_cast<uint8_t>(newRed), static_cast<uint8_t>(newGreen), static_cast<uint8_t>(newBlue)};
}

void QBColorChangeNode::tickColor(ccTime dt) {
    amountGone += dt;
    // A fade that is over, or one to the colour already shown, draws the
    // next target straight away.
    if (amountGone >= secondsToChange_ || (difRed == 0 && difGreen == 0 && difBlue == 0)) {
        amountGone = 0;
        switchColors();
        return;
    }
    const float k = 1 / ((secondsToChange_ / dt) * 255);
    cRed += difRed * k;
    cGreen += difGreen * k;
    cBlue += difBlue * k;
    setColor(ccColor3B{channelByte(cRed), channelByte(cGreen), channelByte(cBlue)});
}
