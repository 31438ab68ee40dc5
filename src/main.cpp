#include "GameOptions.h"
#include "host/Application.h"
#include "host/Object.h"

int main(int argc, char** argv) {
    host::setExtraFlags(&GameOptions::addFlags);
    int result;
    {
        host::AutoreleasePool pool;
        result = host::ApplicationMain(argc, argv, nullptr, "AppDelegate");
    }
    return result;
}
