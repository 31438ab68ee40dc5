#include "MyAdClass/QBHouse.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/core/Application.h"
#include "host/core/Bundle.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/data/PlistValue.h"
#include "host/graphics/DrawingContext.h"
#include "host/graphics/Image.h"
#include "host/text/Font.h"
#include "host/ui/ImageView.h"
#include "host/ui/Label.h"
#include "host/ui/Touch.h"

namespace {

// The background: light grey-blue at the top to a deeper blue at the
// bottom.
const host::LinearGradient& backgroundGradient() {
    static const host::LinearGradient gradient{
        {host::Color{183 / 255.0f, 192 / 255.0f, 202 / 255.0f, 1.0f}, 0},
        {host::Color{115 / 255.0f, 131 / 255.0f, 162 / 255.0f, 0.97f}, 1}};
    return gradient;
}

// The house advert list; none (and one log line) when the bundle has no
// usable list.
host::PlistValue loadHouseAds() {
    const std::string path = host::Bundle::main().pathForResource(QBHouse::kListName, QBHouse::kListType, "");
    if (path.empty()) {
        host::log("house advert: no %s.%s in the bundle", QBHouse::kListName, QBHouse::kListType);
        return host::PlistValue();
    }
    host::PlistValue list = host::PlistValue::fromFile(path);  // logs a malformed file itself
    if (!list.isArray() || list.size() == 0) {
        if (!list.isNone()) host::log("house advert: %s is not a list of adverts", path.c_str());
        return host::PlistValue();
    }
    return list;
}

// An image resource by name, as given or with ".png" added; nullptr (and
// one log line) when there is none.
host::Image* imageNamed(const std::string& name) {
    const host::Bundle& bundle = host::Bundle::main();
    std::string path = bundle.pathForResource(name, "", "");
    if (path.empty()) path = bundle.pathForResource(name, "png", "");
    if (path.empty()) {
        host::log("house advert: no image \"%s\" in the bundle", name.c_str());
        return nullptr;
    }
    return host::Image::imageWithContentsOfFile(path);
}

}  // namespace

QBHouse::~QBHouse() {
    host::RunLoop::main().cancelPreviousPerformRequests(this);
    removeOverlay();
}

void QBHouse::go() {
    shouldRef_ = true;
    startAds();
    setBackgroundColor(host::Color::clearColor());
}

void QBHouse::awakeFromNib() { go(); }

void QBHouse::removeAllSubviews() {
    // A copy: removing changes the list.
    const std::vector<host::Ref<host::View>> views = subviews();
    for (const host::Ref<host::View>& v : views) v->removeFromSuperview();
}

void QBHouse::startAds() {
    if (!shouldRef_) return;
    removeAllSubviews();

    const host::PlistValue list = loadHouseAds();
    if (list.isNone()) return;  // nothing to show: the rotation ends here
    const int count = static_cast<int>(list.size());
    if (!isGoingN_) {
        isGoingN_ = true;
        cachedval_ = static_cast<int>(static_cast<uint32_t>(random()) % static_cast<uint32_t>(count));
    } else {
        cachedval_ = cachedval_ + 1 >= count ? 0 : cachedval_ + 1;
    }
    const host::PlistValue& entry = list[static_cast<size_t>(cachedval_)];

    showImage(entry["image"].asString());
    link_ = entry["link"].asString();
    showText(entry["text"].asString());

    // One rotation at a time, however often the rotation is restarted.
    host::RunLoop& loop = host::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, kRotationPeriod, [this] { startAds(); });
}

void QBHouse::showImage(const std::string& name) {
    const CGSize size = frame().size;
    host::ImageView* image = host::ImageView::imageViewWithImage(name.empty() ? nullptr : imageNamed(name));
    if (!image) return;
    image->setCenter(CGPointMake(size.width / 11, size.height / 2));
    image->setCornerRadius(kImageCornerRadius);
    image->setClipsToBounds(true);
    addSubview(image);
    image->setAlpha(0);
    View::beginAnimations("", nullptr);
    View::setAnimationDuration(kImageFadeDuration);
    View::setAnimationTransition(host::kAnimationTransitionFlipFromRight, this, true);
    image->setAlpha(1);
    View::commitAnimations();
}

void QBHouse::showText(const std::string& text) {
    const CGSize size = frame().size;
    const CGRect box = CGRectMake(0, 0, static_cast<float>(static_cast<double>(size.width) / 1.1),
                                  static_cast<float>(static_cast<double>(size.height) / 1.1));
    host::TextView* view = host::TextView::textViewWithFrame(box);
    if (!view) return;
    const bool tablet = host::Device::current().userInterfaceIdiom() == 1;
    view->setFont(host::Font::boldSystemFont(tablet ? kTabletTextFontSize : kTextFontSize).get());
    view->setCenter(CGPointMake(size.width / 1.7f, size.height / 2));
    view->setText(text);
    view->setBackgroundColor(host::Color::clearColor());
    view->setUserInteractionEnabled(false);
    addSubview(view);
    view->setAlpha(0);
    View::beginAnimations("", nullptr);
    View::setAnimationDuration(kTextFadeDuration);
    view->setAlpha(1);
    View::commitAnimations();
}

void QBHouse::drawRect(host::DrawingContext& ctx, CGRect) {
    if (!shouldRef_) return;
    const CGRect b = bounds();
    const float midX = b.origin.x + b.size.width / 2;
    ctx.drawLinearGradient(backgroundGradient(), CGPointMake(midX, 0), CGPointMake(midX, b.origin.y + b.size.height),
                           host::kGradientDrawsBeforeStartLocation);
}

void QBHouse::removeOverlay() {
    if (!grad_) return;
    grad_->removeFromSuperview();
    grad_.reset();
}

void QBHouse::touchesBegan(host::TouchSet*, host::Event*) {
    if (!shouldRef_) return;
    removeOverlay();  // a second finger must not leave the first overlay behind
    host::View* parent = superview();
    if (!parent) return;
    host::View* overlay = host::View::viewWithFrame(frame());
    overlay->setBackgroundColor(host::Color::blackColor());
    overlay->setAlpha(kOverlayAlpha);
    parent->addSubview(overlay);
    grad_ = overlay;
}

void QBHouse::touchesEnded(host::TouchSet* touches, host::Event*) {
    if (!shouldRef_) return;
    host::Touch* touch = touches ? touches->anyObject() : nullptr;
    host::View* parent = superview();
    // A house advert already taken down opens nothing.
    if (touch && parent && !link_.empty() && CGRectContainsPoint(frame(), touch->locationInView(parent)))
        host::Application::sharedApplication()->openURL(link_);
    removeOverlay();
}

void QBHouse::touchesCancelled(host::TouchSet*, host::Event*) { removeOverlay(); }

void QBHouse::adjustTableViewInsetsForBanner() {
    shouldRef_ = false;
    removeAllSubviews();
    setNeedsDisplay();
    shouldRef_ = true;
    startAds();
    setNeedsDisplay();
}
