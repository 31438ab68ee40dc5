// The action sheet: a title and a column of buttons rising from the bottom
// edge over the dimmed game, modal until a button is clicked. Button
// indices follow the order of the buttons: the destructive button (if
// any) first, then the other buttons, then the cancel button (if any).
// The delegate (not retained) hears of the click and of the dismissal,
// with the button's index.
#pragma once

#include <string>
#include <vector>

#include "host/ui/ModalChoiceView.h"

namespace host {

class ActionSheet;

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(ActionSheet* sheet, int index) { (void)sheet; (void)index; }
    virtual void willPresentActionSheet(ActionSheet* sheet) { (void)sheet; }
    virtual void didPresentActionSheet(ActionSheet* sheet) { (void)sheet; }
    virtual void actionSheetWillDismissWithButtonIndex(ActionSheet* sheet, int index) { (void)sheet; (void)index; }
    virtual void actionSheetDidDismissWithButtonIndex(ActionSheet* sheet, int index) { (void)sheet; (void)index; }
};

class ActionSheet : public ModalChoiceView {
public:
    static constexpr double kSlideDuration = 0.3;

    // Empty titles mean no such button.
    bool initWithTitle(const std::string& title, ActionSheetDelegate* delegate, const std::string& cancelButtonTitle,
                       const std::string& destructiveButtonTitle, const std::vector<std::string>& otherButtonTitles);
    static ActionSheet* actionSheetWithTitle(const std::string& title, ActionSheetDelegate* delegate,
                                             const std::string& cancelButtonTitle,
                                             const std::string& destructiveButtonTitle,
                                             const std::vector<std::string>& otherButtonTitles);

    ActionSheetDelegate* delegate() const { return delegate_; }
    void setDelegate(ActionSheetDelegate* d) { delegate_ = d; }
    int destructiveButtonIndex() const { return destructiveIndex_; }
    void setDestructiveButtonIndex(int index) { destructiveIndex_ = index; }

    // Shows the sheet over the window `view` is in (the key window when it
    // is in none); the window keeps it until it is dismissed.
    void showInView(View* view);

protected:
    View* makePanel(CGRect area) override;
    void animateIn(View* panel, View* dim, std::function<void()> done) override;
    void animateOut(View* panel, View* dim, std::function<void()> done) override;
    ButtonStyle styleForButton(int index) const override;
    void willPresent() override;
    void didPresent() override;
    void clicked(int index) override;
    void willDismiss(int index) override;
    void didDismiss(int index) override;

private:
    ActionSheetDelegate* delegate_ = nullptr;
    int destructiveIndex_ = -1;
};

}  // namespace host
