// The replay file read back: every event as written, and a stranger's file refused at
// the line that is wrong, with nothing read past it.

#include "platform/replay/format.h"
#include "program/replay_vocabulary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace platform::replay;

const std::string header = "orvanta-replay 1 screen 1024x768 program 1.0.0\n";

Replay read(const std::string& text) { return readReplay(text, orvanta::replayVocabulary()); }

TEST(ReplayFile, EveryKindOfEventReadsBackAsWritten)
{
    const std::string events =
        "500 tick frmloading Timer1\n"
        "4510 move frmSplash1 600 600.5 1 5\n"
        "4520 access frmSplash1 P\n"
        "4530 type frmSplash1 text1 =Zo\\xc3\\xab\\x20\\xf0\\x9f\\x8f\\x80\\x5c\n"
        "4530 type frmSplash1 text1 =\n"
        "4540 pick frmSplash1 Combo1 -1\n"
        "4550 press frmSplash1 Command1\n"
        "4560 answer 1\n"
        "5000 click clock -7.25 480\n"
        "5000 key clock 27\n"
        "5001 close Form1\n"
        "5002 signal\n"
        "5002 exit 0\n";
    const Replay replay = read(header + events);
    EXPECT_EQ(replay.header.screenWidth, 1024);
    EXPECT_EQ(replay.header.screenHeight, 768);
    EXPECT_EQ(replay.header.programVersion, "1.0.0");
    ASSERT_EQ(replay.texts.size(), 2u);
    EXPECT_EQ(replay.texts[0], "Zo\u00eb \U0001F3C0\\");
    std::string written = headerLine(replay.header);
    for (const Event& event : replay.events)
        written += eventLine(event, orvanta::replayVocabulary(), replay.texts);
    EXPECT_EQ(written, header + events);
}

// A recording cut short may end in a part of a line, and in the zero bytes of the space
// that the recorder made for what was to come.
TEST(ReplayFile, ALastLineCutWhileItWasWrittenIsLeftOut)
{
    const std::string tick = "10 tick frmloading Timer1\n";
    for (const std::string& tail : {std::string("20 tick frmlo"), std::string(1000, '\0'),
                                    "20 tick frmlo" + std::string(1000, '\0')})
        EXPECT_EQ(read(header + tick + tail).events.size(), 1u) << tail.substr(0, 20);
    EXPECT_THROW(read(header + tick + std::string(3, '\0') + "\n" + tick), ReadError);
}

TEST(ReplayFile, RefusesABadFileAtTheLineThatIsWrong)
{
    const std::string tick = "10 tick frmloading Timer1\n";
    // clang-format off
    const struct {
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {"", 0, "empty"},
        {"10 move 1 2\n", 1, "not a replay"},
        {"orvanta-replay 2 screen 1024x768 program 1.0.0\n", 1, "another format version"},
        {"orvanta-replay 1 screen 0x768 program 1.0.0\n", 1, "the screen must be"},
        {"orvanta-replay 1 screen 99999999999x768 program 1.0.0\n", 1, "the screen must be"},
        {"orvanta-replay 1 screen 1024x768\n", 1, "the first line must read"},
        {header + tick + "20 tick nowhere Timer1\n", 3, "no window of the program is named 'nowhere'"},
        {header + "20 tick clock Timer2\n", 2, "has no timer named 'Timer2'"},
        {header + "20 press clock Command1\n", 2, "has no button named 'Command1'"},
        {header + "20 type frmSplash1 Combo1 =x\n", 2, "has no text box named 'Combo1'"},
        {header + "20 tick\n", 2, "tick needs a window"},
        {header + "20 jump clock\n", 2, "unknown event 'jump'"},
        {header + std::string("20 a\0b\n", 7), 2, "unknown event 'a\\x00b'"},
        {header + "20 tick \x1b[2J Timer1\n", 2, "no window of the program is named '\\x1b[2J'"},
        {header + "20 " + std::string(50, 'x') + "\n", 2, "unknown event 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...'"},
        {header + "20 tick clock Timer1\n10 tick clock Timer1\n", 3, "in time order"},
        {header + "99999999999999999999 signal\n", 2, "the time in ms must be"},
        {header + "-1 signal\n", 2, "the time in ms must be"},
        {header + "20 move clock nan 0 0 0\n", 2, "a position must be"},
        {header + "20 move clock 1e30 0 0 0\n", 2, "a position must be"},
        {header + "20 move clock 1 2\n", 2, "move takes"},
        {header + "20 move clock 1 2 8 0\n", 2, "the buttons must be"},
        {header + "20 key clock 65536\n", 2, "a character code must be"},
        {header + "20 access clock p\n", 2, "a letter from A to Z"},
        {header + "20 pick frmSplash1 Combo1 10000\n", 2, "a list index must be"},
        {header + "20 answer 0\n", 2, "a result code must be"},
        {header + "20 exit 256\n", 2, "a status must be"},
        {header + "20 type frmSplash1 text1 Ann\n", 2, "must start with '='"},
        {header + "20 type frmSplash1 text1 =\\x4\n", 2, "two hex digits"},
        {header + "20 type frmSplash1 text1 =\\xff\n", 2, "not UTF-8"},
        {header + "20 type frmSplash1 text1 =\\xed\\xa0\\x80\n", 2, "not UTF-8"},
        {header + "20 type frmSplash1 text1 =" + std::string(1025, 'x') + "\n", 2, "longer than 1024"},
        {header + "20  signal\n", 2, "one space"},
        {header + "\n", 2, "empty line"},
        {header + "20 signal\n30 exit 0\n40 signal\n", 4, "nothing may follow"},
        {header + tick + std::string(9000, '1') + "\n" + tick, 3, "longer than 8192 bytes"},
    };
    // clang-format on
    for (const auto& c : cases) {
        try {
            read(c.text);
            ADD_FAILURE() << "read: " << c.text.substr(0, 200);
        } catch (const ReadError& error) {
            EXPECT_EQ(error.line, c.line) << c.text.substr(0, 200);
            EXPECT_NE(error.message.find(c.message), std::string::npos)
                << c.text.substr(0, 200) << " said: " << error.message;
            EXPECT_EQ(error.message.find_first_of(std::string("\0\x1b", 2)), std::string::npos)
                << "the file's own control bytes in: " << error.message;
        }
    }
}

TEST(ReplayFile, AFileThatNeverEndsIsRefusedUnreadPastTheLimit)
{
    try {
        readReplayFile("/dev/zero", orvanta::replayVocabulary());
        ADD_FAILURE() << "/dev/zero read as a replay";
    } catch (const ReadError& error) {
        EXPECT_EQ(error.line, 0);
        EXPECT_NE(error.message.find("larger than 64 MiB"), std::string::npos) << error.message;
    }
}

TEST(ReplayFile, TheWriterCutsTextAtWholeCodePoints)
{
    const std::string ball = "\U0001F3C0"; // four bytes
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += ball;
    const std::string line = LineWriter(0, "type").text(text).finish();
    const Replay replay = read(header + "0 type frmSplash1 text1 " + line.substr(7));
    ASSERT_EQ(replay.texts.size(), 1u);
    EXPECT_EQ(replay.texts[0].size(), 1024u);
    EXPECT_EQ(cutText(ball + "x", 3), "");
}

TEST(ReplayFile, AMessageNamesAFileByItsWholePathUnlessItIsAFlood)
{
    const std::string deep = "/home/" + std::string(300, 'd') + "/\u00e9t\u00e9/game.replay";
    const std::string flood(maxShownPathBytes + 500, 'x');
    const std::string ball = "\U0001F3C0"; // four bytes, a cut must not split it
    std::string floodOfBalls = "/y";
    while (floodOfBalls.size() <= maxShownPathBytes + 1)
        floodOfBalls += ball;
    const struct {
        std::string path;
        std::string shown;
    } cases[] = {
        {"game.replay", "game.replay"},
        {deep, deep},
        {std::string(maxShownPathBytes, 'p'), std::string(maxShownPathBytes, 'p')},
        {flood + "/end.replay", "..." + (flood + "/end.replay").substr(11 + 500)},
        {"a\tb\x1b[31m\xff.replay", "a\\x09b\\x1b[31m\\xff.replay"},
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"}, // a C1 control
        {"\u202Eyalp\u202C.replay", "\\xe2\\x80\\xaeyalp\\xe2\\x80\\xac.replay"},
        {"a\u200Bb\u2066c\uFEFF", "a\\xe2\\x80\\x8bb\\xe2\\x81\\xa6c\\xef\\xbb\\xbf"},
        {"\u00e9\u0301\u00ad\u674e\U0001F3C0", "\u00e9\u0301\u00ad\u674e\U0001F3C0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownFileName(c.path), c.shown) << c.path.size() << " bytes";
    const std::string cut = shownFileName(floodOfBalls);
    ASSERT_TRUE(cut.starts_with("..."));
    EXPECT_EQ((cut.size() - 3) % ball.size(), 0u) << "a cut inside a character";
    EXPECT_EQ(cut.substr(3, ball.size()), ball);
}

TEST(ReplayFile, AWordAMessageQuotesIsEscapedAndCutAtAWholeCharacter)
{
    const std::string ball = "\U0001F3C0";
    const struct {
        std::string word;
        std::string shown;
    } cases[] = {
        {"--x\x1b[31m", "--x\\x1b[31m"},
        {"\x1b]2;TITLE\a", "\\x1b]2;TITLE\\x07"},
        {std::string(40, 'x'), std::string(40, 'x')},
        {std::string(41, 'x'), std::string(40, 'x') + "..."},
        {std::string(38, 'x') + ball, std::string(38, 'x') + "..."},
        {std::string(39, 'x') + "\xff\xfe", std::string(39, 'x') + "\\xff..."},
        {std::string(39, 'x') + "\u202E", std::string(39, 'x') + "..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownText(c.word, 40), c.shown) << c.word.size() << " bytes";
}

} // namespace
