#include "GameOptions.h"
#include "host/app/ApplicationMain.h"
#include "host/core/Object.h"

int main(int argc, char** argv) {
    host::setExtraFlags(&GameOptions::addFlags);
    int result;
    {
        host::AutoreleasePool pool;
        result = host::ApplicationMain(argc, argv, host::ApplicationContext("Tiltboard"), "AppDelegate");
    }
    return result;
}
