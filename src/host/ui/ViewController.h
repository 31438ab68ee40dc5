// View controllers: a lazily made view, and modal presentation of another
// controller's view over the whole window.
#pragma once

#include "host/core/Ref.h"
#include "host/ui/View.h"

namespace host {

class ViewController : public Responder {
public:
    bool init() { return true; }
    bool initWithNibName(const char* nib, void* bundle) { (void)nib; (void)bundle; return init(); }

    // The controller's view, made by loadView on first use.
    View* view();
    void setView(View* v);
    bool isViewLoaded() const { return view_.get() != nullptr; }
    // Makes the view: by default a plain view of the interface bounds.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }

    bool wantsFullScreenLayout() const { return wantsFullScreen_; }
    void setWantsFullScreenLayout(bool b) { wantsFullScreen_ = b; }
    virtual bool shouldAutorotateToInterfaceOrientation(int orientation) { return orientation == 1; }
    virtual void didReceiveMemoryWarning() {}
    virtual void viewDidUnload() {}

    // Shows `controller`'s view over the whole window, above everything but
    // alerts; animated, it slides up from the bottom edge. Presenting while
    // a controller is presented presents over that one.
    void presentModalViewController(ViewController* controller, bool animated);
    // Takes the presented controller (and any it presents) away; sent to
    // the presented controller itself, it goes to its presenter.
    void dismissModalViewControllerAnimated(bool animated);
    ViewController* modalViewController() const { return modal_.get(); }
    // The controller that presented this one.
    ViewController* parentViewController() const { return parent_; }

    Responder* nextResponder() const override;

protected:
    ~ViewController() override;

private:
    void finishDismissal(bool animated);

    Ref<View> view_;
    bool wantsFullScreen_ = false;
    Ref<ViewController> modal_;
    ViewController* parent_ = nullptr;  // not retained: it retains us
    bool dismissing_ = false;
};

}  // namespace host
