// The game's own command-line flags, on top of the host's common ones.
#pragma once

namespace host { class CommandLine; }

struct GameOptions {
    bool autoplay = false;  // --autoplay: the built-in player plays

    static GameOptions& shared();
    // Registers the flags on `cl`, writing into shared().
    static void addFlags(host::CommandLine& cl);
};
