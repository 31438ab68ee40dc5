// A ball: a colour-fading sprite that drifts right at a constant speed,
// falls faster and faster, and bounces off the bottom edge with a loss of
// energy and a bounce sound as loud as the ball is big. The game scene
// calls update() and tickColor() on every ball once per frame.
#pragma once

#include "QBColorChangeNode.h"

class GameSprite : public QBColorChangeNode {
public:
    // "ball.png"-style construction: initWithFile, then setVelRand.
    static GameSprite* spriteWithFile(const std::string& filename);

    CGPoint velocity() const { return velocity_; }
    void setVelocity(CGPoint v) { velocity_ = v; }
    CGPoint originalVelocity() const { return originalVelocity_; }

    // A random size and velocity.
    void setVelRand();
    // Moves and bounces the ball by dt seconds.
    void update(ccTime dt) override;

    // One step of the motion, for anything that wants to look ahead: moves
    // `position` by `velocity` over dt, speeds the fall up or slows the
    // rise, and bounces off the floor line `floorY` (the centre's lowest
    // height). Returns whether the ball bounced.
    static bool advance(CGPoint* position, CGPoint* velocity, float floorY, ccTime dt);
    // The lowest height of this ball's centre: half its displayed height.
    float floorY() const;

    // The sound of a bounce.
    static const char* const kBounceSound;

protected:
    ~GameSprite() override = default;

private:
    CGPoint velocity_ = CGPointZero;          // points per second
    CGPoint originalVelocity_ = CGPointZero;  // as drawn by setVelRand
};

// Whether the emulated device is a tablet (the pad interface idiom).
bool isTabletIdiom();
