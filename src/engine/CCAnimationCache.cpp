#include "engine/CCAnimationCache.h"

#include <cstdio>

#include "engine/CCAnimation.h"
#include "engine/Support/SharedInstance.h"

namespace {
SharedInstance<CCAnimationCache> gSharedAnimationCache;
}  // namespace

CCAnimationCache* CCAnimationCache::sharedAnimationCache() { return gSharedAnimationCache.get(); }

void CCAnimationCache::purgeSharedAnimationCache() { gSharedAnimationCache.purge(); }

bool CCAnimationCache::init() {
    animations_.reserve(20);
    return true;
}

CCAnimationCache::~CCAnimationCache() = default;

void CCAnimationCache::addAnimation(CCAnimation* animation, const std::string& name) {
    if (!animation) return;
    animations_[name] = animation;
}

CCAnimation* CCAnimationCache::animationByName(const std::string& name) const {
    auto it = animations_.find(name);
    return it == animations_.end() ? nullptr : it->second.get();
}

void CCAnimationCache::removeAnimationByName(const std::string& name) { animations_.erase(name); }

std::string CCAnimationCache::description() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "<%s = %s | num of animations =  %u>", className().c_str(),
                  host::addressString(this).c_str(), animationCount());
    return buf;
}
