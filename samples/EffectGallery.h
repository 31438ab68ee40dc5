// A gallery scene for grid effects: one labelled picture goes through a
// list of effects in turn and for ever. Each effect plays for 1.5 s, then
// backwards for 1.5 s, then the picture rests without a grid for 0.3 s
// (198 frames in all at 60 frames per second); the caption names the
// effect. With --fixed-dt effect k (from 0) is half-way forwards at frame
// 47 + 198 k.
#pragma once

#include "engine/CCActionInterval.h"

class CCScene;

struct GalleryEffect {
    const char* name;
    CCActionInterval* (*make)(ccTime duration);
};

// How long each effect plays one way.
constexpr ccTime kGalleryEffectTime = 1.5f;

// `lattice` draws a grid of thin lines over the picture, which shows how
// a lattice bends.
CCScene* makeEffectGallery(const GalleryEffect* effects, unsigned count, const char* title, bool lattice);
