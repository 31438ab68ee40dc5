// What action sheets and alerts share: a view over the whole window that
// dims what lies under it and takes every touch, a panel with a title
// (and a message) and a column or row of buttons. A click on a button
// reports its index; the view then goes away after a short animation and
// reports the dismissal with the same index.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/ui/Button.h"
#include "host/ui/View.h"

namespace host {

class Label;

class ModalChoiceView : public View {
public:
    enum ButtonStyle { kStyleDefault, kStyleCancel, kStyleDestructive };
    // The colours of a button of each style.
    struct ButtonPalette {
        Color top, bottom;                // the fill, top to bottom
        Color pressedTop, pressedBottom;  // while pressed
        Color border, title;
    };

    const std::string& title() const { return title_; }
    void setTitle(const std::string& t) { title_ = t; }
    // Appends a button; returns its index.
    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return int(titles_.size()); }
    // The empty string for an index out of range.
    std::string buttonTitleAtIndex(int index) const;
    // -1: none.
    int cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(int index) { cancelIndex_ = index; }
    // On screen (from the moment it is shown until its dismissal ends).
    bool isVisible() const { return visible_; }

    // Takes the view away as if the button at `index` had been clicked,
    // without reporting a click.
    void dismissWithClickedButtonIndex(int index, bool animated);
    // Called after the delegate's did-dismiss, with the index.
    void setDidDismissHandler(std::function<void(int)> handler) { didDismissHandler_ = std::move(handler); }

    // The dimmed backdrop swallows touches.
    void touchesBegan(TouchSet*, Event*) override {}
    void touchesMoved(TouchSet*, Event*) override {}
    void touchesEnded(TouchSet*, Event*) override {}
    void touchesCancelled(TouchSet*, Event*) override {}

protected:
    bool initWithTitle(const std::string& title);
    // Adds this view to `layer` over its whole area, builds the panel and
    // animates it in.
    void presentInLayer(View* layer);

    virtual ButtonPalette paletteFor(ButtonStyle style) const;

    // The panel (with its title, message and buttons) for a window area,
    // and how it comes and goes.
    virtual View* makePanel(CGRect area) = 0;
    virtual void animateIn(View* panel, View* dim, std::function<void()> done) = 0;
    virtual void animateOut(View* panel, View* dim, std::function<void()> done) = 0;
    virtual ButtonStyle styleForButton(int index) const {
        return index == cancelIndex_ ? kStyleCancel : kStyleDefault;
    }

    // Reports to the subclass's delegate.
    virtual void willPresent() {}
    virtual void didPresent() {}
    virtual void clicked(int index) { (void)index; }
    virtual void willDismiss(int index) { (void)index; }
    virtual void didDismiss(int index) { (void)index; }
    // Dismissed before it was ever shown (a queued alert).
    virtual bool dismissUnshown(int index) { (void)index; return false; }
    // The view is gone from the screen.
    virtual void didFinishDismissal() {}

    // A button for `index`, styled for a dark panel; clicking it clicks
    // the index.
    Button* makeButton(int index, float cornerRadius, Font* font);
    // A label for the panel's title or message.
    static Label* makeText(const std::string& text, Font* font, CGRect frame, int lines);
    // The height `text` takes in `font` at `width`.
    static float textHeight(const std::string& text, Font* font, float width, int lines);
    const std::vector<std::string>& buttonTitles() const { return titles_; }

private:
    void buttonClicked(Button* button);
    void finishDismissal(int index);

    std::string title_;
    std::vector<std::string> titles_;
    int cancelIndex_ = -1;
    bool visible_ = false;
    bool dismissing_ = false;
    View* panel_ = nullptr;  // subviews: owned by this view
    View* dim_ = nullptr;
    std::function<void(int)> didDismissHandler_;
};

}  // namespace host
