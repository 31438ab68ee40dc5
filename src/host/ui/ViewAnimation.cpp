#include "host/ui/ViewAnimation.h"

#include <algorithm>
#include <cmath>

#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Log.h"
#include "host/ui/OverlayRenderer.h"

namespace host {

namespace {

constexpr float kPi = 3.14159265358979f;

// A cubic Bezier timing curve through (0, 0), (x1, y1), (x2, y2), (1, 1):
// finds the curve parameter whose x is `t` and returns its y.
float cubicTiming(float t, float x1, float y1, float x2, float y2) {
    auto coord = [](float s, float p1, float p2) {
        const float u = 1 - s;
        return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
    };
    float lo = 0, hi = 1, s = t;
    for (int i = 0; i < 24; ++i) {
        const float x = coord(s, x1, x2);
        if (std::fabs(x - t) < 1e-5f) break;
        (x < t ? lo : hi) = s;
        s = (lo + hi) / 2;
    }
    return coord(s, y1, y2);
}

struct Decomposed {
    float tx, ty, angle, sx, sy, shear;
};

// M = rotation(angle) x [sx shear; 0 sy], then the translation.
Decomposed decompose(const CGAffineTransform& m) {
    Decomposed d{m.tx, m.ty, 0, 0, 0, 0};
    d.sx = std::hypot(m.a, m.b);
    if (d.sx == 0) {
        d.shear = m.c;
        d.sy = m.d;
        return d;
    }
    d.angle = std::atan2(m.b, m.a);
    d.shear = (m.a * m.c + m.b * m.d) / d.sx;
    d.sy = (m.a * m.d - m.b * m.c) / d.sx;
    return d;
}

CGAffineTransform recompose(const Decomposed& d) {
    const float c = std::cos(d.angle), s = std::sin(d.angle);
    return CGAffineTransform{d.sx * c, d.sx * s, d.shear * c - d.sy * s, d.shear * s + d.sy * c, d.tx, d.ty};
}

float lerp(float a, float b, float t) { return a + (b - a) * t; }

CGRect lerpRect(const CGRect& a, const CGRect& b, float t) {
    return CGRectMake(lerp(a.origin.x, b.origin.x, t), lerp(a.origin.y, b.origin.y, t),
                      lerp(a.size.width, b.size.width, t), lerp(a.size.height, b.size.height, t));
}

int transitionKind(int transition) {
    // The option form keeps the kind in bits 20 to 23.
    return (transition & 0xF00000) ? (transition >> 20) & 0xF : transition;
}

}  // namespace

float evaluateAnimationCurve(AnimationCurve curve, float t) {
    t = clampUnit(t);
    switch (curve) {
        case kAnimationCurveEaseIn: return cubicTiming(t, 0.42f, 0, 1, 1);
        case kAnimationCurveEaseOut: return cubicTiming(t, 0, 0, 0.58f, 1);
        case kAnimationCurveLinear: return t;
        default: return cubicTiming(t, 0.42f, 0, 0.58f, 1);
    }
}

CGAffineTransform interpolateTransform(const CGAffineTransform& from, const CGAffineTransform& to, float t) {
    Decomposed a = decompose(from), b = decompose(to);
    float turn = b.angle - a.angle;
    // The short way round.
    while (turn > kPi) turn -= 2 * kPi;
    while (turn < -kPi) turn += 2 * kPi;
    Decomposed m{lerp(a.tx, b.tx, t), lerp(a.ty, b.ty, t), a.angle + turn * t,
                 lerp(a.sx, b.sx, t),  lerp(a.sy, b.sy, t), lerp(a.shear, b.shear, t)};
    return recompose(m);
}

ViewAnimator& ViewAnimator::shared() {
    // Never destroyed: the views and GL textures of running animations
    // must not be let go of after the services they need are gone.
    static ViewAnimator* animator = new ViewAnimator;
    return *animator;
}

ViewAnimator::ViewAnimator() {
    // Animations still running at shutdown hold views and GL textures: let
    // them go while the views' world and the GL context are still there.
    Application::sharedApplication()->addShutdownHandler([this] { cancelAll(); });
}

ViewAnimator::Group* ViewAnimator::currentGroup() { return open_.empty() ? nullptr : open_.back().get(); }

void ViewAnimator::begin(const std::string& animationID, void* context) {
    auto g = std::make_unique<Group>();
    g->animationID = animationID;
    g->context = context;
    open_.push_back(std::move(g));
}

void ViewAnimator::setDuration(double seconds) {
    if (Group* g = currentGroup()) g->duration = std::isfinite(seconds) ? std::max(0.0, seconds) : 0;
}
void ViewAnimator::setDelay(double seconds) {
    if (Group* g = currentGroup()) g->delay = std::isfinite(seconds) ? std::max(0.0, seconds) : 0;
}
void ViewAnimator::setCurve(AnimationCurve curve) {
    if (Group* g = currentGroup()) g->curve = curve;
}
void ViewAnimator::setDelegate(Object* delegate) {
    if (Group* g = currentGroup()) g->delegate = delegate;
}
void ViewAnimator::setDidStopSelector(AnimationDidStopSelector selector) {
    if (Group* g = currentGroup()) g->didStop = selector;
}
void ViewAnimator::setDidStopHandler(std::function<void(bool)> handler) {
    if (Group* g = currentGroup()) g->handler = std::move(handler);
}

void ViewAnimator::setTransition(int transition, View* view) {
    Group* g = currentGroup();
    if (!g) {
        log("view animation: a transition set outside an animation block is ignored");
        return;
    }
    const int kind = transitionKind(transition);
    if (kind == kAnimationTransitionNone || !view) {
        g->transition.reset();
        return;
    }
    if (kind < kAnimationTransitionFlipFromLeft || kind > kAnimationTransitionCurlDown) {
        log("view animation: unknown transition %d", transition);
        return;
    }
    auto t = std::make_unique<ActiveTransition>();
    t->view = view;
    t->kind = AnimationTransition(kind);
    // The old content, as it is before the block's changes.
    OverlayRenderer::shared().captureSubtree(view, &t->before);
    g->transition = std::move(t);
}

void ViewAnimator::propertyWillChange(View* view, View::Property property, const View::Geometry& to) {
    if (!isRecording()) {
        // A change outside any block jumps: the running track goes.
        dropTrack(view, property);
        view->animatedMask_ &= ~unsigned(property);
        return;
    }
    Group* g = currentGroup();
    for (Track& t : g->tracks) {
        if (t.view.get() == view && t.property == property) {
            t.to = to;  // changed twice in one block: the last value counts
            return;
        }
    }
    const View::Geometry from = view->presentation();
    dropTrack(view, property);
    g->tracks.push_back(Track{view, property, from, to});
    // Until the block starts the view shows where it was.
    view->presentation_ = from;
    view->animatedMask_ |= property;
}

void ViewAnimator::dropTrack(View* view, View::Property property) {
    auto drop = [&](Group& g, bool running) {
        auto it = std::remove_if(g.tracks.begin(), g.tracks.end(),
                                 [&](const Track& t) { return t.view.get() == view && t.property == property; });
        if (it == g.tracks.end()) return;
        g.tracks.erase(it, g.tracks.end());
        if (running && g.tracks.empty() && !g.transition && !g.over) {
            g.over = true;
            g.finished = false;
        }
    };
    for (auto& g : open_) drop(*g, false);
    for (auto& g : running_) drop(*g, true);
}

void ViewAnimator::stopTransitionOn(View* view) {
    for (auto& g : running_) {
        if (!g->transition || g->transition->view.get() != view) continue;
        view->transition_ = nullptr;
        g->transition.reset();
        if (g->tracks.empty() && !g->over) {
            g->over = true;
            g->finished = false;
        }
    }
}

void ViewAnimator::rebuildTransitionList() {
    transitions_.clear();
    for (auto& g : running_)
        if (g->transition) transitions_.push_back(g->transition.get());
}

void ViewAnimator::commit() {
    if (open_.empty()) {
        log("view animation: commitAnimations without beginAnimations");
        return;
    }
    std::unique_ptr<Group> g = std::move(open_.back());
    open_.pop_back();
    if (!enabled_ || g->duration <= 0) {
        // Nothing to animate: the views show their new values now, and the
        // callbacks come on the next tick as for any other block.
        for (Track& t : g->tracks) t.view->animatedMask_ &= ~unsigned(t.property);
        g->tracks.clear();
        g->transition.reset();
        g->over = true;
    } else {
        g->start = Clock::now() + g->delay;
        if (g->transition) {
            View* v = g->transition->view.get();
            stopTransitionOn(v);
            v->transition_ = g->transition.get();
        }
    }
    running_.push_back(std::move(g));
    rebuildTransitionList();
    ensureTicking();
}

void ViewAnimator::ensureTicking() {
    if (link_) return;  // kept only while it is in the run loop
    link_ = DisplayLink::displayLinkWithTarget(nullptr, [this](DisplayLink*) { advance(Clock::now(), true); });
    link_->addToMainRunLoop();
}

void ViewAnimator::advance(double now, bool deliver) {
    for (auto& gp : running_) {
        Group& g = *gp;
        if (g.over || now < g.start) continue;
        double t = g.duration > 0 ? (now - g.start) / g.duration : 1;
        if (t >= 1) {
            t = 1;
            g.over = true;
        }
        const float e = evaluateAnimationCurve(g.curve, float(t));
        for (Track& tr : g.tracks) {
            View::Geometry& p = tr.view->presentation_;
            switch (tr.property) {
                case View::kPropertyCenter:
                    p.center = CGPointMake(lerp(tr.from.center.x, tr.to.center.x, e), lerp(tr.from.center.y, tr.to.center.y, e));
                    break;
                case View::kPropertyBounds: p.bounds = lerpRect(tr.from.bounds, tr.to.bounds, e); break;
                case View::kPropertyTransform: p.transform = interpolateTransform(tr.from.transform, tr.to.transform, e); break;
                case View::kPropertyAlpha: p.alpha = lerp(tr.from.alpha, tr.to.alpha, e); break;
                case View::kPropertyBackgroundColor:
                    p.backgroundColor = mixColors(tr.from.backgroundColor, tr.to.backgroundColor, e);
                    break;
            }
        }
        if (g.transition) g.transition->progress = e;
    }
    if (!deliver) return;

    std::vector<std::unique_ptr<Group>> ended;
    for (auto it = running_.begin(); it != running_.end();) {
        if ((*it)->over) {
            ended.push_back(std::move(*it));
            it = running_.erase(it);
        } else {
            ++it;
        }
    }
    if (ended.empty()) return;
    for (auto& g : ended) endGroup(*g);
    rebuildTransitionList();
    // Callbacks may start new blocks; the ended ones are out of the list.
    for (auto& g : ended) {
        if (g->delegate && g->didStop) g->didStop(g->delegate, g->animationID, g->finished, g->context);
        if (g->handler) g->handler(g->finished);
    }
    if (running_.empty() && link_) {
        link_->invalidate();
        link_.reset();
    }
}

void ViewAnimator::endGroup(Group& g) {
    for (Track& t : g.tracks) t.view->animatedMask_ &= ~unsigned(t.property);
    if (g.transition && g.transition->view->transition_ == g.transition.get()) g.transition->view->transition_ = nullptr;
    g.transition.reset();
}

void ViewAnimator::cancelAll() {
    for (auto& g : running_) endGroup(*g);
    for (auto& g : open_) endGroup(*g);
    running_.clear();
    open_.clear();
    transitions_.clear();
    if (link_) link_->invalidate();
    link_.reset();
}

// ---- the platform's class methods ---------------------------------------------------

void View::beginAnimations(const std::string& animationID, void* context) {
    ViewAnimator::shared().begin(animationID, context);
}
void View::commitAnimations() { ViewAnimator::shared().commit(); }
void View::setAnimationDuration(double seconds) { ViewAnimator::shared().setDuration(seconds); }
void View::setAnimationDelay(double seconds) { ViewAnimator::shared().setDelay(seconds); }
void View::setAnimationCurve(AnimationCurve curve) { ViewAnimator::shared().setCurve(curve); }
void View::setAnimationBeginsFromCurrentState(bool b) { ViewAnimator::shared().setBeginsFromCurrentState(b); }
void View::setAnimationDelegate(Object* delegate) { ViewAnimator::shared().setDelegate(delegate); }
void View::setAnimationDidStopSelector(AnimationDidStopSelector s) { ViewAnimator::shared().setDidStopSelector(s); }
void View::setAnimationDidStopHandler(std::function<void(bool)> h) {
    ViewAnimator::shared().setDidStopHandler(std::move(h));
}
void View::setAnimationTransition(int transition, View* view, bool cache) {
    (void)cache;
    ViewAnimator::shared().setTransition(transition, view);
}
void View::setAnimationsEnabled(bool enabled) { ViewAnimator::shared().setEnabled(enabled); }
bool View::areAnimationsEnabled() { return ViewAnimator::shared().isEnabled(); }

void View::animateWithDuration(double seconds, std::function<void()> animations, std::function<void(bool)> completion) {
    animateWithDuration(seconds, 0, 0, std::move(animations), std::move(completion));
}

void View::animateWithDuration(double seconds, double delay, unsigned options, std::function<void()> animations,
                               std::function<void(bool)> completion) {
    ViewAnimator& a = ViewAnimator::shared();
    a.begin("", nullptr);
    a.setDuration(seconds);
    a.setDelay(delay);
    a.setCurve(AnimationCurve((options >> 16) & 3));
    a.setBeginsFromCurrentState(options & kAnimationOptionBeginFromCurrentState);
    a.setDidStopHandler(std::move(completion));
    if (animations) animations();
    a.commit();
}

void View::transitionWithView(View* view, double seconds, unsigned options, std::function<void()> animations,
                              std::function<void(bool)> completion) {
    ViewAnimator& a = ViewAnimator::shared();
    a.begin("", nullptr);
    a.setDuration(seconds);
    a.setCurve(AnimationCurve((options >> 16) & 3));
    a.setDidStopHandler(std::move(completion));
    a.setTransition(int(options & 0xF00000), view);
    if (animations) animations();
    a.commit();
}

}  // namespace host
