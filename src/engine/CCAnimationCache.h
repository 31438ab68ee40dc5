// CCAnimationCache: the process-wide store of animations by name. The
// cache holds one reference to each animation it stores.
#pragma once

#include <string>
#include <unordered_map>

#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCAnimation;

class CCAnimationCache : public host::Object {
public:
    // Created on first use; the purge releases it and the next use makes a
    // new, empty cache.
    static CCAnimationCache* sharedAnimationCache();
    static void purgeSharedAnimationCache();

    bool init();

    // Stores or replaces the animation under the name.
    void addAnimation(CCAnimation* animation, const std::string& name);
    // nullptr when no animation has the name.
    CCAnimation* animationByName(const std::string& name) const;
    void removeAnimationByName(const std::string& name);

    unsigned animationCount() const { return static_cast<unsigned>(animations_.size()); }

    std::string description() const override;

protected:
    ~CCAnimationCache() override;

private:
    std::unordered_map<std::string, host::Ref<CCAnimation>> animations_;
};
