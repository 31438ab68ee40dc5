// Menus: every kind of item (font, character-map, label, image, sprite,
// toggle), column and grid layouts, a disabled item, and actions
// bound both as selectors and as blocks. Each action logs what it did and
// shows it along the bottom edge.
#include <string>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCMenu.h"
#include "engine/CCMenuItem.h"
#include "engine/CCMenuItemSprite.h"
#include "engine/CCMenuItemToggle.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "host/core/Log.h"

namespace {

const char kCharMap[] = "samples/charmap/charmap.png";  // " " to "Z", 24 x 32 cells
const char kImageDir[] = "samples/menus/";

std::string image(const char* name) { return std::string(kImageDir) + name + ".png"; }

// Holds the menus and answers their selector-bound actions.
class MenusLayer : public CCLayer {
public:
    bool init() override;

    void play(host::Object*) { report("Play pressed (selector with sender)"); }
    void help() { report("Help pressed (selector without sender)"); }
    void imagePressed(host::Object*) { report("Image item pressed (selector)"); }
    void soundToggled(host::Object* sender) {
        auto* toggle = static_cast<CCMenuItemToggle*>(sender);
        report(std::string("Sound toggled to ") + (toggle->selectedIndex() == 0 ? "on" : "off"));
    }

private:
    void report(const std::string& what) {
        host::log("menus: %s", what.c_str());
        if (status_) status_->setString(what);
    }
    CCMenu* makeColumn();
    CCMenu* makeImageColumn();
    CCMenu* makeGrid();

    CCLabelTTF* status_ = nullptr;  // a child
};

bool MenusLayer::init() {
    if (!CCLayer::init()) return false;
    const CGSize win = CCDirector::sharedDirector()->winSize();

    CCMenu* column = makeColumn();
    column->alignItemsVerticallyWithPadding(6);
    column->setPosition(CGPointMake(110, win.height / 2 - 10));
    addChild(column);

    CCMenu* images = makeImageColumn();
    images->alignItemsVerticallyWithPadding(10);
    images->setPosition(CGPointMake(290, win.height / 2 - 5));
    addChild(images);

    CCMenu* grid = makeGrid();
    // Columns of three and two; a grid needs every item it counts.
    if (grid->children() && grid->children()->count() == 5) grid->alignItemsInRows({3, 2});
    grid->setPosition(CGPointMake(425, win.height / 2 - 5));
    addChild(grid);

    status_ = CCLabelTTF::labelWithString("Touch or click an item", "Helvetica", 14);
    if (status_) {
        status_->setPosition(CGPointMake(win.width / 2, 16));
        status_->setColor(ccc3(255, 220, 0));
        addChild(status_);
    }
    return true;
}

// Font items, a toggle, a character-map item and a disabled item.
CCMenu* MenusLayer::makeColumn() {
    // The class-wide font applies to the items made now; the engine's
    // default is put back for whoever makes font items next.
    const std::string defaultFont = CCMenuItemFont::fontName();
    const unsigned defaultSize = CCMenuItemFont::fontSize();
    CCMenuItemFont::setFontName("Helvetica");
    CCMenuItemFont::setFontSize(24);

    CCMenuItemFont* play = CCMenuItemFont::itemFromString("Play", this, cc_selector(MenusLayer::play));
    CCMenuItemFont* help = CCMenuItemFont::itemFromString("Help", this, cc_selector(MenusLayer::help));
    int blockPresses = 0;
    CCMenuItemFont* counter = CCMenuItemFont::itemFromString("Block: 0", [this, blockPresses](host::Object* sender) mutable {
        auto* item = static_cast<CCMenuItemFont*>(sender);
        item->setString("Block: " + std::to_string(++blockPresses));
        report("Block item pressed " + std::to_string(blockPresses) + " times");
    });
    CCMenuItemFont* disabled = CCMenuItemFont::itemFromString("Disabled", [this](host::Object*) {
        report("the disabled item fired (it must not)");
    });
    CCMenuItemToggle* sound = CCMenuItemToggle::itemWithTarget(
        this, cc_selector(MenusLayer::soundToggled),
        {CCMenuItemFont::itemFromString("Sound: On"), CCMenuItemFont::itemFromString("Sound: Off")});

    CCMenuItemFont::setFontName(defaultFont);
    CCMenuItemFont::setFontSize(defaultSize);

    if (disabled) disabled->setIsEnabled(false);
    if (play) play->setColor(ccc3(120, 255, 120));
    CCMenuItemAtlasFont* atlas = CCMenuItemAtlasFont::itemFromString(
        "ATLAS", kCharMap, 24, 32, ' ', [this](host::Object*) { report("Character-map item pressed (block)"); });
    return CCMenu::menuWithItems({play, help, counter, sound, atlas, disabled});
}

// An image item with all three states, the same image disabled, and a
// sprite item (a star that turns gold while held).
CCMenu* MenusLayer::makeImageColumn() {
    CCMenuItemImage* button = CCMenuItemImage::itemFromNormalImage(
        image("button-normal"), image("button-selected"), image("button-disabled"), this,
        cc_selector(MenusLayer::imagePressed));
    CCMenuItemImage* disabledButton = CCMenuItemImage::itemFromNormalImage(
        image("button-normal"), image("button-selected"), image("button-disabled"));
    if (disabledButton) disabledButton->setIsEnabled(false);
    CCMenuItemSprite* starItem = CCMenuItemSprite::itemFromNormalSprite(
        CCSprite::spriteWithFile(image("star-normal")), CCSprite::spriteWithFile(image("star-selected")),
        [this](host::Object*) { report("Sprite item pressed (block)"); });
    return CCMenu::menuWithItems({button, disabledButton, starItem});
}

// Five character-map items in columns of three and two, each a label item
// around its own label.
CCMenu* MenusLayer::makeGrid() {
    CCMenuItem* items[5] = {};
    for (int i = 0; i < 5; ++i) {
        const std::string digit(1, char('1' + i));
        CCLabelAtlas* label = CCLabelAtlas::labelWithString(digit, kCharMap, 24, 32, ' ');
        items[i] = CCMenuItemLabel::itemWithLabel(label, [this, digit](host::Object*) {
            report("Grid item " + digit + " pressed (block)");
        });
    }
    return CCMenu::menuWithItems({items[0], items[1], items[2], items[3], items[4]});
}

}  // namespace

TILTBOARD_SAMPLE(menus, "Menus: items, layouts, toggles, disabled items") {
    CCScene* scene = CCScene::node();
    scene->addChild(host::create<MenusLayer>());
    addSampleTitle(scene, "Menus: items, layouts, toggles, disabled items");
    return scene;
}
