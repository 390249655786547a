// The ball window: its shape, its motion and the player's touch.

#include "ball/clock.h"
#include "sim_fixture.h"

using namespace platform;
using BallWindow = orvanta::clock;

namespace {

constexpr float floorLine = 11520 - 960; // a 1024 x 768 screen
constexpr float rightLine = 15360 - 960;

class Ball : public SimTest {
protected:
    void SetUp() override { startGame(); }
    BallWindow& ball() { return form<BallWindow>(); }
    int speedX() { return afs().BallSpeedX.value(); }
    int speedY() { return afs().BallSpeedY.value(); }
};

int pixelCount(const Region& region)
{
    int count = 0;
    for (const Rect& r : region.rects())
        count += r.width() * r.height();
    return count;
}

TEST_F(Ball, IsCutToTheBallBeforeItIsFirstShown)
{
    const Region* shape = ball().shape();
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(pixelCount(*shape), 64 * 64 - 1055);
    EXPECT_FALSE(shape->contains(0, 0));   // a magenta corner
    EXPECT_FALSE(shape->contains(32, 63)); // the row the picture leaves uncovered
    EXPECT_TRUE(shape->contains(32, 32));
    EXPECT_EQ(program.regions().size(), 0u); // every region handed on or released
    const auto& log = sim.log();
    const auto shaped = std::find(log.begin(), log.end(), "shape clock");
    EXPECT_LT(shaped, std::find(log.begin(), log.end(), "show clock modal"));
}

class RefusedShape : public SimTest {};

TEST_F(RefusedShape, ARegionTheWindowRefusesIsReleasedAndTheWindowStaysSquare)
{
    sim.refuseNextShape();
    startGame();
    EXPECT_EQ(form<BallWindow>().shape(), nullptr);
    EXPECT_EQ(program.regions().size(), 0u);
    EXPECT_TRUE(sim.moveMouse(form<BallWindow>(), 0, 0)); // the corner is the ball's now
    EXPECT_FALSE(program.ended());
}

// The ball's place is the game's: no screen moves its start, not even one too short for
// it, where the first physics tick then puts it on the floor as it would any ball below.
struct Start {
    ScreenSize screen;
    float topAfterFirstTick;
    int speedAfterFirstTick;
};

void PrintTo(const Start& start, std::ostream* out)
{
    *out << start.screen.width << " x " << start.screen.height;
}

class BallStart : public SimTest, public ::testing::WithParamInterface<Start> {};

TEST_P(BallStart, IsWhereItIsDefinedOnEveryScreen)
{
    sim.setScreenSize(GetParam().screen);
    startGame();
    const BallWindow& ball = form<BallWindow>();
    EXPECT_EQ(ball.Left, 7185);
    EXPECT_EQ(ball.Top, 9255);
    sim.advance(10);
    EXPECT_EQ(ball.Top, GetParam().topAfterFirstTick);
    EXPECT_EQ(afs().BallSpeedY.value(), GetParam().speedAfterFirstTick);
}

INSTANTIATE_TEST_SUITE_P(Screens, BallStart,
                         ::testing::Values(Start{{1024, 768}, 9255, 5},
                                           Start{{800, 600}, 600 * 15 - 960, 0},
                                           Start{{640, 480}, 480 * 15 - 960, 0}));

TEST_F(Ball, FloorBounceLosesASixthOfTheSpeed)
{
    const struct {
        int before;
        int after;
    } bounces[] = {{300, -250}, {240, -200}, {100, -83}, {50, -42},
                   {5, -4},     {1, -1},     {0, 0},     {-30, 25}};
    for (const auto& b : bounces) {
        sim.invoke([&] {
            ball().Top = floorLine + 45;
            afs().BallSpeedY = static_cast<std::int16_t>(b.before);
            ball().Timer3_Timer();
        });
        EXPECT_EQ(speedY(), b.after) << b.before;
        EXPECT_EQ(ball().Top, floorLine) << b.before; // and no gravity on the floor
    }
}

TEST_F(Ball, EdgesTurnTheBallBackOnlyPastThem)
{
    // clang-format off
    const struct {
        float left;
        int speedBefore;
        int speedAfter;
    } cases[] = {{0, 250, 250},          {-1, 250, 100},        {-1, -250, 100},
                 {rightLine, 40, 40},    {rightLine + 1, 40, -100}, {rightLine + 1, -250, -100},
                 {5000, -7, -7}};
    // clang-format on
    for (const auto& c : cases) {
        sim.invoke([&] {
            ball().Left = c.left;
            ball().Top = floorLine;
            afs().BallSpeedX = static_cast<std::int16_t>(c.speedBefore);
            ball().Timer3_Timer();
        });
        EXPECT_EQ(speedX(), c.speedAfter) << c.left << " " << c.speedBefore;
        EXPECT_EQ(ball().Left, c.left); // the edges move nothing
    }
}

TEST_F(Ball, FallsFromRestGainingFiveEachTick)
{
    const float top = ball().Top;
    for (int tick = 1; tick <= 20; ++tick) {
        sim.advance(10);
        EXPECT_EQ(speedY(), 5 * tick);
        EXPECT_EQ(ball().Top, top + 5.0F * (tick - 1) * tick / 2);
    }
    EXPECT_EQ(speedX(), 0);
    EXPECT_EQ(ball().Left, 7185);
}

TEST_F(Ball, RestingOnTheFloorStaysThere)
{
    sim.invoke([&] {
        ball().Top = floorLine;
        afs().BallSpeedY = 0;
    });
    sim.advance(2000);
    EXPECT_EQ(ball().Top, floorLine);
    EXPECT_EQ(speedY(), 0);
}

TEST_F(Ball, GravityPastTheSpeedLimitIsARunTimeError)
{
    sim.invoke([&] {
        ball().Top = 0;
        afs().BallSpeedY = 32763;
        ball().Timer3_Timer();
    });
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Run-time error '6':\n\nOverflow");
    sim.answer(msgbox::ok);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 1);
}

TEST_F(Ball, ATouchKnocksItAwayFromThePointTouched)
{
    const struct {
        float at;
        int fromX; // BallSpeedX for a touch at (at, 480)
        int fromY; // BallSpeedY for a touch at (480, at)
    } touches[] = {{0, 96, 240}, {15, 93, 232}, {45, 87, 218},    {465, 3, 8},
                   {480, 0, 0},  {495, -3, -8}, {915, -87, -218}, {945, -93, -232}};
    for (const auto& t : touches) {
        sim.advance(500); // the cool-down ends
        sim.invoke([&] { ball().Image1_MouseMove(0, 0, t.at, 480); });
        EXPECT_EQ(speedX(), t.fromX) << t.at;
        EXPECT_EQ(speedY(), 0) << t.at;
        sim.advance(500);
        sim.invoke([&] { ball().Image1_MouseMove(0, 0, 480, t.at); });
        EXPECT_EQ(speedX(), 0) << t.at;
        EXPECT_EQ(speedY(), t.fromY) << t.at;
    }
}

TEST_F(Ball, OnlyThePixelsOfTheBallFeelThePointer)
{
    EXPECT_FALSE(sim.moveMouse(ball(), 0, 0));     // a cut-away corner
    EXPECT_FALSE(sim.moveMouse(ball(), 950, 480)); // the last column is magenta
    EXPECT_FALSE(sim.moveMouse(ball(), 965, 480)); // Image1 reaches past the window
    EXPECT_EQ(speedX(), 0);
    EXPECT_EQ(speedY(), 0);
    EXPECT_TRUE(sim.moveMouse(ball(), 600, 480, mouse::leftButton)); // a held button counts
    EXPECT_EQ(speedX(), -24);
    EXPECT_EQ(speedY(), 0);
}

TEST_F(Ball, TakesOneTouchPerCoolDown)
{
    sim.advance(600); // after the first tick of tmrhit
    ASSERT_TRUE(sim.moveMouse(ball(), 300, 480));
    EXPECT_EQ(speedX(), 36);
    sim.advance(200);
    ASSERT_TRUE(sim.moveMouse(ball(), 700, 480));
    EXPECT_EQ(speedX(), 36); // ignored: still cooling
    EXPECT_TRUE(ball().HitLock);
    sim.advance(300); // 500 ms after the touch
    EXPECT_FALSE(ball().HitLock);
    EXPECT_FALSE(ball().tmrhit.Enabled);
    ASSERT_TRUE(sim.moveMouse(ball(), 700, 480));
    EXPECT_EQ(speedX(), -44);
}

TEST_F(Ball, AClickEndsTheProgramAtOnceEvenWhileCooling)
{
    ASSERT_TRUE(sim.moveMouse(ball(), 480, 480));
    ASSERT_TRUE(sim.click(ball(), 480, 480));
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_TRUE(sim.boxes().empty());
}

TEST_F(Ball, EscapeAsksNamingThePlayerAndNoOtherKeyDoes)
{
    sim.advance(500); // tmrhit gives the ball the focus
    for (int key : {int{'a'}, int{'Q'}, 13, 32, 9})
        EXPECT_TRUE(sim.pressKey(key));
    EXPECT_TRUE(sim.boxes().empty());

    ASSERT_TRUE(sim.pressKey(27));
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Are you sure you want to Exit, Ann?");
    EXPECT_EQ(sim.openBox()->title, "Exit");
    EXPECT_EQ(sim.openBox()->style, 308);
    const float top = ball().Top;
    sim.advance(100); // the ball keeps moving while the question is open
    EXPECT_NE(ball().Top, top);
    sim.answer(msgbox::no);
    EXPECT_FALSE(program.ended());

    ASSERT_TRUE(sim.pressKey(27));
    sim.answer(msgbox::yes);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 0);
}

TEST_F(Ball, TheEscapeQuestionClosedByTheWindowSystemAnswersNoAndAsksAgain)
{
    sim.advance(500);
    for (int time = 0; time < 2; ++time) {
        ASSERT_TRUE(sim.pressKey(27));
        ASSERT_EQ(openBoxTitle(), "Exit");
        ASSERT_TRUE(sim.closeBox());
        EXPECT_EQ(sim.boxes().back().answer, msgbox::no);
        EXPECT_FALSE(program.ended());
        EXPECT_TRUE(ball().Visible());
        sim.advance(100);
    }
}

} // namespace
