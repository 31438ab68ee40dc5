#include "engine/CCMenu.h"

#include <numeric>

#include "engine/CCDirector.h"
#include "engine/ccMacros.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/CCTouchDispatcher.h"
#include "host/core/Ref.h"

namespace {

constexpr float kDefaultPadding = 5.0f;

// The thickness of the platform's status bar along the top of the screen
// as the player holds it. The emulated device shows no status bar, so no
// room is kept for one.
float statusBarThickness(int deviceOrientation) {
    CGRect statusBarFrame = CGRectZero;
    bool landscape = deviceOrientation == kCCDeviceOrientationLandscapeLeft ||
                     deviceOrientation == kCCDeviceOrientationLandscapeRight;
    return landscape ? statusBarFrame.size.width : statusBarFrame.size.height;
}

int directorOrientation() {
    auto* director = dynamic_cast<CCDirectorIOS*>(CCDirector::sharedDirector());
    return director ? director->deviceOrientation() : kCCDeviceOrientationPortrait;
}

// Grid layouts need one count per row (or column), each at least 1, and
// exactly as many places as there are items.
void checkGridCounts(const std::vector<unsigned>& counts, unsigned itemCount) {
    for (unsigned c : counts) CCAssert(c > 0, "CCMenu: a row or column needs at least one item");
    unsigned places = std::accumulate(counts.begin(), counts.end(), 0u);
    CCAssert(places == itemCount, "CCMenu: the counts must add up to the number of menu items");
}

}  // namespace

CCMenu* CCMenu::menuWithItems(std::initializer_list<CCMenuItem*> items) {
    return host::create<CCMenu>([&](CCMenu* m) { return m->initWithItems(items); });
}

bool CCMenu::initWithItems(std::initializer_list<CCMenuItem*> items) {
    return initWithItems(std::vector<CCMenuItem*>(items));
}

bool CCMenu::initWithItems(const std::vector<CCMenuItem*>& items) {
    if (!CCLayer::init()) return false;
    setIsTouchEnabled(true);
    CGSize s = CCDirector::sharedDirector()->winSize();
    setIsRelativeAnchorPoint(false);
    setAnchorPoint(CGPointMake(0.5f, 0.5f));
    setContentSize(s);
    float bar = statusBarThickness(directorOrientation());
    setPosition(CGPointMake(s.width / 2, (s.height - bar) / 2));
    int z = 0;
    for (CCMenuItem* item : items) {
        if (item) addChild(item, z);
        ++z;
    }
    selectedItem_ = nullptr;
    state_ = kCCMenuStateWaiting;
    return true;
}

template <class F> void CCMenu::forEachItem(F&& f) const {
    CCArray* kids = children();
    if (!kids) return;
    for (host::Object* o : *kids)
        if (auto* item = dynamic_cast<CCMenuItem*>(o)) f(item);
}

void CCMenu::addChild(CCNode* child, int z, int tag) { CCLayer::addChild(child, z, tag); }

void CCMenu::removeChild(CCNode* child, bool cleanup) {
    if (child && child == selectedItem_) selectedItem_ = nullptr;
    CCLayer::removeChild(child, cleanup);
}

void CCMenu::removeAllChildrenWithCleanup(bool cleanup) {
    selectedItem_ = nullptr;
    CCLayer::removeAllChildrenWithCleanup(cleanup);
}

// ---- Touches ----------------------------------------------------------------

void CCMenu::registerWithTouchDispatcher() {
    CCTouchDispatcher::sharedDispatcher()->addTargetedDelegate(this, kCCMenuTouchPriority, true);
}

CCMenuItem* CCMenu::itemForTouch(host::Touch* touch) {
    CGPoint location = CCDirector::sharedDirector()->convertToGL(touch->locationInView(touch->view()));
    CCMenuItem* found = nullptr;
    forEachItem([&](CCMenuItem* item) {
        if (found || !item->visible() || !item->isEnabled()) return;
        CGPoint local = item->convertToNodeSpace(location);
        CGRect r = item->rect();
        r.origin = CGPointZero;
        if (CGRectContainsPoint(r, local)) found = item;
    });
    return found;
}

bool CCMenu::ccTouchBegan(host::Touch* touch, host::Event*) {
    if (state_ != kCCMenuStateWaiting || !visible_) return false;
    selectedItem_ = itemForTouch(touch);
    if (!selectedItem_) return false;
    selectedItem_->selected();
    state_ = kCCMenuStateTrackingTouch;
    return true;
}

void CCMenu::ccTouchMoved(host::Touch* touch, host::Event*) {
    if (state_ != kCCMenuStateTrackingTouch) return;  // the menu left the stage meanwhile
    CCMenuItem* current = itemForTouch(touch);
    if (current == selectedItem_) return;
    if (selectedItem_) selectedItem_->unselected();
    selectedItem_ = current;
    if (selectedItem_) selectedItem_->selected();
}

void CCMenu::ccTouchEnded(host::Touch*, host::Event*) {
    if (state_ != kCCMenuStateTrackingTouch) return;  // the menu left the stage meanwhile
    // The action may remove the item (or the whole menu); keep the item
    // alive until it has returned.
    if (host::Ref<CCMenuItem> item = selectedItem_) {
        item->unselected();
        item->activate();
    }
    state_ = kCCMenuStateWaiting;
}

void CCMenu::ccTouchCancelled(host::Touch*, host::Event*) {
    if (state_ != kCCMenuStateTrackingTouch) return;  // the menu left the stage meanwhile
    if (selectedItem_) selectedItem_->unselected();
    state_ = kCCMenuStateWaiting;
}

void CCMenu::onExit() {
    if (state_ == kCCMenuStateTrackingTouch) {
        if (selectedItem_) selectedItem_->unselected();
        state_ = kCCMenuStateWaiting;
        selectedItem_ = nullptr;
    }
    CCLayer::onExit();
}

// ---- Colour and opacity ---------------------------------------------------

void CCMenu::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    forEachItem([&](CCMenuItem* item) {
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(item)) rgba->setOpacity(opacity);
    });
}

void CCMenu::setColor(ccColor3B color) {
    color_ = color;
    forEachItem([&](CCMenuItem* item) {
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(item)) rgba->setColor(color);
    });
}

// ---- Alignment ----------------------------------------------------------------

void CCMenu::alignItemsVertically() { alignItemsVerticallyWithPadding(kDefaultPadding); }

void CCMenu::alignItemsVerticallyWithPadding(float padding) {
    float height = -padding;
    forEachItem([&](CCMenuItem* item) { height += item->contentSize().height * item->scaleY() + padding; });
    float y = height / 2.0f;
    forEachItem([&](CCMenuItem* item) {
        float h = item->contentSize().height * item->scaleY();
        item->setPosition(CGPointMake(0, y - h / 2.0f));
        y -= h + padding;
    });
}

void CCMenu::alignItemsHorizontally() { alignItemsHorizontallyWithPadding(kDefaultPadding); }

void CCMenu::alignItemsHorizontallyWithPadding(float padding) {
    float width = -padding;
    forEachItem([&](CCMenuItem* item) { width += item->contentSize().width * item->scaleX() + padding; });
    float x = -width / 2.0f;
    forEachItem([&](CCMenuItem* item) {
        float w = item->contentSize().width * item->scaleX();
        item->setPosition(CGPointMake(x + w / 2.0f, 0));
        x += w + padding;
    });
}

namespace {

// The larger of a whole-number running maximum and a size, fractions cut off.
unsigned widerOf(unsigned current, float size) {
    return current >= size ? current : static_cast<unsigned>(size);
}

}  // namespace

unsigned CCMenu::itemCount() const {
    unsigned n = 0;
    forEachItem([&](CCMenuItem*) { ++n; });
    return n;
}

void CCMenu::alignItemsInColumns(std::initializer_list<unsigned> itemsPerRow) {
    alignItemsInColumns(std::vector<unsigned>(itemsPerRow));
}

void CCMenu::alignItemsInColumns(const std::vector<unsigned>& rows) {
    checkGridCounts(rows, itemCount());

    // First pass: the height of the grid, each row as high as its tallest item.
    int height = -5;
    unsigned row = 0, rowHeight = 0, columnsOccupied = 0;
    forEachItem([&](CCMenuItem* item) {
        rowHeight = widerOf(rowHeight, item->contentSize().height);
        if (++columnsOccupied >= rows[row]) {
            height += static_cast<int>(rowHeight) + 5;
            columnsOccupied = 0;
            rowHeight = 0;
            ++row;
        }
    });

    // Second pass: each row spreads its items evenly across the window.
    CGSize winSize = CCDirector::sharedDirector()->winSize();
    row = 0;
    rowHeight = 0;
    unsigned rowColumns = 0;
    float w = 0, x = 0, y = static_cast<float>(height / 2);
    forEachItem([&](CCMenuItem* item) {
        if (rowColumns == 0) {
            rowColumns = rows[row];
            w = winSize.width / (1 + rowColumns);
            x = w;
        }
        float itemHeight = item->contentSize().height;
        rowHeight = widerOf(rowHeight, itemHeight);
        item->setPosition(CGPointMake(x - winSize.width / 2, y - itemHeight / 2));
        x += w;
        if (++columnsOccupied >= rowColumns) {
            y -= static_cast<float>(rowHeight + 5);
            columnsOccupied = 0;
            rowColumns = 0;
            rowHeight = 0;
            ++row;
        }
    });
}

void CCMenu::alignItemsInRows(std::initializer_list<unsigned> itemsPerColumn) {
    alignItemsInRows(std::vector<unsigned>(itemsPerColumn));
}

void CCMenu::alignItemsInRows(const std::vector<unsigned>& columns) {
    checkGridCounts(columns, itemCount());

    // First pass: each column's width (its widest item) and height.
    std::vector<unsigned> columnWidths;
    std::vector<int> columnHeights;
    int width = -10, columnHeight = -5;
    unsigned column = 0, columnWidth = 0, rowsOccupied = 0;
    forEachItem([&](CCMenuItem* item) {
        CGSize s = item->contentSize();
        columnWidth = widerOf(columnWidth, s.width);
        columnHeight = static_cast<int>(columnHeight + s.height + 5);
        if (++rowsOccupied >= columns[column]) {
            columnWidths.push_back(columnWidth);
            columnHeights.push_back(columnHeight);
            width += static_cast<int>(columnWidth) + 10;
            rowsOccupied = 0;
            columnWidth = 0;
            columnHeight = -5;
            ++column;
        }
    });

    // Second pass: each column is centred vertically on the window.
    CGSize winSize = CCDirector::sharedDirector()->winSize();
    column = 0;
    columnWidth = 0;
    unsigned columnRows = 0;
    float x = static_cast<float>(-width / 2), y = 0;
    forEachItem([&](CCMenuItem* item) {
        if (columnRows == 0) {
            columnRows = columns[column];
            y = (columnHeights[column] + winSize.height) / 2;
        }
        CGSize s = item->contentSize();
        columnWidth = widerOf(columnWidth, s.width);
        item->setPosition(CGPointMake(x + static_cast<float>(columnWidths[column] / 2), y - winSize.height / 2));
        y -= s.height + 10;
        if (++rowsOccupied >= columnRows) {
            x += columnWidth + 5;
            rowsOccupied = 0;
            columnRows = 0;
            columnWidth = 0;
            ++column;
        }
    });
}
