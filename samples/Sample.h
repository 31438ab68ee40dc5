// The sample browser's catalogue. Each sample is a small scene showing
// one engine feature; a sample file registers itself with
//
//     TILTBOARD_SAMPLE(sprites, "Sprites: colour, opacity, flips") {
//         CCScene* scene = CCScene::node();
//         ...
//         return scene;
//     }
//
// The scene is built after the director runs in landscape (480 x 320
// points on a phone), so `CCDirector::sharedDirector()->winSize()` holds.
#pragma once

#include <string>
#include <vector>

class CCNode;
class CCScene;

struct Sample {
    std::string name;   // what --sample takes
    std::string title;  // shown at the top of the scene and in the menu
    CCScene* (*makeScene)();
};

class SampleCatalogue {
public:
    static SampleCatalogue& shared();
    bool add(Sample sample);
    const std::vector<Sample>& samples() const { return samples_; }
    const Sample* find(const std::string& name) const;

private:
    std::vector<Sample> samples_;
};

// Puts the sample's title along the top edge of `parent`.
void addSampleTitle(CCNode* parent, const std::string& title);

#define TILTBOARD_SAMPLE(id, title)                                                          \
    static CCScene* id##_makeScene();                                                        \
    static const bool id##_registered = SampleCatalogue::shared().add({#id, title, &id##_makeScene}); \
    static CCScene* id##_makeScene()
