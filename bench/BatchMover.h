// Moves every sprite of a batch node a little each frame, bouncing inside
// the 480 x 320 landscape view, as the game's balls do: the scheduler's
// work in the drawing benchmarks.
#pragma once

#include <cstdlib>
#include <vector>

#include "engine/CCNode.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "host/core/Object.h"

class BatchMover : public CCNode {
public:
    // A batch node of `count` sprites of `rect` in `texture`, at random
    // places with random speeds (seeded, so every run is the same), added
    // to `parent` with its mover, which is scheduled.
    static BatchMover* fill(CCNode* parent, CCTexture2D* texture, CGRect rect, int count) {
        CCSpriteBatchNode* batch = CCSpriteBatchNode::batchNodeWithTexture(texture, unsigned(count > 0 ? count : 1));
        parent->addChild(batch);
        BatchMover* mover = host::create<BatchMover>();
        mover->batch = batch;
        std::srand(7);
        for (int i = 0; i < count; ++i) {
            CCSprite* s = CCSprite::spriteWithTexture(texture, rect);
            s->setColor(ccc3(GLubyte(55 + std::rand() % 200), GLubyte(55 + std::rand() % 200), 255));
            s->setPosition(CGPointMake(float(std::rand() % 480), float(std::rand() % 320)));
            batch->addChild(s);
            mover->velocities.push_back({float(std::rand() % 200 - 100), float(std::rand() % 200 - 100)});
        }
        parent->addChild(mover);
        mover->scheduleUpdate();
        return mover;
    }

    void update(ccTime dt) override {
        ccArray* sprites = batch->descendants()->data;
        for (unsigned i = 0; i < sprites->count; ++i) {
            auto* s = static_cast<CCSprite*>(sprites->items[i]);
            Velocity& v = velocities[i];
            CGPoint p = s->position();
            p.x += v.x * dt;
            p.y += v.y * dt;
            if (p.x < 0 || p.x > 480) v.x = -v.x;
            if (p.y < 0 || p.y > 320) v.y = -v.y;
            s->setPosition(p);
        }
    }
    struct Velocity {
        float x, y;
    };
    CCSpriteBatchNode* batch = nullptr;
    std::vector<Velocity> velocities;
};
