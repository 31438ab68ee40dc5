// The house advert: a banner-sized view advertising the maker's own apps.
// Every 20 seconds it shows the next entry of the bundle's house advert
// list ("houseAds.plist": an array of dictionaries with "image", "link"
// and "text"), the image at the left and the text beside it, over a
// vertical grey-blue gradient. A tap opens the entry's link; while a
// finger is down a dark overlay covers the view.
//
// The advert rotation view makes it, sends it go(), and takes it down by
// cancelling its pending timed calls and removing it from the view.
#pragma once

#include <string>

#include "host/core/Ref.h"
#include "host/ui/View.h"

class QBHouse : public host::View {
public:
    static constexpr double kRotationPeriod = 20.0;
    static constexpr double kImageFadeDuration = 1.0;
    static constexpr double kTextFadeDuration = 1.5;
    static constexpr float kImageCornerRadius = 6.0f;
    static constexpr float kTextFontSize = 14.0f;
    static constexpr float kTabletTextFontSize = 20.0f;
    static constexpr float kOverlayAlpha = 0.3f;
    // The house advert list in the bundle.
    static constexpr const char* kListName = "houseAds";
    static constexpr const char* kListType = "plist";

    // Makes the view live, shows the first entry at once, clear background.
    void go();
    // For a view loaded from an interface file: go().
    void awakeFromNib();
    // Shows the next entry and schedules itself again (only while live).
    void startAds();
    // Restarts the rotation at once.
    void adjustTableViewInsetsForBanner();

    // The gradient, while live.
    void drawRect(host::DrawingContext& ctx, CGRect rect) override;

    // While live: the overlay while a finger is down, the link on a tap
    // that ends inside the view. A cancelled touch only takes the overlay
    // away.
    void touchesBegan(host::TouchSet* touches, host::Event* event) override;
    void touchesEnded(host::TouchSet* touches, host::Event* event) override;
    void touchesCancelled(host::TouchSet* touches, host::Event* event) override;

    // ---- state ----
    // The link of the entry shown ("" for none).
    const std::string& link() const { return link_; }
    // The view is live: it rotates, draws and takes touches.
    bool shouldRef() const { return shouldRef_; }
    // An entry has been shown before.
    bool isGoingN() const { return isGoingN_; }
    // The index of the entry shown.
    int cachedval() const { return cachedval_; }
    // The overlay shown while a finger is down, or nullptr.
    host::View* grad() const { return grad_.get(); }

protected:
    // Cancels the pending rotation and takes a leftover overlay away.
    ~QBHouse() override;

private:
    void removeAllSubviews();
    void removeOverlay();
    void showImage(const std::string& name);
    void showText(const std::string& text);

    std::string link_;
    // Kept while shown: the superview may drop it (taking every subview
    // down) while a finger is still on the house advert.
    host::Ref<host::View> grad_;
    bool shouldRef_ = false;
    bool isGoingN_ = false;
    int cachedval_ = 0;
};
