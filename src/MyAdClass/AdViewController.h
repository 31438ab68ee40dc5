// The advert slot along the top edge of the screen, flush right: a
// transparent banner-sized view over the GL view that shows the house
// advert first, then a banner from the Apex or the Meridian network, tried
// in the order of a schedule.
//
// The schedule ("a" for Apex, "m" for Meridian) is the one downloaded at an
// earlier launch and kept in the user defaults, or a built-in one. A
// network that has an advert replaces whatever is shown and keeps the slot
// (its client refreshes by itself) until it fails; a failure hands over to
// the next entry, and after the last entry the schedule starts again 15
// seconds later.
#pragma once

#include <string>
#include <vector>

#include "adnetworks/APXBannerView.h"
#include "adnetworks/MeridianBannerView.h"
#include "host/core/Ref.h"
#include "host/ui/View.h"

class QBHouse;

class AdViewController : public host::View, public APXBannerViewDelegate, public MeridianBannerViewDelegate {
public:
    static constexpr double kScheduleRestartDelay = 15.0;
    static constexpr const char* kBannerWillSlideInNotification = "BannerWillSlideIn";
    // Where the last downloaded advert configuration is kept.
    static constexpr const char* kAdConfigurationKey = "adString";

    // The banner size of this device class: the advert view's, and both
    // networks' banners.
    static CGSize bannerSize();
    static std::vector<std::string> builtInSchedule();

    // Sets the view up and starts the rotation (once).
    void start();
    // Tries the next schedule entry.
    void startNewAd();
    void startApex();
    void startMeridian();
    // Fetches the advert configuration feed (a background thread's body);
    // what it stores is used at the next start.
    static void downloadData();
    // Configuration downloads started by start() and not yet ended.
    static int downloadsInFlight();
    // Takes down whatever advert is shown.
    void houseNone();

    void slideInSubview(host::View* v);
    void addSubviewAtBottom(host::View* v);
    void addSubviewOutsideAtBottom(host::View* v);
    // The did-stop callback of the slide-in; nothing to do when it ends.
    void slideInDidStop(const std::string& animationID, bool finished, void* context);

    // ---- MeridianBannerViewDelegate ----
    unsigned meridianBannerViewDelegateMethods() const override { return kPublisherId | kDidLoad | kDidFail; }
    std::string publisherIdForMeridianBannerView(MeridianBannerView* banner) override;
    void meridianBannerViewDidLoadMeridianAd(MeridianBannerView* banner) override;
    void meridianBannerViewDidFailToReceiveAdWithError(MeridianBannerView* banner, host::Error* error) override;

    // ---- APXBannerViewDelegate ----
    void adViewDidReceiveAd(APXBannerView* banner) override;
    void adViewDidFailToReceiveAdWithError(APXBannerView* banner, host::Error* error) override;

    // ---- properties ----
    const std::vector<std::string>& arraySche() const { return arraySche_; }
    void setArraySche(std::vector<std::string> schedule) { arraySche_ = std::move(schedule); }
    QBHouse* thisHouse() const { return thisHouse_; }
    void setThisHouse(QBHouse* house) { thisHouse_ = house; }
    host::ViewController* currentViewController() const { return currentViewController_; }
    void setCurrentViewController(host::ViewController* c) { currentViewController_ = c; }

    // State, for checks and tests.
    int index() const { return index_; }
    bool isHouseShowing() const { return isHouseShowing_; }
    bool isMobUp() const { return isMobUp_; }
    bool isApexUp() const { return isApexUp_; }
    APXBannerView* apexBannerView() const { return apexBannerView_.get(); }
    MeridianBannerView* meridianBannerView() const { return meridianBannerView_.get(); }

protected:
    ~AdViewController() override;

private:
    void takeDownApex();
    void takeDownMeridian();

    host::Ref<MeridianBannerView> meridianBannerView_;
    host::Ref<APXBannerView> apexBannerView_;
    int index_ = 0;
    std::vector<std::string> arraySche_;
    QBHouse* thisHouse_ = nullptr;                         // owned by its superview
    host::ViewController* currentViewController_ = nullptr;  // not retained
    bool isHouseShowing_ = false;
    bool isMobUp_ = false;
    bool isApexUp_ = false;
};
