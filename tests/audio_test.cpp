// The sound wrappers: a sound that could not be prepared (a game without a sound engine is the
// silent scenario).
#include <gtest/gtest.h>

#include "app/app.h"
#include "audio/audio.h"
#include "game/state.h"
#include "tests/test_support.h"

namespace {

class AudioTest : public ProgramTest {};

TEST_F(AudioTest, ASoundThatCouldNotBePreparedRefusesToPlayButStillStops) {
    scripted::world().faults.prepare = true;
    EXPECT_EQ(InitSounds(), S_OK);
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
