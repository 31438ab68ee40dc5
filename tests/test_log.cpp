// The log: what libraries print to standard error during a capture goes to
// the log file alone, while our own lines still reach the terminal.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "host/core/Log.h"

namespace {

TEST(LibraryOutputCapture, LibraryNoiseGoesToTheLogFileOnlyAndOurLinesStillShow) {
    ScratchDirectory dir;
    LogCapture log;
    testing::internal::CaptureStderr();
    {
        host::LibraryOutputCapture quiet("openal");
        std::fprintf(stderr, "ALSA lib pcm.c:2666: Unknown PCM default\n");
        std::fflush(stderr);
        const char raw[] = "AL lib: (EE) no device\nand a last line without its newline";
        ASSERT_EQ(::write(STDERR_FILENO, raw, sizeof raw - 1), ssize_t(sizeof raw - 1));
        host::log("sound is off: no audio device");
    }
    std::fprintf(stderr, "after the capture\n");
    const std::string terminal = testing::internal::GetCapturedStderr();
    EXPECT_EQ(terminal, "sound is off: no audio device\nafter the capture\n");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"sound is off: no audio device",
                                                     "openal: ALSA lib pcm.c:2666: Unknown PCM default",
                                                     "openal: AL lib: (EE) no device",
                                                     "openal: and a last line without its newline"}));
}

TEST(LibraryOutputCapture, WithoutALogFileTheNoiseIsDropped) {
    testing::internal::CaptureStderr();
    {
        host::LibraryOutputCapture quiet("lib");
        std::fprintf(stderr, "noise\n");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
