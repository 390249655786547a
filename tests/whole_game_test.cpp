// One whole run through every window, from the program's start to Exit.

#include "ball/clock.h"
#include "board/form1.h"
#include "hoop/frmsplash.h"
#include "screens/frmend.h"
#include "screens/frmloading.h"
#include "screens/frmsplash1.h"
#include "sim_fixture.h"

using namespace platform;
using namespace orvanta;
using BallWindow = orvanta::clock;

namespace {

using WholeGame = SimTest;

TEST_F(WholeGame, FromTheLoadingScreenToExit)
{
    startProgram();
    EXPECT_TRUE(form<frmloading>().Visible());
    sim.advanceTo(4500);
    frmSplash1& entry = form<frmSplash1>();
    ASSERT_TRUE(entry.Visible());
    ASSERT_TRUE(sim.type(entry.text1, "Ann"));
    ASSERT_TRUE(sim.pick(entry.Combo1, 0));
    ASSERT_TRUE(sim.click(entry.Command1));
    ASSERT_EQ(openBoxTitle(), "Game Play");
    sim.answer(msgbox::ok);
    const std::int64_t gameStart = sim.now();

    BallWindow& ball = form<BallWindow>();
    const Form1& board = form<Form1>();
    EXPECT_TRUE(ball.Visible() && board.Visible() && form<frmSplash>().Visible());
    EXPECT_EQ(board.Label2.Caption.get(), "Ann");

    sim.advance(700); // the ball has dropped a little; knock it up and to the right
    ASSERT_TRUE(sim.moveMouse(ball, 300, 800));
    EXPECT_EQ(afs().BallSpeedX.value(), 36);
    EXPECT_EQ(afs().BallSpeedY.value(), -160);

    for (int basket = 1; basket <= 7; ++basket) {
        sim.advance(5000);
        dropThroughTheHoop();
        EXPECT_EQ(board.Lblscore.Caption.get(), std::to_string(basket));
    }
    EXPECT_EQ(sim.beeps(), 7);

    sim.advanceTo(gameStart + 61000);
    ASSERT_EQ(openBoxTitle(), "Whats the score?");
    sim.answer(msgbox::ok);
    frmend& end = form<frmend>();
    ASSERT_TRUE(end.Visible());
    EXPECT_EQ(end.Text1.Text.get(), "Ann");
    EXPECT_EQ(end.Text2.Text.get(), "60");
    EXPECT_EQ(end.Text3.Text.get(), "7");
    EXPECT_EQ(end.Label2.Caption.get(), "1 basket every 8.57142857142857 seconds");
    EXPECT_EQ(sim.beeps(), 7 + 11);

    sim.advance(2000);
    EXPECT_FALSE(ball.Visible());
    ASSERT_TRUE(sim.click(end.Command2));
    ASSERT_EQ(sim.openBox()->prompt, "Are you sure you want to Exit?");
    sim.answer(msgbox::yes);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 0);
}

} // namespace
