// The game's own command-line flags, on top of the host's common ones.
#pragma once

#include <string>

namespace host { class CommandLine; }

struct GameOptions {
    bool autoplay = false;  // --autoplay: the built-in player plays
    // The servers behind the adverts and the promotion feed; empty: none,
    // and every download fails at once as with no network.
    std::string feedServer;  // --feed-server: adDone.plist and QBPromo.plist
    std::string apexServer;  // --apex-server: the Apex banner network
    std::string adServer;    // --ad-server: the Meridian network's request.php

    static GameOptions& shared();
    // Registers the flags on `cl`, writing into shared().
    static void addFlags(host::CommandLine& cl);
    // Hands the server addresses to the advert code.
    void applyServerSettings() const;
};
