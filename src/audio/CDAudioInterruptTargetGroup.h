// Passes mute and enable switches on to a set of audio objects (engines,
// held sources, long-audio channels, other groups).
#pragma once

#include <vector>

#include "audio/CDProtocols.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CDAudioInterruptTargetGroup : public host::Object, public CDAudioInterruptProtocol {
public:
    bool init();
    // The target first takes the group's current mute and enabled values.
    // It must meet CDAudioInterruptProtocol; it is retained.
    void addAudioInterruptTarget(host::Object* target);
    // Removes that very object.
    void removeAudioInterruptTarget(host::Object* target);
    size_t count() const { return children_.size(); }

    bool mute() const override { return mute_; }
    void setMute(bool muteValue) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabledValue) override;

private:
    struct Member {
        host::Ref<host::Object> object;
        CDAudioInterruptProtocol* target;
    };
    std::vector<Member> children_;
    bool mute_ = false;
    bool enabled_ = true;
};
