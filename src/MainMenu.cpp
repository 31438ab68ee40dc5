#include "MainMenu.h"

#include "HelloWorldLayer.h"
#include "audio/SimpleAudioEngine.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCMenu.h"
#include "engine/CCTransitionSlide.h"
#include "engine/Support/CGPointExtension.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Application.h"
#include "host/core/Log.h"
#include "host/data/UserDefaults.h"
#include "host/ui/Label.h"
#include "host/ui/Switch.h"

namespace {

constexpr const char* kFont = "Helvetica";
constexpr float kPlayFontSize = 48;
constexpr float kOtherFontSize = 38;
constexpr float kItemSpacing = 60;
constexpr ccColor3B kGreen{0, 255, 0};
constexpr ccTime kTransitionDuration = 0.2f;
constexpr const char* kMuteKey = "mute";

CCMenuItemLabel* labelItem(const char* text, float size, host::Object* target, CCMenuSelector selector) {
    CCLabelTTF* label = CCLabelTTF::labelWithString(text, kFont, size);
    return label ? CCMenuItemLabel::itemWithLabel(label, target, selector) : nullptr;
}

host::View* glView() { return CCDirector::sharedDirector()->openGLView(); }

}  // namespace

MainMenu* MainMenu::node() { return host::create<MainMenu>(); }

bool MainMenu::init() {
    if (!CCScene::init()) return false;
    playItem_ = labelItem("Play Game", kPlayFontSize, this, cc_selector(MainMenu::goTo));
    otherItem_ = labelItem("Other Apps", kOtherFontSize, this, cc_selector(MainMenu::didOther));
    if (!playItem_ || !otherItem_) return false;
    playItem_->setPosition(ccpAdd(playItem_->position(), CGPointMake(0, kItemSpacing)));
    otherItem_->setPosition(CGPointMake(playItem_->position().x, playItem_->position().y - kItemSpacing));
    CCMenu* menu = CCMenu::menuWithItems({playItem_, otherItem_});
    if (!menu) return false;
    playItem_->setColor(kGreen);
    otherItem_->setColor(kGreen);
    addChild(menu);

    addSoundControls();
    links_ = OtherAppsLinks::load();
    return true;
}

void MainMenu::addSoundControls() {
    host::View* view = glView();
    if (!view) return;
    // The switch's on state is "sound plays"; first launch has no key and
    // is muted.
    soundSwitch_ = host::Switch::switchWithFrame(CGRectZero);
    if (!soundSwitch_) return;
    soundSwitch_->setOn(host::UserDefaults::standardUserDefaults().boolForKey(kMuteKey));
    SimpleAudioEngine::sharedEngine()->setMute(!soundSwitch_->isOn());
    soundSwitch_->addTarget(this, cc_selector(MainMenu::flip), host::kControlEventValueChanged);

    // Right of the centre and below it, in the interface's coordinates (y
    // down); the y offset is a width too.
    const CGSize win = CCDirector::sharedDirector()->winSize();
    const float sw = soundSwitch_->frame().size.width;
    const CGPoint centre = CGPointMake(win.width * 0.5f + sw * 0.25f, win.height * 0.5f + sw * 0.5f);
    soundSwitch_->setCenter(centre);
    soundSwitch_->setTag(kSoundSwitchTag);
    view->addSubview(soundSwitch_);

    host::Label* caption = host::Label::labelWithFrame(CGRectMake(0, 0, 80, 20));
    if (!caption) return;
    caption->setCenter(CGPointMake(centre.x - sw * 0.5f - 20, centre.y));
    caption->setText("Sound:");
    caption->setTag(kSoundCaptionTag);
    caption->setBackgroundColor(host::Color::clearColor());
    caption->setTextColor(host::Color::greenColor());
    view->addSubview(caption);
}

MainMenu::~MainMenu() {
    if (soundSwitch_) soundSwitch_->removeTarget(this, host::kControlEventAllEvents);
    if (sheet_ && sheet_->delegate() == this) sheet_->setDelegate(nullptr);
}

void MainMenu::goTo() {
    if (host::View* view = glView()) {
        for (int tag : {kSoundCaptionTag, kSoundSwitchTag})
            if (host::View* control = view->viewWithTag(tag)) control->removeFromSuperview();
    }
    HelloWorldLayer* game = HelloWorldLayer::node();
    if (!game) {
        host::log("main menu: the game scene cannot be built");
        return;
    }
    CCDirector::sharedDirector()->replaceScene(CCTransitionSlideInR::transitionWithDuration(kTransitionDuration, game));
}

void MainMenu::flip(host::Switch* soundSwitch) {
    SimpleAudioEngine::sharedEngine()->setMute(!soundSwitch->isOn());
    host::UserDefaults& defaults = host::UserDefaults::standardUserDefaults();
    defaults.setBool(soundSwitch->isOn(), kMuteKey);
    defaults.synchronize();
}

void MainMenu::didOther() {
    sheet_ = host::ActionSheet::actionSheetWithTitle("Other Apps", this, "Cancel", "", OtherAppsLinks::titles());
    if (!sheet_) return;
    sheet_->setTag(kOtherAppsSheetTag);
    sheet_->showInView(glView());
}

void MainMenu::actionSheetClickedButtonAtIndex(host::ActionSheet*, int index) {
    if (index < 0 || index >= static_cast<int>(OtherAppsLinks::titles().size())) return;
    const std::string link = links_.linkForRow(index);
    if (link.empty()) {
        host::log("other apps: no link for \"%s\"", OtherAppsLinks::titles()[static_cast<size_t>(index)].c_str());
        return;
    }
    host::Application::sharedApplication()->openURL(link);
}
