// The alert view: a title, a message and buttons in a box in the middle of
// the dimmed screen, modal until a button is clicked. Button indices: the
// cancel button (if any) is 0, then the other buttons in order.
//
// Alerts show one at a time: one shown while another is up waits in the
// key window's queue and comes up when those before it are dismissed.
// show() may be called from any thread; the alert appears on the main one.
// The delegate (not retained) hears of the click and of the dismissal,
// with the button's index, on the main thread.
#pragma once

#include <string>
#include <vector>

#include "host/ui/ModalChoiceView.h"

namespace host {

class AlertView;

class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(AlertView* alert, int index) { (void)alert; (void)index; }
    virtual void willPresentAlertView(AlertView* alert) { (void)alert; }
    virtual void didPresentAlertView(AlertView* alert) { (void)alert; }
    virtual void alertViewWillDismissWithButtonIndex(AlertView* alert, int index) { (void)alert; (void)index; }
    virtual void alertViewDidDismissWithButtonIndex(AlertView* alert, int index) { (void)alert; (void)index; }
};

class AlertView : public ModalChoiceView {
public:
    static constexpr double kShowDuration = 0.25;
    static constexpr double kDismissDuration = 0.2;

    // An empty cancel title means no cancel button.
    bool initWithTitle(const std::string& title, const std::string& message, AlertViewDelegate* delegate,
                       const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles);
    static AlertView* alertWithTitle(const std::string& title, const std::string& message, AlertViewDelegate* delegate,
                                     const std::string& cancelButtonTitle,
                                     const std::vector<std::string>& otherButtonTitles);

    const std::string& message() const { return message_; }
    void setMessage(const std::string& m) { message_ = m; }
    AlertViewDelegate* delegate() const { return delegate_; }
    void setDelegate(AlertViewDelegate* d) { delegate_ = d; }

    // Shows the alert in the key window, or queues it behind the alerts
    // already there.
    void show();

protected:
    View* makePanel(CGRect area) override;
    void animateIn(View* panel, View* dim, std::function<void()> done) override;
    void animateOut(View* panel, View* dim, std::function<void()> done) override;
    ButtonPalette paletteFor(ButtonStyle style) const override;
    void willPresent() override;
    void didPresent() override;
    void clicked(int index) override;
    void willDismiss(int index) override;
    void didDismiss(int index) override;
    bool dismissUnshown(int index) override;
    void didFinishDismissal() override;

private:
    friend class Window;

    std::string message_;
    AlertViewDelegate* delegate_ = nullptr;
    Window* window_ = nullptr;  // where it was shown or queued; not retained
};

}  // namespace host
