// Native overlay views over the game: a switch with its caption, a
// button that counts taps, an image with rounded corners, labels, a banner
// that flips to new content and one that curls, each on a timer, and an
// alert that comes up after a second. The views are laid out in interface
// points (480 x 320 on a phone, origin top left) and added to the GL view,
// as the game adds its own.
#include <string>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Bundle.h"
#include "host/core/RunLoop.h"
#include "host/graphics/DrawingContext.h"
#include "host/graphics/Image.h"
#include "host/ui/AlertView.h"
#include "host/ui/Button.h"
#include "host/ui/ImageView.h"
#include "host/ui/Label.h"
#include "host/ui/Switch.h"

namespace {

constexpr double kFirstFlip = 1.05, kFirstCurl = 0.9, kAlertDelay = 1.0;
constexpr double kTransitionPeriod = 2.4, kTransitionDuration = 1.2;

// A banner face: a vertical two-colour gradient with a caption.
class BannerFace : public host::View {
public:
    static BannerFace* make(CGSize size, host::Color top, host::Color bottom, const std::string& caption) {
        return host::create<BannerFace>([&](BannerFace* f) {
            if (!f->initWithFrame(CGRectMake(0, 0, size.width, size.height))) return false;
            f->top_ = top;
            f->bottom_ = bottom;
            f->setBackgroundColor(host::Color::clearColor());
            f->setUserInteractionEnabled(false);
            host::Label* label = host::Label::labelWithFrame(CGRectMake(10, 0, size.width - 20, size.height));
            if (!label) return false;
            label->setText(caption);
            label->setFont(host::Font::boldSystemFont(16).get());
            label->setTextColor(host::Color::whiteColor());
            label->setShadowColor(host::Color{0, 0, 0, 0.5f});
            label->setBackgroundColor(host::Color::clearColor());
            label->setTextAlignment(host::kTextAlignmentCenter);
            f->addSubview(label);
            return true;
        });
    }
    void drawRect(host::DrawingContext& ctx, CGRect rect) override {
        const host::LinearGradient g{{top_, 0}, {bottom_, 1}};
        ctx.drawLinearGradient(g, CGPointMake(0, 0), CGPointMake(0, rect.size.height),
                               host::kGradientDrawsBeforeStartLocation | host::kGradientDrawsAfterEndLocation);
    }

private:
    host::Color top_, bottom_;
};

// A rounded card that swaps between two faces.
class Card {
public:
    void build(host::View* parent, CGRect frame, BannerFace* a, BannerFace* b) {
        card_ = host::View::viewWithFrame(frame);
        card_->setCornerRadius(8);
        card_->setClipsToBounds(true);
        card_->setBackgroundColor(host::Color::clearColor());
        faces_[0] = a;
        faces_[1] = b;
        card_->addSubview(a);
        parent->addSubview(card_);
    }
    host::View* view() const { return card_.get(); }
    // Puts the other face in (inside an open animation block, it animates).
    void swap() {
        faces_[shown_]->removeFromSuperview();
        shown_ ^= 1;
        card_->addSubview(faces_[shown_]);
    }

private:
    host::Ref<host::View> card_;
    host::Ref<BannerFace> faces_[2];
    int shown_ = 0;
};

host::Label* addLabel(host::View* parent, const std::string& text, CGRect frame, float size) {
    host::Label* l = host::Label::labelWithFrame(frame);
    l->setText(text);
    l->setFont(host::Font::systemFontOfSize(size).get());
    l->setTextColor(host::Color::whiteColor());
    l->setBackgroundColor(host::Color::clearColor());
    parent->addSubview(l);
    return l;
}

// The sample's picture: the application icon, or a generated pattern
// when the resources lack it.
host::Image* sampleImage() {
    const std::string path = host::Bundle::main().pathForResource("Icon", "png", "");
    if (!path.empty())
        if (host::Image* image = host::Image::imageWithContentsOfFile(path)) return image;
    uint8_t pixels[64 * 64 * 3];
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = pixels + (y * 64 + x) * 3;
            p[0] = uint8_t(x * 4);
            p[1] = uint8_t(y * 4);
            p[2] = ((x / 8 + y / 8) % 2) ? 230 : 90;
        }
    return host::Image::imageWithPixels(pixels, 64, 64, 3);
}

class OverlaysScene : public CCScene, public host::AlertViewDelegate {
public:
    static OverlaysScene* node() { return host::create<OverlaysScene>(); }

    void onEnter() override {
        CCScene::onEnter();
        EAGLView* glView = CCDirector::sharedDirector()->openGLView();
        if (!glView) return;
        // One container for everything, so leaving takes it all away; what
        // it does not take (empty areas) goes on to the game.
        root_ = host::View::viewWithFrame(host::interfaceBounds());
        root_->setBackgroundColor(host::Color::clearColor());
        glView->addSubview(root_);
        buildControls();
        buildPictures();
        buildCards();
        host::RunLoop& loop = host::RunLoop::main();
        loop.performAfterDelay(this, kFirstFlip, [this] { flip(); });
        loop.performAfterDelay(this, kFirstCurl, [this] { curl(); });
        loop.performAfterDelay(this, kAlertDelay, [this] { showAlert(); });
    }

    void onExit() override {
        host::RunLoop::main().cancelPreviousPerformRequests(this);
        if (alert_) {
            alert_->setDelegate(nullptr);
            alert_->dismissWithClickedButtonIndex(alert_->cancelButtonIndex(), false);
            alert_.reset();
        }
        if (root_) root_->removeFromSuperview();
        root_.reset();
        CCScene::onExit();
    }

    void tapped(host::Button*) { taps_->setText("Taps: " + std::to_string(++tapCount_)); }
    void switched(host::Switch* s) { soundState_->setText(s->isOn() ? "sound on" : "sound off"); }
    void alertViewDidDismissWithButtonIndex(host::AlertView*, int index) override {
        status_->setText("Alert closed with button " + std::to_string(index));
        alert_.reset();
    }

private:
    // The alert takes the middle of the screen; the other views keep to
    // its sides so a screenshot shows everything at once.
    void buildControls() {
        host::Switch* sw = host::Switch::switchWithFrame(CGRectMake(380, 150, 0, 0));
        sw->setOn(true);
        sw->addTarget(this, cc_selector(OverlaysScene::switched), host::kControlEventValueChanged);
        root_->addSubview(sw);
        host::Label* caption = addLabel(root_, "Sound:", CGRectMake(380, 126, 94, 20), 17);
        caption->setTextColor(host::Color::greenColor());
        caption->setTextAlignment(host::kTextAlignmentCenter);
        soundState_ = addLabel(root_, "sound on", CGRectMake(380, 182, 94, 18), 13);
        soundState_->setTextAlignment(host::kTextAlignmentCenter);

        host::Button* button = host::Button::buttonWithType(host::kButtonTypeRoundedRect);
        button->setFrame(CGRectMake(10, 146, 80, 34));
        button->setTitle("Tap me", host::kControlStateNormal);
        button->addTarget(this, cc_selector(OverlaysScene::tapped), host::kControlEventTouchUpInside);
        root_->addSubview(button);
        taps_ = addLabel(root_, "Taps: 0", CGRectMake(10, 184, 80, 18), 14);
        taps_->setTextAlignment(host::kTextAlignmentCenter);
        status_ = addLabel(root_, "", CGRectMake(250, 300, 226, 16), 12);
        status_->setTextAlignment(host::kTextAlignmentRight);
    }

    void buildPictures() {
        host::ImageView* picture = host::ImageView::imageViewWithImage(sampleImage());
        picture->setFrame(CGRectMake(10, 34, 80, 80));
        picture->setContentMode(host::kContentModeScaleAspectFill);
        picture->setCornerRadius(14);
        picture->setClipsToBounds(true);
        root_->addSubview(picture);
        host::Label* caption = addLabel(root_, "Rounded image", CGRectMake(4, 116, 92, 16), 12);
        caption->setTextAlignment(host::kTextAlignmentCenter);
        host::Label* note = addLabel(root_, "Native views, drawn over the game in the interface orientation.",
                                     CGRectMake(10, 244, 112, 64), 12);
        note->setNumberOfLines(0);
        note->setLineBreakMode(host::kTextLineBreakModeWordWrap);
        note->setTextColor(host::Color{1, 0.85f, 0.3f, 1});
    }

    void buildCards() {
        const CGSize size = CGSizeMake(220, 48);
        // The house advert's grey-blue, and a second face to flip to.
        flipCard_.build(root_, CGRectMake(130, 30, size.width, size.height),
                        BannerFace::make(size, host::Color{183 / 255.f, 192 / 255.f, 202 / 255.f, 1},
                                         host::Color{115 / 255.f, 131 / 255.f, 162 / 255.f, 0.97f}, "Flip from right"),
                        BannerFace::make(size, host::Color{0.95f, 0.55f, 0.1f, 1}, host::Color{0.75f, 0.2f, 0.05f, 1},
                                         "Flipped!"));
        curlCard_.build(root_, CGRectMake(130, 246, size.width, size.height),
                        BannerFace::make(size, host::Color{0.2f, 0.75f, 0.35f, 1}, host::Color{0.05f, 0.45f, 0.2f, 1},
                                         "Curl down"),
                        BannerFace::make(size, host::Color{0.55f, 0.3f, 0.85f, 1}, host::Color{0.3f, 0.1f, 0.55f, 1},
                                         "A new page"));
    }

    void flip() {
        host::View::beginAnimations("flip", nullptr);
        host::View::setAnimationDuration(kTransitionDuration);
        host::View::setAnimationTransition(host::kAnimationTransitionFlipFromRight, flipCard_.view(), true);
        flipCard_.swap();
        host::View::commitAnimations();
        host::RunLoop::main().performAfterDelay(this, kTransitionPeriod, [this] { flip(); });
    }

    void curl() {
        host::View::transitionWithView(curlCard_.view(), kTransitionDuration, host::kAnimationOptionTransitionCurlDown,
                                       [this] { curlCard_.swap(); }, {});
        host::RunLoop::main().performAfterDelay(this, kTransitionPeriod, [this] { curl(); });
    }

    void showAlert() {
        alert_ = host::AlertView::alertWithTitle("Overlays", "Shown a second after the sample started.",
                                                 this, "OK", {});
        if (alert_) alert_->show();
    }

    host::Ref<host::View> root_;
    host::Label* taps_ = nullptr;  // subviews of root_
    host::Label* soundState_ = nullptr;
    host::Label* status_ = nullptr;
    int tapCount_ = 0;
    Card flipCard_, curlCard_;
    host::Ref<host::AlertView> alert_;
};

}  // namespace

TILTBOARD_SAMPLE(overlays, "Overlays: native views over the game") {
    CCScene* scene = OverlaysScene::node();
    scene->addChild(CCLayerGradient::layerWithColor(ccc4(30, 40, 70, 255), ccc4(10, 12, 20, 255)));
    // Engine drawing under the overlays.
    const CGSize win = CCDirector::sharedDirector()->winSize();
    if (CCLabelTTF* label = CCLabelTTF::labelWithString("(the game draws here)", "Helvetica", 12)) {
        label->setPosition(CGPointMake(win.width / 2, 14));
        label->setColor(ccc3(120, 130, 160));
        scene->addChild(label);
    }
    addSampleTitle(scene, "Overlays: native views over the game");
    return scene;
}
