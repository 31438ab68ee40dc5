// A sprite whose tint keeps fading from one colour of a fixed eight-colour
// palette to another picked at random. It does not schedule itself: its
// owner calls tickColor() once per frame.
#pragma once

#include <string>

#include "engine/CCSprite.h"

class QBColorChangeNode : public CCSprite {
public:
    static constexpr int kPaletteSize = 8;
    static constexpr float kDefaultSecondsToChange = 1.33333f;

    // Picks a random palette colour, then the first target.
    bool initWithFile(const std::string& filename) override;
    using CCSprite::initWithFile;

    // Draws a new target colour (possibly the current one).
    void switchColors();
    // Advances the fade by dt seconds.
    void tickColor(ccTime dt);

    float secondsToChange() const { return secondsToChange_; }
    void setSecondsToChange(float seconds) { secondsToChange_ = seconds; }

    // The colour being faded to.
    ccColor3B targetColor() const;
    static const ccColor3B* palette() { return kPalette; }

protected:
    ~QBColorChangeNode() override = default;

private:
    static const ccColor3B kPalette[kPaletteSize];

    float difRed = 0, difGreen = 0, difBlue = 0;  // target minus colour at the switch, 0-255
    ccColor3B colors[kPaletteSize] = {};
    float newRed = 0, newGreen = 0, newBlue = 0;  // the target, 0-255
    float cRed = 0, cBlue = 0, cGreen = 0;        // the colour, fractions 0-1, unrounded
    float amountGone = 0;                         // seconds since the last switch
    float secondsToChange_ = kDefaultSecondsToChange;
};
