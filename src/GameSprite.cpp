#include "GameSprite.h"

#include <cstdlib>

#include "audio/SimpleAudioEngine.h"
#include "host/core/Device.h"

const char* const GameSprite::kBounceSound = "Jump.wav";

bool isTabletIdiom() { return host::Device::current().userInterfaceIdiom() == 1; }

GameSprite* GameSprite::spriteWithFile(const std::string& filename) {
    return host::create<GameSprite>([&](GameSprite* s) {
        if (!s->initWithFile(filename)) return false;
        s->setVelRand();
        return true;
    });
}

void GameSprite::setVelRand() {
    float scale = static_cast<float>((random() % 40 + 10) * 0.01);
    if (isTabletIdiom()) scale = static_cast<float>(scale * 1.5);
    setScale(scale);
    const long x = random() % 135 + 65;
    const long y = -(random() % 10) - 11;
    velocity_ = CGPointMake(static_cast<float>(x), static_cast<float>(y));
    originalVelocity_ = velocity_;
}

bool GameSprite::advance(CGPoint* position, CGPoint* velocity, float floorY, ccTime dt) {
    position->x += velocity->x * dt;
    position->y += velocity->y * dt;

    // The vertical speed changes once per call, whatever dt is.
    if (velocity->y < 0) {
        velocity->y = static_cast<float>(velocity->y * 1.06);
    } else {
        velocity->y = static_cast<float>(velocity->y / 1.08);
        if (velocity->y <= 12) velocity->y = -velocity->y;
    }

    if (position->y > floorY) return false;
    // The centre lands on the floor line however far below it the step went.
    position->y = floorY;
    velocity->y = static_cast<float>(velocity->y * -0.85);
    return true;
}

float GameSprite::floorY() const { return contentSize().height * 0.5f * scale(); }

void GameSprite::update(ccTime dt) {
    CGPoint p = position();
    const bool bounced = advance(&p, &velocity_, floorY(), dt);
    setPosition(p);
    if (!bounced) return;
    SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
    audio->setEffectsVolume(isTabletIdiom() ? scale() / 1.5f : scale());
    audio->playEffect(kBounceSound);
}
