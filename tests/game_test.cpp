// The game around the ball: game start, the score board and the game clock.

#include "ball/clock.h"
#include "board/form1.h"
#include "hoop/frmsplash.h"
#include "screens/frmend.h"
#include "sim_fixture.h"

#include <algorithm>

using namespace platform;
using orvanta::Form1;
using orvanta::frmend;
using orvanta::frmSplash;
using BallWindow = orvanta::clock;

namespace {

class Game : public SimTest {};

std::ptrdiff_t positionIn(const std::vector<std::string>& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) - log.begin();
}

TEST_F(Game, StartShowsHoopAndBoardThenTheShapedBallAndRunsInsideItsModalShow)
{
    bool startReturned = false;
    afs().SecondsLeft = 60;
    start([&] {
        orvanta::window<BallWindow>().Show();
        startReturned = true;
    });
    const auto& log = sim.log();
    const auto hoop = positionIn(log, "show frmSplash");
    const auto board = positionIn(log, "show Form1");
    const auto shape = positionIn(log, "shape clock");
    const auto ball = positionIn(log, "show clock modal");
    EXPECT_LT(hoop, board);
    EXPECT_LT(board, shape);
    EXPECT_LT(shape, ball);
    EXPECT_LT(ball, static_cast<std::ptrdiff_t>(log.size()));

    sim.advance(60000);
    EXPECT_FALSE(startReturned); // the whole game runs inside the show
    sim.advance(1000);
    ASSERT_EQ(openBoxTitle(), "Whats the score?");
    sim.answer(msgbox::ok);
    EXPECT_TRUE(startReturned);
}

struct Placement {
    ScreenSize screen;
    float boardTop, hoopLeft, hoopTop;
};

class BoardPlacement : public SimTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(BoardPlacement, DocksBottomLeftAndPutsTheHoopAnEighthOfTheWidthDown)
{
    const Placement& p = GetParam();
    sim.setScreenSize(p.screen);
    startGame("Ann", 60);
    const Form1& board = form<Form1>();
    EXPECT_EQ(board.Left, 0);
    EXPECT_EQ(board.Top, p.boardTop);
    EXPECT_EQ(form<frmSplash>().Left, p.hoopLeft);
    EXPECT_EQ(form<frmSplash>().Top, p.hoopTop);
    EXPECT_EQ(board.Label2.Caption.get(), "Ann"); // in place of "Home"
    EXPECT_EQ(board.Lblscore.Caption.get(), "0 ");
    EXPECT_EQ(board.Label1.Caption.get(), "");
}

INSTANTIATE_TEST_SUITE_P(Screens, BoardPlacement,
                         ::testing::Values(Placement{{1024, 768}, 10185, 6112.5F, 1920},
                                           Placement{{1280, 1024}, 14025, 8032.5F, 2400},
                                           Placement{{800, 600}, 7665, 4432.5F, 1500}));

class Board : public SimTest {
protected:
    void SetUp() override { startGame(); }

    // One bounce tick with the ball at the given place and speeds (7, 9).
    std::pair<int, int> bounce(float left, float top, int ticks = 1)
    {
        sim.invoke([&] {
            BallWindow& ball = form<BallWindow>();
            ball.Left = left;
            ball.Top = top;
            afs().BallSpeedX = 7;
            afs().BallSpeedY = 9;
            for (int i = 0; i < ticks; ++i)
                form<Form1>().Timer1_Timer();
        });
        return {afs().BallSpeedX.value(), afs().BallSpeedY.value()};
    }
};

TEST_F(Board, TurnsTheBallStraightBackOnlyWhileItOverlaps)
{
    // The board spans 0..4215 across and 10185..11520 down; the ball is 960 square.
    const struct {
        const char* where;
        float left, top;
        std::pair<int, int> speeds;
    } cases[] = {{"overlapping", 4214, 9226, {-7, -9}},
                 {"bottom edge level with the board's top", 100, 9225, {7, 9}},
                 {"left edge on the board's right edge", 4215, 10000, {7, 9}},
                 {"wholly to the right", 5000, 10500, {7, 9}},
                 {"wholly above", 100, 9000, {7, 9}},
                 {"deep inside", 1000, 10400, {-7, -9}}};
    for (const auto& c : cases)
        EXPECT_EQ(bounce(c.left, c.top), c.speeds) << c.where;
}

TEST_F(Board, TwoOverlappingTicksReverseTwice)
{
    EXPECT_EQ(bounce(1000, 10400, 2), std::make_pair(7, 9));
}

class GameClock : public SimTest {};

TEST_F(GameClock, AOneMinuteGameRunsSixtyOneTicksAndBeepsEleven)
{
    startGame("Ann", 60);
    const Form1& board = form<Form1>();
    sim.advance(1000);
    EXPECT_EQ(board.Label1.Caption.get(), "59");
    EXPECT_EQ(sim.beeps(), 0);
    sim.advanceTo(51000);
    EXPECT_EQ(board.Label1.Caption.get(), "9");
    EXPECT_EQ(sim.beeps(), 1);
    sim.advanceTo(60000);
    EXPECT_EQ(board.Label1.Caption.get(), "0");
    EXPECT_EQ(sim.beeps(), 10);
    EXPECT_FALSE(sim.boxOpen());

    sim.advanceTo(61000);
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Times up, lets see how you did!");
    EXPECT_EQ(sim.openBox()->title, "Whats the score?");
    EXPECT_EQ(sim.openBox()->style, 0);
    EXPECT_FALSE(form<BallWindow>().Visible());
    EXPECT_FALSE(form<frmSplash>().Visible());
    EXPECT_FALSE(board.Visible());
    EXPECT_FALSE(loaded<frmend>());
    EXPECT_EQ(sim.beeps(), 10);

    sim.advance(3000); // the player takes a while; the clock does not tick again
    EXPECT_EQ(sim.boxes().size(), 1u);
    sim.answer(msgbox::ok);
    EXPECT_TRUE(form<frmend>().Visible());
    EXPECT_EQ(sim.beeps(), 11); // the label still reads "0"
    EXPECT_FALSE(board.Timer2.Enabled);
    sim.advance(5000);
    EXPECT_EQ(sim.beeps(), 11);
    EXPECT_EQ(sim.boxes().size(), 1u);
}

TEST_F(GameClock, ATenMinuteGameShowsPlainDigitsAndBeepsOnlyBelowTen)
{
    startGame("Ann", 600);
    sim.advance(1000);
    EXPECT_EQ(form<Form1>().Label1.Caption.get(), "599");
    sim.advanceTo(590000);
    EXPECT_EQ(form<Form1>().Label1.Caption.get(), "10");
    EXPECT_EQ(sim.beeps(), 0);
    sim.advance(1000);
    EXPECT_EQ(form<Form1>().Label1.Caption.get(), "9");
    EXPECT_EQ(sim.beeps(), 1);
}

TEST_F(GameClock, NoSecondsLeftEndsTheGameOnTheFirstTickWithABeep)
{
    startGame("Ann", 0);
    sim.advance(1000);
    ASSERT_EQ(openBoxTitle(), "Whats the score?");
    EXPECT_EQ(form<Form1>().Label1.Caption.get(), "");
    sim.answer(msgbox::ok);
    EXPECT_EQ(sim.beeps(), 1);
}

} // namespace
