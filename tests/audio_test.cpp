// The sound wrappers: what the game's three sounds do when the engine or a sound is missing.
#include <gtest/gtest.h>

#include "app/app.h"
#include "audio/audio.h"
#include "game/state.h"
#include "tests/test_support.h"

namespace {

class AudioTest : public ProgramTest {};

TEST_F(AudioTest, WithoutAnEngineNothingIsLoadedAndFreeingIsHarmless) {
    FreeSounds();  // before any start
    scripted::world().faults.audio = true;
    EXPECT_EQ(InitSounds(nullptr), E_FAIL);
    EXPECT_NE(audioManager, nullptr);  // kept for the shut-down to free
    EXPECT_FALSE(shotSound || dieSound || splatSound);
    FreeSounds();
    FreeSounds();
    EXPECT_EQ(audioManager, nullptr);
    EXPECT_EQ(Output(), "");
}

TEST_F(AudioTest, ASoundThatCouldNotBePreparedRefusesToPlayButStillStops) {
    scripted::world().faults.prepare = true;
    EXPECT_EQ(InitSounds(nullptr), S_OK);
    ASSERT_TRUE(shotSound && dieSound && splatSound);  // loaded all the same
    EXPECT_EQ(shotSound->prepared, 0);
    EXPECT_EQ(shotSound->Play(DMUS_SEGF_SECONDARY), E_FAIL);
    EXPECT_EQ(shotSound->Stop(DMUS_SEGF_BEAT), S_OK);
    EXPECT_EQ(Output(), "sound stop shot\n");

    scripted::world().faults.prepare = false;  // preparing later makes it playable
    EXPECT_EQ(shotSound->Prepare(), S_OK);
    EXPECT_EQ(shotSound->Play(DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(Output(), "sound play shot\n");
    FreeSounds();
    EXPECT_FALSE(audioManager || shotSound || dieSound || splatSound);
}

}  // namespace
