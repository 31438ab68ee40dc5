#include "GameOptions.h"

#include "host/Options.h"

GameOptions& GameOptions::shared() {
    static GameOptions options;
    return options;
}

void GameOptions::addFlags(host::CommandLine& cl) {
    cl.addFlag("--autoplay", &shared().autoplay,
               "a built-in player presses \"Play Game\", tilts to dodge and restarts after each crash");
}
