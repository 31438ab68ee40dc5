// Who the running application is. The executable names itself once at
// start-up (ApplicationMain takes the context); everything the host would
// otherwise have to spell out is derived from that name, so the host knows
// nothing of any particular game.
#pragma once

#include <string>

namespace host {

class ApplicationContext {
public:
    ApplicationContext() = default;
    // `name` as the player reads it ("My Game"); the data folder defaults
    // to its lower-case form with spaces as dashes ("my-game").
    explicit ApplicationContext(std::string name);
    ApplicationContext(std::string name, std::string dataFolderName);

    // The one context of the process (a copy); empty until set, which
    // happens once at start-up.
    static ApplicationContext current();
    static void setCurrent(ApplicationContext context);

    // The window title.
    const std::string& name() const { return name_; }
    const std::string& dataFolderName() const { return dataFolderName_; }
    // Where the user defaults live unless told otherwise:
    // $XDG_CONFIG_HOME/<folder>, else ~/.config/<folder>; empty while the
    // application has no name.
    std::string defaultDataDirectory() const;
    // The environment variable of one of the application's settings:
    // "OPEN_URL_LOG" is "MY_GAME_OPEN_URL_LOG" for "My Game".
    std::string environmentVariable(const std::string& setting) const;

private:
    std::string name_;
    std::string dataFolderName_;
};

}  // namespace host
