// The entry of every unit-test binary. The tests run as parts of the game,
// so the application is named as the game names itself (links they open go
// to TILTBOARD_OPEN_URL_LOG, say); the process's scratch root is made
// before any test, so death-test children find it.
#include <gtest/gtest.h>

#include "ScratchDirectory.h"
#include "host/core/ApplicationContext.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    host::ApplicationContext::setCurrent(host::ApplicationContext("Tiltboard"));
    (void)ScratchDirectory::processRoot();
    return RUN_ALL_TESTS();
}
