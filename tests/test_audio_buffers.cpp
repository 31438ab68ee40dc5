// The engine's buffer table, the buffer manager's ids and asynchronous
// loading, on real OpenAL buffers.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "AudioTestSupport.h"
#include "LogCapture.h"
#include "audio/CDAsynchBufferLoader.h"
#include "audio/CDBufferManager.h"
#include "audio/CDSoundEngine.h"
#include "host/core/BackgroundTask.h"
#include "host/core/NotificationCenter.h"
#include "host/core/Options.h"

namespace {

class BufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = host::Ref<CDSoundEngine>::adopt(
            host::createOwned<CDSoundEngine>([](CDSoundEngine* e) { return e->init(); }));
        ASSERT_TRUE(engine->functioning());
        manager = host::Ref<CDBufferManager>::adopt(
            host::createOwned<CDBufferManager>([this](CDBufferManager* m) { return m->initWithEngine(engine.get()); }));
        good = audiotest::writeToneFile("good.wav", 0.1, 440, 0.5);
        other = audiotest::writeToneFile("other.wav", 0.2, 660, 0.5);
        bad = audiotest::scratchPath("bad.wav");
        audiotest::writeFile(bad, {'n', 'o', 'p', 'e'});
    }

    host::AutoreleasePool pool;
    host::Ref<CDSoundEngine> engine;
    host::Ref<CDBufferManager> manager;
    std::string good, other, bad;
};

TEST_F(BufferTest, TheTableGrowsInStepsOfSixteen) {
    std::vector<short> pcm(100, 0);
    EXPECT_TRUE(engine->loadBufferFromData(63, pcm.data(), AL_FORMAT_MONO16, 200, 44100));
    EXPECT_EQ(engine->bufferTotal(), 64);
    EXPECT_TRUE(engine->loadBufferFromData(64, pcm.data(), AL_FORMAT_MONO16, 200, 44100));
    EXPECT_EQ(engine->bufferTotal(), 80);
    EXPECT_TRUE(engine->validateBufferId(64));
    EXPECT_FALSE(engine->validateBufferId(65));
    EXPECT_TRUE(engine->loadBufferFromData(100, pcm.data(), AL_FORMAT_MONO16, 200, 44100));
    EXPECT_EQ(engine->bufferTotal(), 112);
    // A grown record plays like any other.
    EXPECT_NE(engine->playSound(100, 0, 1, 0, 1, false), kCDNoSource);
    EXPECT_FALSE(engine->loadBufferFromData(-1, pcm.data(), AL_FORMAT_MONO16, 200, 44100));
}

TEST_F(BufferTest, DurationFollowsTheFormat) {
    std::vector<unsigned char> bytes(88200, 0);
    ASSERT_TRUE(engine->loadBufferFromData(0, bytes.data(), AL_FORMAT_MONO16, 88200, 44100));
    EXPECT_FLOAT_EQ(engine->bufferDurationInSeconds(0), 1.0f);
    EXPECT_EQ(engine->bufferSizeInBytes(0), 88200);
    EXPECT_EQ(engine->bufferFrequencyInHertz(0), 44100);
    ASSERT_TRUE(engine->loadBufferFromData(1, bytes.data(), AL_FORMAT_STEREO16, 88200, 44100));
    EXPECT_FLOAT_EQ(engine->bufferDurationInSeconds(1), 0.5f);
    ASSERT_TRUE(engine->loadBufferFromData(2, bytes.data(), AL_FORMAT_MONO8, 22050, 22050));
    EXPECT_FLOAT_EQ(engine->bufferDurationInSeconds(2), 1.0f);
    ASSERT_TRUE(engine->loadBufferFromData(3, bytes.data(), AL_FORMAT_STEREO8, 44100, 22050));
    EXPECT_FLOAT_EQ(engine->bufferDurationInSeconds(3), 1.0f);
    EXPECT_FLOAT_EQ(engine->bufferDurationInSeconds(9), -1.0f);
    EXPECT_EQ(engine->bufferSizeInBytes(9), -1);
    EXPECT_EQ(engine->bufferFrequencyInHertz(-3), -1);
}

TEST_F(BufferTest, AFailedLoadMarksTheRecordAndTheNextLoadReplacesIt) {
    EXPECT_FALSE(engine->loadBuffer(5, bad));
    EXPECT_FALSE(engine->validateBufferId(5));
    EXPECT_EQ(engine->playSound(5, 0, 1, 0, 1, false), kCDSoundRefused);
    EXPECT_TRUE(engine->loadBuffer(5, good));
    EXPECT_TRUE(engine->validateBufferId(5));
    EXPECT_NEAR(engine->bufferDurationInSeconds(5), 0.1f, 1e-4f);
}

TEST_F(BufferTest, UnloadingDetachesItFromPlayingSources) {
    ASSERT_TRUE(engine->loadBuffer(0, other));
    ALuint source = engine->playSound(0, 0, 1, 0, 1, true);
    ASSERT_NE(source, kCDNoSource);
    EXPECT_TRUE(engine->unloadBuffer(0));
    ALint state = 0, attached = -1;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alGetSourcei(source, AL_BUFFER, &attached);
    EXPECT_NE(state, AL_PLAYING);
    EXPECT_EQ(attached, 0);
    EXPECT_FALSE(engine->validateBufferId(0));
    EXPECT_FALSE(engine->unloadBuffer(500));
    // The regenerated record loads again.
    EXPECT_TRUE(engine->loadBuffer(0, good));
}

TEST_F(BufferTest, ManagerLoadsOnceAndReusesFreedIdsLastFirst) {
    EXPECT_EQ(manager->bufferForFile(good, false), -1);
    EXPECT_EQ(manager->bufferForFile(good, true), 0);
    EXPECT_EQ(manager->bufferForFile(good, true), 0);
    EXPECT_EQ(manager->bufferForFile(other, true), 1);
    EXPECT_EQ(manager->nextBufferId(), 2);

    manager->releaseBufferForFile(other);
    manager->releaseBufferForFile(good);
    EXPECT_FALSE(engine->validateBufferId(0));
    EXPECT_FALSE(engine->validateBufferId(1));
    EXPECT_EQ(manager->freedBuffers(), (std::vector<int>{1, 0}));
    EXPECT_EQ(manager->bufferForFile(other, true), 0);   // the last freed
    EXPECT_EQ(manager->bufferForFile(good, true), 1);
    manager->releaseBufferForFile(bad);                  // not loaded: nothing happens
    EXPECT_TRUE(manager->freedBuffers().empty());
}

TEST_F(BufferTest, AFileThatFailsGivesItsIdBackForTheNextFile) {
    LogCapture log;
    EXPECT_EQ(manager->bufferForFile(bad, true), -1);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(manager->freedBuffers(), (std::vector<int>{0}));
    EXPECT_EQ(manager->bufferForFile(bad, false), -1);
    // Id 0 holds a failed record now; a good file still loads into it.
    EXPECT_EQ(manager->bufferForFile(good, true), 0);
    EXPECT_TRUE(engine->validateBufferId(0));
}

TEST_F(BufferTest, RelativePathsAreFoundAmongTheResources) {
    std::string saved = host::Options::shared().resources;
    host::Options::shared().resources = audiotest::resourcesDir();
    EXPECT_EQ(manager->bufferForFile("sounds/blip.wav", true), 0);
    EXPECT_EQ(manager->bufferForFile("sounds/no-such-sound.wav", true), -1);
    host::Options::shared().resources = saved;
}

struct LoadWatcher : host::Object {
    std::atomic<int> completions{0};
    void loaded() { ++completions; }
};

TEST_F(BufferTest, AsynchronousLoadReportsProgressAndCompletion) {
    host::Ref<LoadWatcher> watcher = host::Ref<LoadWatcher>::adopt(new LoadWatcher);
    host::NotificationCenter::defaultCenter().addObserver(watcher.get(), cc_selector(LoadWatcher::loaded),
                                                          kCDN_AsynchLoadComplete);
    std::vector<host::Ref<CDBufferLoadRequest>> requests{CDBufferLoadRequest::request(0, good),
                                                         CDBufferLoadRequest::request(1, bad),
                                                         CDBufferLoadRequest::request(70, other)};
    engine->loadBuffersAsynchronously(requests);
    host::BackgroundTask::waitForAll();
    host::NotificationCenter::defaultCenter().removeObserver(watcher.get());

    EXPECT_EQ(watcher->completions.load(), 1);
    EXPECT_FLOAT_EQ(engine->asynchLoadProgress(), 1.0f);
    EXPECT_TRUE(engine->validateBufferId(0));
    EXPECT_FALSE(engine->validateBufferId(1));
    EXPECT_TRUE(engine->validateBufferId(70));
    EXPECT_EQ(engine->bufferTotal(), 80);
}

TEST_F(BufferTest, PlaysOnTheMainThreadWhileTheLoaderGrowsTheTable) {
    // The loader grows the table while the main thread keeps asking about
    // buffers; both go through the engine's buffer lock.
    std::vector<host::Ref<CDBufferLoadRequest>> requests;
    for (int id = 64; id < 64 + 16 * 12; id += 16) requests.push_back(CDBufferLoadRequest::request(id, good));
    ASSERT_TRUE(engine->loadBuffer(0, good));
    engine->loadBuffersAsynchronously(requests);
    while (engine->asynchLoadProgress() < 1.0f) {
        EXPECT_TRUE(engine->validateBufferId(0));
        engine->bufferDurationInSeconds(70);
        std::this_thread::yield();
    }
    host::BackgroundTask::waitForAll();
    EXPECT_EQ(engine->bufferTotal(), 64 + 16 * 12);
}

}  // namespace
