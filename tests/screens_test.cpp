// The windows around the game: loading, entry, end and About.

#include "ball/clock.h"
#include "screens/form2.h"
#include "screens/frmend.h"
#include "screens/frmloading.h"
#include "screens/frmsplash1.h"
#include "sim_fixture.h"

using namespace platform;
using orvanta::Form2;
using orvanta::frmend;
using orvanta::frmloading;
using orvanta::frmSplash1;
using BallWindow = orvanta::clock;

namespace {

class Loading : public SimTest {
protected:
    void SetUp() override { startProgram(); }
};

TEST_F(Loading, HandsOverOnTheNinthTick)
{
    sim.advanceTo(4499);
    EXPECT_FALSE(loaded<frmSplash1>());
    EXPECT_EQ(form<frmloading>().LoadTicks.value(), 7);
    sim.advanceTo(4500);
    ASSERT_TRUE(loaded<frmSplash1>());
    EXPECT_TRUE(form<frmSplash1>().Visible());
    EXPECT_FALSE(form<frmloading>().Visible());
    EXPECT_FALSE(form<frmloading>().Timer1.Enabled);
    sim.advance(5000);
    EXPECT_EQ(form<frmloading>().LoadTicks.value(), 8);
}

TEST_F(Loading, AClickOnTheLabelsOrThePictureDoesNothing)
{
    const struct {
        const char* on;
        float x, y;
    } clicks[] = {{"the big letter", 2400, 1000},
                  {"game", 2400, 2500},
                  {"the title line", 600, 3100},
                  {"the ball picture", 4300, 600},
                  {"the empty logo(3)", 3000, 200}};
    for (const auto& c : clicks) {
        ASSERT_TRUE(sim.click(form<frmloading>(), c.x, c.y)) << c.on;
        EXPECT_FALSE(loaded<frmSplash1>()) << c.on;
    }
}

TEST_F(Loading, AClickOnTheBackgroundHandsOverAtOnceAndOnlyOnce)
{
    sim.advance(100);
    ASSERT_TRUE(sim.click(form<frmloading>(), 600, 1500));
    EXPECT_TRUE(form<frmSplash1>().Visible());
    EXPECT_FALSE(form<frmloading>().Visible());
    EXPECT_FALSE(sim.click(form<frmloading>(), 600, 1500)); // hidden: takes no clicks
    sim.advance(10000);
    EXPECT_EQ(std::count(sim.log().begin(), sim.log().end(), "show frmSplash1"), 1);
}

class Entry : public SimTest {
protected:
    void SetUp() override
    {
        startProgram();
        sim.advanceTo(4500);
    }
    frmSplash1& entry() { return form<frmSplash1>(); }
};

TEST_F(Entry, OffersOneToTenMinutesWithNothingPickedAndContinueFocused)
{
    const std::vector<std::string> lengths{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    EXPECT_EQ(entry().Combo1.items(), lengths);
    EXPECT_EQ(entry().Combo1.ListIndex(), -1);
    EXPECT_EQ(entry().Combo1.Text(), "");
    EXPECT_EQ(entry().focusedControl(), &entry().Command1);
}

TEST_F(Entry, AccessKeysGoToTheNameBoxAndTheList)
{
    ASSERT_TRUE(sim.pressAccessKey(entry(), 'P'));
    EXPECT_EQ(entry().focusedControl(), &entry().text1);
    ASSERT_TRUE(sim.pressAccessKey(entry(), 'M'));
    EXPECT_EQ(entry().focusedControl(), &entry().Combo1);
    // The tab order itself is kept: Continue, name box, Exit, length list.
    const auto order = entry().tabOrder();
    const std::vector<FocusableControl*> expected{&entry().Command1, &entry().text1,
                                                  &entry().Command2, &entry().Combo1};
    EXPECT_EQ(order, expected);
}

TEST_F(Entry, ReturnOnTheFocusedContinueAndSpaceOnTheFocusedExitClickThem)
{
    ASSERT_EQ(entry().focusedControl(), &entry().Command1);
    ASSERT_TRUE(sim.pressKey(entry(), 13));
    EXPECT_EQ(openBoxTitle(), "Name please!");
    sim.answer(msgbox::ok);

    ASSERT_TRUE(sim.pressKey(entry(), 9)); // Tab: to the name box, then to Exit
    ASSERT_TRUE(sim.pressKey(entry(), 9));
    ASSERT_EQ(entry().focusedControl(), &entry().Command2);
    ASSERT_TRUE(sim.pressKey(entry(), ' '));
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Are you sure you want to Exit?");
    // The box keeps its own default button: Enter there answers No.
    const MessageBoxRequest& box = *sim.openBox();
    EXPECT_EQ(box.buttons.at(box.defaultButton).result, msgbox::no);
    sim.answer(msgbox::no);
    EXPECT_FALSE(program.ended());
    EXPECT_EQ(sim.boxes().size(), 2u);
}

TEST_F(Entry, OtherKeysOnAFocusedButtonDoNotClickIt)
{
    for (int key : {int{'c'}, 27, 8}) {
        ASSERT_TRUE(sim.pressKey(entry(), key)) << key;
        EXPECT_TRUE(sim.boxes().empty()) << key;
        EXPECT_EQ(entry().focusedControl(), &entry().Command1) << key;
    }
}

TEST_F(Entry, TabAndShiftTabGoRoundTheTabOrder)
{
    KeyPress back = KeyPress::ofAscii(9);
    back.shift = 1;
    const struct {
        KeyPress key;
        FocusableControl* focused;
    } steps[] = {{KeyPress::ofAscii(9), &entry().text1},
                 {KeyPress::ofAscii(9), &entry().Command2},
                 {KeyPress::ofAscii(9), &entry().Combo1},
                 {KeyPress::ofAscii(9), &entry().Command1},
                 {back, &entry().Combo1},
                 {back, &entry().Command2}};
    for (const auto& step : steps) {
        ASSERT_TRUE(sim.pressKey(entry(), step.key));
        EXPECT_EQ(entry().focusedControl(), step.focused) << step.focused->name();
    }
}

TEST_F(Entry, KeysInTheNameBoxTypeAndReturnThereDoesNotContinue)
{
    ASSERT_TRUE(sim.pressAccessKey(entry(), 'P'));
    for (int key : {int{'A'}, int{'n'}, int{'x'}, 8, int{'n'}})
        ASSERT_TRUE(sim.pressKey(entry(), key));
    EXPECT_EQ(entry().text1.Text.get(), "Ann");
    ASSERT_TRUE(sim.pressKey(entry(), 13));
    ASSERT_TRUE(sim.pressKey(entry(), ' '));
    EXPECT_EQ(entry().text1.Text.get(), "Ann ");
    EXPECT_TRUE(sim.boxes().empty());
}

TEST_F(Entry, TheArrowsAndAFirstDigitPickInTheLengthList)
{
    ASSERT_TRUE(sim.pressAccessKey(entry(), 'M'));
    KeyPress down;
    down.key = Key::Down;
    KeyPress up;
    up.key = Key::Up;
    const struct {
        KeyPress key;
        int index;
    } steps[] = {{down, 0},
                 {down, 1},
                 {up, 0},
                 {up, 0},
                 {KeyPress::ofAscii('1'), 9},
                 {KeyPress::ofAscii('1'), 0},
                 {KeyPress::ofAscii('7'), 6}};
    for (const auto& step : steps) {
        ASSERT_TRUE(sim.pressKey(entry(), step.key));
        EXPECT_EQ(entry().Combo1.ListIndex(), step.index);
    }
    EXPECT_EQ(entry().focusedControl(), &entry().Combo1);
}

TEST_F(Entry, TheNameBoxStopsAtTenCharacters)
{
    ASSERT_TRUE(sim.type(entry().text1, "Bartholomew Jones"));
    EXPECT_EQ(entry().text1.Text.get(), "Bartholome");
    ASSERT_TRUE(sim.type(entry().text1, "x"));
    EXPECT_EQ(entry().text1.Text.get(), "Bartholome");
}

TEST_F(Entry, ContinueAsksForTheNameFirstThenTheLength)
{
    ASSERT_TRUE(sim.click(entry().Command1));
    ASSERT_EQ(sim.boxes().size(), 1u);
    EXPECT_EQ(sim.openBox()->prompt, "Enter your player name!");
    EXPECT_EQ(sim.openBox()->title, "Name please!");
    EXPECT_EQ(sim.openBox()->style, msgbox::information);
    sim.answer(msgbox::ok);

    sim.type(entry().text1, " "); // a blank is a name
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(sim.click(entry().Command1));
        EXPECT_EQ(sim.openBox()->prompt, "Choose your game length!");
        EXPECT_EQ(sim.openBox()->title, "Games Length please!");
        sim.answer(msgbox::ok);
    }
    EXPECT_EQ(sim.boxes().size(), 3u);
    EXPECT_TRUE(entry().Visible());
    EXPECT_EQ(afs().SecondsLeft.value(), 0);
    EXPECT_EQ(afs().PlayerName, "");
}

TEST_F(Entry, TheGamePlayMessageComesBeforeAnyStoreThenTheGameStarts)
{
    sim.type(entry().text1, " ");
    sim.pick(entry().Combo1, 9); // "10"
    ASSERT_TRUE(sim.click(entry().Command1));
    ASSERT_EQ(openBoxTitle(), "Game Play");
    EXPECT_EQ(sim.openBox()->prompt,
              "Bounce the ball using the mouse. Score through the hoop. To exit Press the 'ESC' "
              "Button");
    EXPECT_EQ(afs().SecondsLeft.value(), 0);
    EXPECT_EQ(afs().PlayerName, "");
    EXPECT_TRUE(entry().Visible());
    EXPECT_FALSE(loaded<BallWindow>());

    sim.answer(msgbox::ok);
    EXPECT_EQ(afs().SecondsLeft.value(), 600);
    EXPECT_EQ(afs().PlayerName, " ");
    EXPECT_FALSE(entry().Visible());
    EXPECT_TRUE(form<BallWindow>().Visible());
    EXPECT_TRUE(form<BallWindow>().isModal());
}

TEST_F(Entry, OneMinuteStoresSixtySeconds)
{
    sim.type(entry().text1, "Ann");
    sim.pick(entry().Combo1, 0);
    sim.queueAnswer(msgbox::ok);
    sim.click(entry().Command1);
    EXPECT_EQ(afs().SecondsLeft.value(), 60);
}

TEST_F(Entry, ExitAsksThePlainQuestion)
{
    ASSERT_TRUE(sim.click(entry().Command2));
    EXPECT_EQ(sim.openBox()->prompt, "Are you sure you want to Exit?");
    EXPECT_EQ(sim.openBox()->style, 308);
    sim.answer(msgbox::no);
    EXPECT_FALSE(program.ended());
    EXPECT_TRUE(entry().Visible());
    ASSERT_TRUE(sim.click(entry().Command2));
    sim.answer(msgbox::yes);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 0);
}

TEST_F(Entry, EnterOnTheExitQuestionAnswersNo)
{
    sim.setAutoAnswer(true); // the default button, as Enter would press it
    ASSERT_TRUE(sim.click(entry().Command2));
    EXPECT_EQ(sim.boxes().back().answer, msgbox::no);
    EXPECT_FALSE(program.ended());
}

TEST_F(Entry, ACloseRequestAsksTheExitQuestion)
{
    ASSERT_TRUE(sim.requestClose(entry()));
    EXPECT_EQ(sim.openBox()->prompt, "Are you sure you want to Exit?");
    sim.answer(msgbox::yes);
    EXPECT_TRUE(program.ended());
}

// The window system closes a box (its close box, or its window destroyed): the box answers
// what changes nothing, and every button and question works as before.
TEST_F(Entry, ClosedBoxesAnswerAsOKOrNoAndEverythingGoesOn)
{
    ASSERT_TRUE(sim.click(entry().Command2));
    ASSERT_EQ(openBoxTitle(), "Exit");
    ASSERT_TRUE(sim.closeBox());
    EXPECT_EQ(sim.boxes().back().answer, msgbox::no);
    EXPECT_FALSE(program.ended());
    ASSERT_TRUE(sim.click(entry().Command2)); // asks again
    ASSERT_TRUE(sim.closeBox());

    sim.type(entry().text1, "Ann");
    sim.pick(entry().Combo1, 0);
    ASSERT_TRUE(sim.click(entry().Command1));
    ASSERT_EQ(openBoxTitle(), "Game Play");
    ASSERT_TRUE(sim.closeBox()); // as OK: the game starts
    EXPECT_EQ(sim.boxes().back().answer, msgbox::ok);
    EXPECT_FALSE(entry().Visible());
    EXPECT_TRUE(form<BallWindow>().Visible());
    EXPECT_EQ(afs().SecondsLeft.value(), 60);
}

// The end of a game of the given length with the given count of baskets.
class End : public SimTest {
protected:
    void play(int minutes, int baskets, const std::string& name = "Ann")
    {
        startProgram();
        sim.advanceTo(4500);
        frmSplash1& entry = form<frmSplash1>();
        sim.type(entry.text1, name);
        sim.pick(entry.Combo1, minutes - 1);
        sim.queueAnswer(msgbox::ok);
        sim.click(entry.Command1);
        sim.invoke([&] { afs().BasketCount = static_cast<std::int16_t>(baskets); });
        sim.advance(minutes * 60000 + 1000);
        ASSERT_EQ(openBoxTitle(), "Whats the score?");
        sim.answer(msgbox::ok);
    }
    frmend& end() { return form<frmend>(); }
};

struct Result {
    int minutes, baskets;
    const char* seconds;
    const char* count;
    const char* rate;
};

class EndResult : public End, public ::testing::WithParamInterface<Result> {};

TEST_P(EndResult, ShowsNameLengthBasketsAndRate)
{
    const Result& r = GetParam();
    play(r.minutes, r.baskets, " Ann ");
    EXPECT_EQ(end().Text1.Text.get(), " Ann ");
    EXPECT_EQ(end().Text2.Text.get(), r.seconds);
    EXPECT_EQ(end().Text3.Text.get(), r.count);
    EXPECT_EQ(end().Label2.Caption.get(), r.rate);
    EXPECT_EQ(end().focusedControl(), &end().Text1);
    EXPECT_FALSE(sim.type(end().Text3, "99")); // the boxes cannot be edited
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Games, EndResult,
    ::testing::Values(Result{1, 7, "60", "7", "1 basket every 8.57142857142857 seconds"},
                      Result{10, 12, "600", "12", "1 basket every 50 seconds"},
                      Result{1, 0, "60", "0", ""}));
// clang-format on

struct EndPlace {
    ScreenSize screen;
    float left, top;
};

class EndPlacement : public End, public ::testing::WithParamInterface<EndPlace> {};

// The end screen keeps its own place where it fits; where it would run off the screen it
// is moved just enough to lie whole on it.
TEST_P(EndPlacement, KeepsItsPlaceWhereItFitsAndLiesWholeOnTheScreenWhereNot)
{
    const EndPlace& p = GetParam();
    sim.setScreenSize(p.screen);
    play(1, 0);
    EXPECT_EQ(end().Left, p.left);
    EXPECT_EQ(end().Top, p.top);
    sim.advance(1000); // and it stays there
    EXPECT_EQ(end().Left, p.left);
}

INSTANTIATE_TEST_SUITE_P(Screens, EndPlacement,
                         ::testing::Values(EndPlace{{1024, 768}, 3825, 3135},
                                           EndPlace{{640, 480}, 640 * 15 - 6360, 3135},
                                           EndPlace{{400, 300}, 0, 300 * 15 - 3240}));

TEST_F(End, ThePictureBouncesAndTheBallStaysHidden)
{
    play(1, 0);
    // The entry screen's show of the ball completes after the game: it is seen again
    // until the end screen's next tick.
    EXPECT_TRUE(form<BallWindow>().Visible());
    const std::vector<float> first{2060, 2090, 2130, 2180, 2240, 2310,
                                   2390, 2480, 2290, 2110, 1940};
    std::vector<float> seen;
    for (std::size_t tick = 0; tick < first.size(); ++tick) {
        sim.advance(10);
        seen.push_back(end().ball.Top);
        EXPECT_FALSE(form<BallWindow>().Visible());
    }
    EXPECT_EQ(seen, first);
    float lowest = 10000, highest = 0;
    for (int tick = 0; tick < 39 * 3; ++tick) {
        sim.advance(10);
        lowest = std::min(lowest, end().ball.Top.get());
        highest = std::max(highest, end().ball.Top.get());
    }
    EXPECT_EQ(lowest, 580);
    EXPECT_EQ(highest, 2480);
    EXPECT_EQ(end().ball.Left, 5040);
}

TEST_F(End, AboutShowsOneWindowThatCloseHides)
{
    play(1, 0);
    ASSERT_TRUE(sim.click(end().Command1));
    ASSERT_TRUE(sim.click(end().Command1));
    Form2& about = form<Form2>();
    EXPECT_TRUE(about.Visible());
    EXPECT_EQ(std::count(sim.log().begin(), sim.log().end(), "show Form2"), 1);
    const float left = about.Left, top = about.Top;
    EXPECT_EQ(left, (15360 - 4560) / 2.0F);
    const float pictureTop = end().ball.Top;
    sim.advance(100); // the end screen goes on while About is open
    EXPECT_NE(end().ball.Top, pictureTop);
    ASSERT_TRUE(sim.click(about.Command1));
    EXPECT_FALSE(about.Visible());
    ASSERT_TRUE(sim.click(end().Command1));
    EXPECT_TRUE(about.Visible());
    EXPECT_EQ(about.Left, left);
    EXPECT_EQ(about.Top, top);
    EXPECT_EQ(about.Label1.Caption.get(), "About this game:");
}

TEST_F(End, ExitAsksThePlainQuestion)
{
    play(1, 0);
    ASSERT_TRUE(sim.click(end().Command2));
    EXPECT_EQ(sim.openBox()->prompt, "Are you sure you want to Exit?");
    sim.answer(msgbox::no);
    EXPECT_FALSE(program.ended());
    sim.advance(1000);
    ASSERT_TRUE(sim.click(end().Command2));
    sim.answer(msgbox::yes);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 0);
}

} // namespace
