// A game kept as it is played, on the headless backend: its row made when the player
// starts it, its baskets as they fall, and at the end its recording compressed and filed.

#include "ball/clock.h"
#include "hoop/frmsplash.h"
#include "keep/store.h"
#include "program/kept_game.h"
#include "program/replay_vocabulary.h"
#include "screens/frmsplash1.h"
#include "sim_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

using namespace platform;
using namespace orvanta;
using BallWindow = orvanta::clock;

namespace {

class KeptGameTest : public SimTest {
protected:
    void SetUp() override
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvanta-kept-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        folder = pattern;
        std::string why;
        auto store = keep::Store::open(folder, why);
        ASSERT_TRUE(store) << why;
        recording = store->newRecording();
        auto output = replay::Output::open(recording, why);
        ASSERT_TRUE(output) << why;
        kept.emplace(std::move(store), recording,
                     std::make_unique<replay::Recorder>(std::move(output), recording,
                                                        "kept_game_test",
                                                        replay::Header{1024, 768, programVersion()},
                                                        [this] { return sim.now(); }));
        program.listen(&*kept);
    }
    void TearDown() override
    {
        sim.stop();
        program.listen(nullptr);
        kept.reset();
        std::filesystem::remove_all(folder);
    }

    // The kept games as another program sees them.
    std::vector<keep::Game> games()
    {
        std::string why;
        const auto store = keep::Store::open(folder, why);
        std::vector<keep::Game> rows;
        EXPECT_TRUE(store && store->rows(rows, why)) << why;
        return rows;
    }

    // The row of the game being played as the table file has it: state, player, minutes
    // and baskets.
    std::string playingRow() const
    {
        std::ifstream table(folder + "/games");
        for (std::string line; std::getline(table, line);) {
            std::vector<std::string> fields;
            std::istringstream words(line);
            for (std::string field; std::getline(words, field, '\t');)
                fields.push_back(field);
            if (fields.size() == 7 && fields[0] == "playing")
                return fields[0] + '\t' + fields[2] + '\t' + fields[3] + '\t' + fields[5];
        }
        return {};
    }

    void startTheGame(const std::string& name)
    {
        startProgram();
        sim.advanceTo(4500);
        frmSplash1& entry = form<frmSplash1>();
        ASSERT_TRUE(sim.type(entry.text1, name));
        ASSERT_TRUE(sim.pick(entry.Combo1, 1)); // two minutes
        ASSERT_TRUE(sim.click(entry.Command1));
        sim.answer(msgbox::ok);
    }

    std::string folder;
    std::string recording;
    std::optional<KeptGame> kept;
};

TEST_F(KeptGameTest, AGameLeftWithEscapeIsKeptWithItsBasketsAndReplaysToThem)
{
    startTheGame("Ann");
    for (int basket = 0; basket < 3; ++basket) {
        sim.advance(5000);
        dropThroughTheHoop();
    }
    ASSERT_EQ(afs().BasketCount.value(), 3);
    const int secondsPlayed = 120 - afs().SecondsLeft.value();
    EXPECT_TRUE(games().empty()); // a game still being played is not listed
    // but its row is up to date in the table, for the start after a crash to find
    EXPECT_EQ(playingRow(), "playing\tAnn\t2\t3");
    ASSERT_TRUE(sim.pressKey(form<BallWindow>(), 27));
    sim.answer(msgbox::yes);
    ASSERT_TRUE(program.ended());
    kept->finish();

    const std::vector<keep::Game> rows = games();
    ASSERT_EQ(rows.size(), 1u);
    const keep::Game& game = rows.front();
    EXPECT_EQ(game.state, keep::State::finished);
    EXPECT_EQ(game.player, "Ann");
    EXPECT_EQ(game.minutes, 2);
    EXPECT_EQ(game.baskets, 3);
    EXPECT_EQ(game.seconds, secondsPlayed);           // as the board counts them
    EXPECT_FALSE(std::filesystem::exists(recording)); // compressed in its place
    const replay::Replay replay = readGameReplay(folder + "/" + game.replay);
    ASSERT_FALSE(replay.events.empty());
    EXPECT_EQ(replay.events.back().kind, replay::EventKind::Exit);
}

TEST_F(KeptGameTest, AProgramLeftAtTheEntryScreenKeepsNothing)
{
    startProgram();
    sim.advanceTo(4500);
    ASSERT_TRUE(sim.click(form<frmSplash1>().Command2));
    sim.answer(msgbox::yes);
    ASSERT_TRUE(program.ended());
    kept->finish();
    EXPECT_TRUE(games().empty());
    EXPECT_FALSE(std::filesystem::exists(recording));
}

} // namespace
