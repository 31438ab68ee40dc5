// The title scene: "Play Game" and "Other Apps" drawn by the engine, and a
// "Sound:" caption with an on/off switch laid over the GL view as native
// controls. "Play Game" slides into the game; "Other Apps" opens a sheet
// of the maker's other apps whose rows open store links; the switch mutes
// or unmutes all sound and remembers the choice under "mute".
#pragma once

#include "OtherAppsLinks.h"
#include "engine/CCScene.h"
#include "host/core/Ref.h"
#include "host/ui/ActionSheet.h"

class CCMenuItemLabel;
namespace host {
class Label;
class Switch;
}  // namespace host

class MainMenu : public CCScene, public host::ActionSheetDelegate {
public:
    enum : int { kSoundCaptionTag = 10, kSoundSwitchTag = 11, kOtherAppsSheetTag = 10 };

    static MainMenu* node();
    bool init() override;

    // "Play Game": takes the caption and the switch away and slides into
    // the game.
    void goTo();
    // "Other Apps": shows the sheet.
    void didOther();
    // The sheet's choice: rows 0 to 5 open their link; anything else,
    // "Cancel" included, does nothing.
    void actionSheetClickedButtonAtIndex(host::ActionSheet* sheet, int index) override;
    // The switch's value changed.
    void flip(host::Switch* soundSwitch);

    CCMenuItemLabel* playGameItem() const { return playItem_; }
    CCMenuItemLabel* otherAppsItem() const { return otherItem_; }
    host::Switch* soundSwitch() const { return soundSwitch_.get(); }
    host::ActionSheet* otherAppsSheet() const { return sheet_.get(); }

protected:
    ~MainMenu() override;

private:
    void addSoundControls();

    CCMenuItemLabel* playItem_ = nullptr;  // children of the menu
    CCMenuItemLabel* otherItem_ = nullptr;
    OtherAppsLinks links_;
    // The GL view owns the controls; these references only let the scene
    // stop being their target and delegate when it goes.
    host::Ref<host::Switch> soundSwitch_;
    host::Ref<host::ActionSheet> sheet_;
};
