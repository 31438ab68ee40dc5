#include "host/ui/Window.h"

#include "host/ui/AlertView.h"
#include "host/ui/OverlayRenderer.h"
#include "host/ui/TouchRouter.h"

namespace host {

namespace {

Window* gKeyWindow = nullptr;

// One of a window's overlay layers: as large as the interface, it takes no
// touches itself, only its subviews do.
class OverlayLayer : public View {
public:
    View* hitTest(CGPoint p) override {
        View* hit = View::hitTest(p);
        return hit == this ? nullptr : hit;
    }
};

// The topmost subview of `container` (whose subviews are in overlay space)
// that takes a touch at `p`.
View* hitSubviews(View* container, CGPoint p) {
    const auto& views = container->subviews();
    for (size_t i = views.size(); i-- > 0;) {
        View* v = views[i].get();
        const CGPoint local = CGPointApplyAffineTransform(p, CGAffineTransformInvert(v->transformToSuperview()));
        if (View* hit = v->hitTest(local)) return hit;
    }
    return nullptr;
}

}  // namespace

Window::Window() = default;

bool Window::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    for (Ref<View>* layer : {&presentationLayer_, &alertLayer_}) {
        *layer = Ref<View>::adopt(createOwned<OverlayLayer>([](OverlayLayer* l) { return l->initWithFrame(interfaceBounds()); }));
        (*layer)->layerOwner_ = this;
    }
    return true;
}

Window::~Window() {
    if (gKeyWindow == this) gKeyWindow = nullptr;
    for (View* layer : {presentationLayer_.get(), alertLayer_.get()})
        if (layer) layer->layerOwner_ = nullptr;
    // Alerts outliving the window must not call back into it.
    if (visibleAlert_) visibleAlert_->window_ = nullptr;
    for (const Ref<AlertView>& a : queuedAlerts_) a->window_ = nullptr;
}

void Window::makeKeyAndVisible() {
    gKeyWindow = this;
    setHidden(false);
    OverlayRenderer::shared().attachToDisplay();
    TouchRouter::shared();  // touches now go to this window first
}

Window* Window::keyWindow() { return gKeyWindow; }

View* Window::overlayHitTest(CGPoint p) {
    if (isHidden()) return nullptr;
    for (View* layer : {alertLayer_.get(), presentationLayer_.get()}) {
        if (!layer) continue;
        if (View* hit = hitSubviews(layer, p)) return hit;
    }
    const auto& views = subviews();
    for (size_t i = views.size(); i-- > 0;) {
        View* v = views[i].get();
        // The GL view covers the window: what its overlays do not take is
        // the game's.
        if (isSurfaceView(v)) return v->isHidden() ? nullptr : hitSubviews(v, p);
        const CGPoint local = CGPointApplyAffineTransform(p, CGAffineTransformInvert(v->transformToSuperview()));
        if (View* hit = v->hitTest(local)) return hit;
    }
    return nullptr;
}

void Window::enqueueAlert(AlertView* alert) {
    if (!alert || alert == visibleAlert_.get()) return;
    for (const Ref<AlertView>& queued : queuedAlerts_)
        if (queued.get() == alert) return;
    if (visibleAlert_) {
        queuedAlerts_.push_back(alert);
        return;
    }
    visibleAlert_ = alert;
    alert->presentInLayer(alertLayer_.get());
}

void Window::alertDidDismiss(AlertView* alert) {
    if (!alert || alert != visibleAlert_.get()) return;
    Ref<AlertView> keep = visibleAlert_;
    visibleAlert_.reset();
    if (queuedAlerts_.empty()) return;
    Ref<AlertView> next = queuedAlerts_.front();
    queuedAlerts_.erase(queuedAlerts_.begin());
    visibleAlert_ = next;
    next->presentInLayer(alertLayer_.get());
}

bool Window::removeQueuedAlert(AlertView* alert) {
    for (auto it = queuedAlerts_.begin(); it != queuedAlerts_.end(); ++it) {
        if (it->get() != alert) continue;
        queuedAlerts_.erase(it);
        return true;
    }
    return false;
}

}  // namespace host
