// The rim: baskets, landings, the block from below and the sides of the pieces.

#include "ball/clock.h"
#include "board/form1.h"
#include "hoop/frmsplash.h"
#include "sim_fixture.h"

using namespace platform;
using orvanta::Form1;
using orvanta::frmSplash;
using BallWindow = orvanta::clock;

namespace {

// The hoop where the worked examples put it: S1L 6480, S1R 6735, S2L 8520, S2R 8775,
// rim top 3000, rim bottom 3255, hoop bottom 3615.
constexpr float hoopLeft = 6120;
constexpr float hoopTop = 1920;

struct Ball {
    float left, top;
    int speedX, speedY;
};

struct Outcome {
    std::string score;
    bool inHoop;
    int speedX, speedY;
    float top;
    int baskets;
    int beeps;
};

class Rim : public SimTest {
protected:
    void SetUp() override { startGame("Bob", 600); }

    // One tick of the rim with the ball placed as given and everything else still.
    Outcome tick(const Ball& b, bool inHoop = false, const std::string& score = "3",
                 int baskets = 3)
    {
        const int beepsBefore = sim.beeps();
        sim.invoke([&] {
            frmSplash& hoop = form<frmSplash>();
            hoop.Left = hoopLeft;
            hoop.Top = hoopTop;
            hoop.InHoop = inHoop;
            form<Form1>().Lblscore.Caption = score;
            BallWindow& ball = form<BallWindow>();
            ball.Left = b.left;
            ball.Top = b.top;
            afs().BallSpeedX = static_cast<std::int16_t>(b.speedX);
            afs().BallSpeedY = static_cast<std::int16_t>(b.speedY);
            afs().BasketCount = static_cast<std::int16_t>(baskets);
            hoop.Timer1_Timer();
        });
        // clang-format off
        return {form<Form1>().Lblscore.Caption,
                form<frmSplash>().InHoop,
                afs().BallSpeedX.value(),
                afs().BallSpeedY.value(),
                form<BallWindow>().Top,
                afs().BasketCount.value(),
                sim.beeps() - beepsBefore};
        // clang-format on
    }
};

void expectOutcome(const Outcome& actual, const Outcome& expected, const char* scenario)
{
    EXPECT_EQ(actual.score, expected.score) << scenario;
    EXPECT_EQ(actual.inHoop, expected.inHoop) << scenario;
    EXPECT_EQ(actual.speedX, expected.speedX) << scenario;
    EXPECT_EQ(actual.speedY, expected.speedY) << scenario;
    EXPECT_EQ(actual.top, expected.top) << scenario;
    EXPECT_EQ(actual.baskets, expected.baskets) << scenario;
    EXPECT_EQ(actual.beeps, expected.beeps) << scenario;
}

TEST_F(Rim, Scenarios)
{
    // clang-format off
    const struct {
        const char* name;
        Ball ball;
        bool inHoop;
        Outcome expected;
    } scenarios[] = {
        {"basket", {7200, 3090, 12, 45}, false, {"4", true, 0, 45, 3615, 4, 1}},
        {"landing on the left piece", {6000, 2070, 20, 60}, false, {"3", false, -50, -50, 2040, 3, 0}},
        {"landing on the right piece", {8400, 2070, 20, 60}, false, {"3", false, -50, -50, 2040, 3, 0}},
        {"landing with no speed across", {6000, 2070, 0, 60}, false, {"3", false, -30, -50, 2040, 3, 0}},
        {"landing while moving left", {6000, 2070, -40, 60}, false, {"3", false, 10, -50, 2040, 3, 0}},
        {"blocked from below", {7000, 3300, 0, -80}, false, {"3", false, 0, 80, 3615, 3, 0}},
        {"blocked: top 399 below the rim's top", {7000, 3399, 0, -80}, false, {"3", false, 0, 80, 3615, 3, 0}},
        {"not blocked: top 400 below the rim's top", {7000, 3400, 0, -80}, false, {"3", false, 0, -80, 3400, 3, 0}},
        {"not blocked: top 401 below the rim's top", {7000, 3401, 0, -80}, false, {"3", false, 0, -80, 3401, 3, 0}},
        {"inner side of the right piece", {7600, 2800, 25, 10}, false, {"3", false, -25, 10, 2800, 3, 0}},
        {"outer side of the left piece", {5560, 2800, 25, 10}, false, {"3", false, -25, 10, 2800, 3, 0}},
        {"right edge 1 short of S1L", {5519, 2800, 25, 10}, false, {"3", false, 25, 10, 2800, 3, 0}},
        {"right edge on S1L", {5520, 2800, 25, 10}, false, {"3", false, 25, 10, 2800, 3, 0}},
        {"right edge 1 past S1L", {5521, 2800, 25, 10}, false, {"3", false, -25, 10, 2800, 3, 0}},
        {"right edge 99 past S1L", {5619, 2800, 25, 10}, false, {"3", false, -25, 10, 2800, 3, 0}},
        {"right edge 100 past S1L", {5620, 2800, 25, 10}, false, {"3", false, 25, 10, 2800, 3, 0}},
        {"right edge 101 past S1L", {5621, 2800, 25, 10}, false, {"3", false, 25, 10, 2800, 3, 0}},
        {"outer side of the right piece", {8800, 2800, -25, 10}, false, {"3", false, 25, 10, 2800, 3, 0}},
        {"inner side of the left piece", {6700, 2800, -25, 10}, false, {"3", false, 25, 10, 2800, 3, 0}},
        {"left edge exactly on S1R", {6735, 3090, 12, 45}, false, {"3", false, 12, 45, 3090, 3, 0}},
        {"right edge exactly on S2L", {7560, 3090, 12, 45}, false, {"3", false, 12, 45, 3090, 3, 0}},
        {"still in the opening", {7200, 3090, 12, 0}, false, {"3", false, 12, 0, 3090, 3, 0}},
        {"rising through the opening", {7200, 3090, 12, -45}, false, {"3", false, 12, 45, 3615, 3, 0}},
        {"a second drop while in the hoop", {7200, 3090, 12, 45}, true, {"3", true, 12, 45, 3090, 3, 0}},
        {"below the hoop clears InHoop", {7200, 3616, 12, 45}, true, {"3", false, 12, 45, 3616, 3, 0}},
    };
    // clang-format on
    for (const auto& s : scenarios)
        expectOutcome(tick(s.ball, s.inHoop), s.expected, s.name);
}

TEST_F(Rim, TheScoreLabelIsReadAsANumber)
{
    EXPECT_EQ(tick({7200, 3090, 0, 45}, false, "0 ").score, "1");
    EXPECT_EQ(tick({7200, 3090, 0, 45}, false, "7").score, "8");
    EXPECT_EQ(tick({7200, 3090, 0, 45}, false, "").score, "1");
}

TEST_F(Rim, TheBonusNameCountsElevenOnTheEndScreenButOneOnTheBoard)
{
    afs().PlayerName = "qqbonusnow";
    const Outcome bonus = tick({7200, 3090, 12, 45});
    EXPECT_EQ(bonus.score, "4");
    EXPECT_EQ(bonus.baskets, 14);
    afs().PlayerName = "QQbonusnow";
    EXPECT_EQ(tick({7200, 3090, 12, 45}).baskets, 4);
    afs().PlayerName = "qqbonusnow ";
    EXPECT_EQ(tick({7200, 3090, 12, 45}).baskets, 4);
}

TEST_F(Rim, ABasketCountsOnceUntilTheBallHasLeftTheHoop)
{
    tick({7200, 3090, 12, 45});
    ASSERT_TRUE(form<frmSplash>().InHoop);
    // Let the game run on: the ball falls below the hoop on the next move tick.
    sim.advance(10);
    EXPECT_FALSE(form<frmSplash>().InHoop);
    EXPECT_EQ(afs().BasketCount.value(), 4);
}

TEST_F(Rim, TheThirtyOfALandingOverflows)
{
    tick({6000, 2070, 32740, 60});
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Run-time error '6':\n\nOverflow");
    sim.answer(msgbox::ok);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 1);
}

TEST_F(Rim, TheBasketCountOverflows)
{
    tick({7200, 3090, 12, 45}, false, "3", 32767);
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Run-time error '6':\n\nOverflow");
}

TEST_F(Rim, TitleAndArrowBlinkInOppositeSenses)
{
    const frmSplash& hoop = form<frmSplash>();
    EXPECT_EQ(hoop.Label1.ForeColor, rgb(192, 0, 0));
    EXPECT_TRUE(hoop.Image1.Visible && hoop.Image2.Visible);
    for (int tick = 1; tick <= 4; ++tick) {
        sim.advance(500);
        const bool odd = tick % 2 == 1;
        EXPECT_EQ(hoop.Label1.ForeColor, odd ? rgb(255, 0, 0) : rgb(192, 0, 0)) << tick;
        EXPECT_EQ(hoop.Image2.Visible, odd) << tick;
        EXPECT_EQ(hoop.Image1.Visible, !odd) << tick;
    }
    sim.invoke([&] {
        form<frmSplash>().Label1.ForeColor = rgb(1, 2, 3);
        form<frmSplash>().Timer2_Timer();
    });
    EXPECT_EQ(hoop.Label1.ForeColor, rgb(192, 0, 0));
    EXPECT_TRUE(hoop.Image1.Visible);
}

} // namespace
