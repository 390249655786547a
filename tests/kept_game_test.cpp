// A game kept as it is played, on the headless backend: its row made when the player
// starts it, its baskets as they fall, and at the end its recording compressed and filed.

#include "ball/clock.h"
#include "hoop/frmsplash.h"
#include "keep/files.h"
#include "keep/store.h"
#include "program/kept_game.h"
#include "program/replay_vocabulary.h"
#include "screens/frmsplash1.h"
#include "sim_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

using namespace platform;
using namespace orvanta;
using BallWindow = orvanta::clock;

namespace {

// A new folder of its own under the system's temp folder; empty if none can be made.
std::string freshFolder(const std::string& prefix)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto path =
            std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(path, error))
            return path.string();
    }
    return {};
}

class KeptGameTest : public SimTest {
protected:
    void SetUp() override
    {
        folder = freshFolder("orvanta-kept");
        ASSERT_FALSE(folder.empty());
        std::string why;
        keep::Options options = keptGameOptions();
        options.lockPatience = std::chrono::milliseconds(100);
        auto store = keep::Store::open(folder, why, options);
        ASSERT_TRUE(store && store->begin(recording, why)) << why;
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
        std::filesystem::remove_all(folder + "-killed");
    }

    // The kept games as another program sees them.
    std::vector<keep::Game> games(const std::string& in = {})
    {
        std::string why;
        const auto store = keep::Store::open(in.empty() ? folder : in, why, keptGameOptions());
        EXPECT_TRUE(store && store->recover(why)) << why;
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
    kept->waitForTheTable();
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

// Another program holding the table's lock does not hold up the game (the table is
// written on a thread of its own) nor lose it: what could not be written goes with the
// next basket, and at the end the game is filed as it ended.
TEST_F(KeptGameTest, ALockHeldByAnotherProgramLosesNothing)
{
    std::string why;
    keep::files::File other = keep::files::File::forLocking(folder + "/games.lock", why);
    ASSERT_EQ(other.lock({}, why), keep::files::File::Locking::taken) << why;
    startTheGame("Ann");
    sim.advance(5000);
    dropThroughTheHoop();
    kept->waitForTheTable();
    EXPECT_EQ(playingRow(), "playing\t\t0\t0"); // as begun: it could not be written
    other.close(why);
    sim.advance(5000);
    dropThroughTheHoop();
    kept->waitForTheTable();
    EXPECT_EQ(playingRow(), "playing\tAnn\t2\t2");
    sim.advance(3000);
    ASSERT_TRUE(sim.pressKey(form<BallWindow>(), 27));
    sim.answer(msgbox::yes);
    const int secondsPlayed = 120 - afs().SecondsLeft.value();
    kept->finish();
    const std::vector<keep::Game> rows = games();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].state, keep::State::finished);
    EXPECT_EQ(rows[0].baskets, 2);
    EXPECT_EQ(rows[0].seconds, secondsPlayed);
}

// A game killed long after its last basket is filed at the next start with the seconds
// its recording reaches, as the board counted them.
TEST_F(KeptGameTest, AGameKilledIsFiledWithTheSecondsItsRecordingReaches)
{
    startTheGame("Ann");
    sim.advance(5000);
    dropThroughTheHoop();
    sim.advance(30000);
    kept->waitForTheTable();
    const int secondsPlayed = 120 - afs().SecondsLeft.value();
    ASSERT_GT(secondsPlayed, 30);
    // What a SIGKILL leaves: the recording as it stands, with no writer, and the table.
    namespace fs = std::filesystem;
    const std::string killed = folder + "-killed";
    fs::create_directory(killed);
    for (const std::string& name : {std::string("games"), fs::path(recording).filename().string()})
        fs::copy_file(folder + "/" + name, killed + "/" + name);
    const std::vector<keep::Game> rows = games(killed);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].state, keep::State::cut);
    EXPECT_EQ(rows[0].baskets, 1);
    EXPECT_EQ(rows[0].seconds, secondsPlayed);
}

} // namespace
