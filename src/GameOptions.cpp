#include "GameOptions.h"

#include "MyAdClass/PromotionSettings.h"
#include "adnetworks/ApexSettings.h"
#include "adnetworks/MeridianSettings.h"
#include "host/core/Options.h"

GameOptions& GameOptions::shared() {
    static GameOptions options;
    return options;
}

void GameOptions::addFlags(host::CommandLine& cl) {
    cl.addFlag("--autoplay", &shared().autoplay,
               "a built-in player presses \"Play Game\", tilts to dodge and restarts after each crash");
    cl.addURL("--feed-server", &shared().feedServer, "where the promotion feed and the advert schedule live");
    cl.addURL("--apex-server", &shared().apexServer, "the Apex banner network's server");
    cl.addURL("--ad-server", &shared().adServer, "the Meridian ad network's server");
}

void GameOptions::applyServerSettings() const {
    PromotionSettings::shared().setFeedServerURL(feedServer);
    ApexSettings::shared().setServerURL(apexServer);
    MeridianSettings::shared().setServerBaseURL(adServer);
}
