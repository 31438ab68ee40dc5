// Support for the transition tests: scenes that record their life cycle
// and their drawing, a fixture running scene A with scene B ready to come
// in, and the parameterised life-cycle test (EveryTransition, in
// test_transition.cpp) that each family of transitions instantiates.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "MenuTestSupport.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCTransition.h"
#include "host/core/Ref.h"

namespace transition_tests {

using Log = std::vector<std::string>;

// Notes its life-cycle calls and every time its content is drawn.
class RecordingScene : public CCScene {
public:
    static RecordingScene* make(const std::string& name, ccColor4B fill, Log* log, Log* draws) {
        RecordingScene* s = host::create<RecordingScene>();
        s->name_ = name;
        s->log_ = log;
        s->draws_ = draws;
        s->addChild(CCLayerColor::layerWithColor(fill));
        return s;
    }
    void onEnter() override {
        log_->push_back(name_ + ":enter");
        CCScene::onEnter();
    }
    void onEnterTransitionDidFinish() override {
        log_->push_back(name_ + ":didFinish");
        CCScene::onEnterTransitionDidFinish();
    }
    void onExit() override {
        log_->push_back(name_ + ":exit");
        CCScene::onExit();
    }
    void cleanup() override {
        log_->push_back(name_ + ":cleanup");
        CCScene::cleanup();
    }
    void draw() override { draws_->push_back(name_); }

private:
    std::string name_;
    Log* log_ = nullptr;
    Log* draws_ = nullptr;
};

inline const ccColor4B kRed{255, 0, 0, 255};
inline const ccColor4B kBlue{0, 0, 255, 255};

class TransitionFixture : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        a_ = RecordingScene::make("A", kRed, &log_, &draws_);
        b_ = RecordingScene::make("B", kBlue, &log_, &draws_);
        director_->replaceScene(a_);
        frame();
        log_.clear();
    }
    // Frames until `scene` runs; the number drawn, or -1 after `limit`.
    int framesUntilRunning(CCScene* scene, int limit) {
        for (int n = 1; n <= limit; ++n) {
            frame();
            if (director_->runningScene() == scene) return n;
        }
        return -1;
    }
    static bool touchesOn() { return CCTouchDispatcher::sharedDispatcher()->dispatchEvents(); }

    Log log_, draws_;
    host::Ref<RecordingScene> a_, b_;
};

inline void expectAtRest(CCScene* s, const char* which) {
    SCOPED_TRACE(which);
    EXPECT_TRUE(s->visible());
    EXPECT_FLOAT_EQ(s->position().x, 0);
    EXPECT_FLOAT_EQ(s->position().y, 0);
    EXPECT_FLOAT_EQ(s->scaleX(), 1);
    EXPECT_FLOAT_EQ(s->scaleY(), 1);
    EXPECT_FLOAT_EQ(s->rotation(), 0);
}

// One transition for the life-cycle tests: how to make it, its drawing
// order, and what its second frame draws of the two scenes (by default
// both in that order, or only the outgoing one when the incoming scene
// starts hidden).
struct TransitionCase {
    const char* name;
    std::function<CCTransitionScene*(ccTime, CCScene*)> make;
    bool inSceneOnTop;
    bool incomingHiddenAtFirst;
    std::optional<Log> drawnAtFirst = std::nullopt;
};

template <class T> TransitionCase kind(const char* name, bool onTop, bool hidden = false) {
    return {name, [](ccTime d, CCScene* s) -> CCTransitionScene* { return T::transitionWithDuration(d, s); }, onTop,
            hidden};
}

// A transition whose second frame draws exactly `drawn` of the scenes.
template <class T> TransitionCase drawing(const char* name, bool onTop, Log drawn) {
    TransitionCase c = kind<T>(name, onTop);
    c.drawnAtFirst = std::move(drawn);
    return c;
}

// Names the instantiated tests after the transitions.
inline std::string caseName(const ::testing::TestParamInfo<TransitionCase>& info) { return info.param.name; }

class EveryTransition : public TransitionFixture, public ::testing::WithParamInterface<TransitionCase> {};

}  // namespace transition_tests
