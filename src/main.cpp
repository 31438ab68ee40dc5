#include "host/Application.h"
#include "host/Object.h"

int main(int argc, char** argv) {
    int result;
    {
        host::AutoreleasePool pool;
        result = host::ApplicationMain(argc, argv, nullptr, "AppDelegate");
    }
    return result;
}
