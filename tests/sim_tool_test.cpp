// orvanta-sim run as a player would run it: options, scripts, trace and result.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status;
    std::string out; // stdout and stderr
};

// `before` is shell run first, in the same shell (a ulimit).
ToolRun runTool(const std::string& arguments, const std::string& before = "")
{
    // stderr joins stdout first, so that the arguments may still redirect either.
    const std::string command = before + std::string(ORVANTA_SIM_PATH) + " 2>&1 " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    if (!pipe)
        return run;
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string scriptFile(const std::string& name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

std::string lineWith(const std::string& out, const std::string& needle)
{
    const auto at = out.find(needle);
    if (at == std::string::npos)
        return {};
    const auto start = out.rfind('\n', at) + 1;
    return out.substr(start, out.find('\n', at) - start);
}

TEST(SimTool, AGameWithNoInputRunsOut)
{
    const ToolRun run = runTool("");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out,
        "{\"name\":\"Player\",\"seconds\":\"60\",\"baskets\":0,\"score\":\"0 \",\"rate\":\"\","
        "\"beeps\":11,\"ended\":\"gameover\",\"virtual_ms\":65500}\n");
}

TEST(SimTool, TouchesKnockTheBallAsTheTraceShows)
{
    const std::string script = scriptFile("touches.txt", "# a touch from each side\n"
                                                         "5000 move 480 480\n"
                                                         "\n"
                                                         "5600 move 15 480\n"
                                                         "6200 move 480 15\n"
                                                         "6800 move 0 0\n");
    const ToolRun run = runTool("--trace --until 7000 --script " + script);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(lineWith(run.out, "{\"t\":5000,\"h\":\"clock.Image1_MouseMove\"")
                  .find("\"vx\":0,\"vy\":0,"),
              std::string::npos);
    EXPECT_NE(lineWith(run.out, "{\"t\":5600,\"h\":\"clock.Image1_MouseMove\"")
                  .find("\"vx\":93,\"vy\":0,"),
              std::string::npos);
    EXPECT_NE(lineWith(run.out, "{\"t\":6200,\"h\":\"clock.Image1_MouseMove\"")
                  .find("\"vx\":0,\"vy\":232,"),
              std::string::npos);
    EXPECT_EQ(lineWith(run.out, "{\"t\":6800,\"h\":\"clock.Image1_MouseMove\""), "");
    EXPECT_NE(lineWith(run.out, "\"ended\":").find("\"ended\":\"until\",\"virtual_ms\":7000"),
              std::string::npos);
    // Every game tick is traced: four 10 ms timers, and the clock once a second.
    EXPECT_NE(run.out.find("{\"t\":6500,\"h\":\"Form1.Timer2\""), std::string::npos);
    EXPECT_NE(run.out.find("{\"t\":6990,\"h\":\"frmSplash.Timer1\""), std::string::npos);
}

TEST(SimTool, EscapeYesEndsWithExitAndAClickWithClick)
{
    const ToolRun quit = runTool("--script " + scriptFile("exit.txt", "6000 answer yes\n"
                                                                      "6000 key 27\n"));
    EXPECT_EQ(quit.status, 0);
    EXPECT_NE(quit.out.find("\"ended\":\"exit\",\"virtual_ms\":6000"), std::string::npos);

    const ToolRun no = runTool("--until 6500 --script " + scriptFile("no.txt", "6000 key 27\n"));
    EXPECT_NE(no.out.find("\"ended\":\"until\""), std::string::npos);

    const ToolRun click = runTool("--name Ann --script " +
                                  scriptFile("click.txt", "5000 move 480 480\n5000 click\n"));
    EXPECT_EQ(click.status, 0);
    EXPECT_NE(click.out.find("{\"name\":\"Ann\""), std::string::npos);
    EXPECT_NE(click.out.find("\"ended\":\"click\",\"virtual_ms\":5000"), std::string::npos);
}

TEST(SimTool, RefusesBadOptionsNamingThem)
{
    const std::string directory = ::testing::TempDir();
    const std::string longOption(100000, 'x');
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {{"--minutes 0", "--minutes:"},
                 {"--minutes 11", "--minutes:"},
                 {"--minutes two", "--minutes:"},
                 {"--screen 1024", "--screen:"},
                 {"--screen 0x768", "--screen:"},
                 {"--screen 1024x768x2", "--screen:"},
                 {"--until -5", "--until:"},
                 {"--name ''", "--name:"},
                 {"--name \"$(printf 'ab\\303')\"", "--name: the name is not valid UTF-8"},
                 {"--name \"$(head -c 10000 /dev/zero | tr '\\0' '\\200')\"",
                  "--name: the name is not valid UTF-8"},
                 {"--script /nonexistent", "--script: cannot read '/nonexistent'"},
                 {"--script " + directory, "--script: cannot read '"},
                 {"--script /dev/zero", "--script: '/dev/zero' is larger than 16 MiB"},
                 {"--fast", "unknown option '--fast'"},
                 {"--" + longOption, "unknown option '--xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx..."},
                 {"\"$(printf -- '--x\\033[31m')\"", "unknown option '--x\\x1b[31m'\n"},
                 {"\"$(printf -- '--\\342\\200\\256x')\"", "unknown option '--\\xe2\\x80\\xaex'\n"},
                 {"--script \"$(printf '/no/\\033]2;TITLE\\a')\"",
                  "--script: cannot read '/no/\\x1b]2;TITLE\\x07'"},
                 {"--screen \"$(printf '\\033[2J')\"", "--screen: expected WIDTHxHEIGHT in pixels, "
                                                       "such as 1024x768, not '\\x1b[2J'\n"},
                 {"--minutes", "--minutes: a value is missing"},
                 {"--record ''", "--record: the file name is empty"},
                 {"--replay ''", "--replay: the file name is empty"}};
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.arguments);
        const std::string shown = c.arguments.substr(0, 60);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out.rfind("orvanta-sim: " + c.message, 0), 0u)
            << shown << " said: " << run.out.substr(0, 300);
        EXPECT_LT(run.out.size(), 1000u) << shown << ": the message echoes the input";
    }
}

TEST(SimTool, HelpGoesToStandardOutputAndAFullOutputFails)
{
    const ToolRun help = runTool("--help 2>/dev/null");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: orvanta-sim ", 0), 0u) << help.out;

    for (const char* arguments : {"--help", "", "--trace --until 6000"}) {
        const ToolRun full = runTool(std::string(arguments) + " >/dev/full");
        EXPECT_NE(full.status, 0) << arguments;
        EXPECT_EQ(full.out, "orvanta-sim: cannot write the output: No space left on device\n")
            << arguments;
    }
}

TEST(SimTool, TheNameIsCutAsTheEntryScreenCutsIt)
{
    const ToolRun run = runTool("--until 5000 --name 'Bartholomew the Great'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("{\"name\":\"Bartholome\",", 0), 0u) << run.out;
    // An e with an accent, a basketball (two units, as the box counts) and ten letters.
    const ToolRun wide =
        runTool("--until 5000 --name \"$(printf '\\303\\251\\360\\237\\217\\200abcdefghij')\"");
    EXPECT_EQ(wide.out.rfind("{\"name\":\"\u00e9\U0001F3C0abcdefg\",", 0), 0u) << wide.out;
}

TEST(SimTool, RefusesABadScriptLineWithItsNumber)
{
    const struct {
        std::string script;
        const char* message;
    } cases[] = {{"# fine\n100 move 1 2\n200 jump\n", ":3: unknown event 'jump'"},
                 {"100 move 1\n", ":1: move takes two numbers"},
                 {"x move 1 2\n", ":1: the time must be"},
                 {"500 click\n400 click\n", ":2: events must come in time order"},
                 {"100 answer maybe\n", ":1: answer takes yes or no"},
                 {"100 key 27 28\n", ":1: key takes a character code"},
                 {std::string(10'000'000, '7') + "x click\n", ":1: the time must be"},
                 {"100 " + std::string(10'000'000, 'j') + "\n", ":1: unknown event 'jjjj"},
                 {"100 j\x1b[2J\n", ":1: unknown event 'j\\x1b[2J'"}};
    for (const auto& c : cases) {
        const ToolRun run = runTool("--script " + scriptFile("bad.txt", c.script));
        const std::string shown = c.script.substr(0, 60);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out.substr(0, 300);
        EXPECT_LT(run.out.size(), 1000u) << shown << ": the message echoes the line";
    }
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A scripted game recorded, then replayed: the same trace, line for line, and the same
// summary; the file holds every tick, the entry screen's input and the answers.
TEST(SimTool, ARecordedGameReplaysTickForTick)
{
    const std::string recording = ::testing::TempDir() + "game.replay";
    const std::string script = scriptFile("exit.txt", "5000 move 480 480\n"
                                                      "5600 move 15 480\n"
                                                      "7000 key 27\n"
                                                      "8000 answer yes\n"
                                                      "8000 key 27\n");
    const ToolRun played =
        runTool("--trace --name Ann --script " + script + " --record " + recording);
    ASSERT_EQ(played.status, 0) << played.out;
    EXPECT_NE(played.out.find("\"ended\":\"exit\""), std::string::npos);
    const std::string file = readFile(recording);
    EXPECT_EQ(file.rfind("orvanta-replay 1 screen 1024x768 program ", 0), 0u);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.back(), '\n') << "the file was not cut to what was written";
    for (const char* line :
         {"\n500 tick frmloading Timer1\n", "\n4500 type frmSplash1 text1 =Ann\n",
          "\n4500 pick frmSplash1 Combo1 0\n", "\n5000 move clock 480 480 0 0\n",
          "\n7000 key clock 27\n7000 answer 7\n", "\n8000 answer 6\n8000 exit 0\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;

    const ToolRun replayed = runTool("--trace --replay " + recording);
    EXPECT_EQ(replayed.status, 0);
    EXPECT_EQ(replayed.out, played.out);
    const ToolRun until = runTool("--replay " + recording + " --until 6000");
    EXPECT_NE(until.out.find("\"ended\":\"until\",\"virtual_ms\":6000}"), std::string::npos)
        << until.out;
}

// A recording that cannot be made is refused before the game (2); one that stops on the way
// says why once, plays on, fails the run (1), and keeps what it had, up to a whole line.
TEST(SimTool, ARecordingThatCannotBeWrittenSaysWhy)
{
    const std::string folder = ::testing::TempDir();
    const std::string fifo = folder + "unread.fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string limited = folder + "limited.replay";
    const struct {
        std::string before, file;
        int status;
        std::string message;
    } cases[] = {
        {"", "/dev/full", 1, "/dev/full: No space left on device; the recording stops here"},
        {"", folder + "none/x.replay", 2, folder + "none/x.replay: No such file or directory"},
        {"", fifo, 2, fifo + ": no program reads from it"},
        // 100 blocks of 512 bytes in sh
        {"ulimit -f 100; ", limited, 1, limited + ": File too large; the recording stops here"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool("--record " + c.file + " >/dev/null", c.before);
        EXPECT_EQ(run.status, c.status) << c.file;
        EXPECT_EQ(run.out, "orvanta-sim: cannot write " + c.message + "\n");
    }
    const std::string kept = readFile(limited);
    EXPECT_LE(kept.size(), 100u * 512);
    EXPECT_GT(kept.size(), 90u * 512);
    EXPECT_EQ(kept.back(), '\n');
    const ToolRun replayed = runTool("--replay " + limited);
    EXPECT_EQ(replayed.status, 0);
    EXPECT_NE(replayed.out.find("\"ended\":\"cut\""), std::string::npos) << replayed.out;
}

TEST(SimTool, AReplayThatGoesAnotherWayStopsThereWithStatus3)
{
    const std::string recording = ::testing::TempDir() + "plain.replay";
    ASSERT_EQ(runTool("--until 6000 --record " + recording).status, 0);
    std::string file = readFile(recording);
    // Without the press on Continue the ball never loads, and its first tick finds nothing.
    const auto press = file.find("4500 click frmSplash1");
    ASSERT_NE(press, std::string::npos) << file.substr(0, 2000);
    file.erase(press, file.find('\n', press) + 1 - press);
    const int line = static_cast<int>(std::count(file.begin(), file.begin() + press, '\n')) + 1;
    const ToolRun run = runTool("--replay " + scriptFile("diverged.replay", file));
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("\"ended\":\"diverged\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("diverged.replay: line " + std::to_string(line) +
                           ": the replayed program did not take 'answer 1'"),
              std::string::npos)
        << run.out;
}

// The loading screen asked to close and the exit question answered, then a recording that
// ends otherwise than the replayed program: with another status, later, or not at all.
// `orvanta --replay` says the same of the same files (faults_e2e).
TEST(SimTool, AReplayWhoseProgramEndsOtherwiseStopsThereWithStatus3)
{
    const std::string recording = ::testing::TempDir() + "header.replay";
    ASSERT_EQ(runTool("--until 1 --record " + recording).status, 0);
    const std::string file = readFile(recording);
    const std::string header = file.substr(0, file.find('\n') + 1);
    const struct {
        const char* answer;
        const char* last;
        const char* message;
    } cases[] = {
        {"6", "1000 exit 1",
         "the recorded program ended here with status 1, the replayed one with status 0"},
        {"6", "1500 tick frmloading Timer1",
         "the replayed program ended (status 0) before 'tick frmloading Timer1'"},
        {"7", "1000 exit 0", "the recorded program ended here (exit 0), the replayed one did not"},
    };
    for (const auto& c : cases) {
        const std::string path =
            scriptFile("ends.replay", header + "1000 close frmloading\n1000 answer " + c.answer +
                                          "\n" + c.last + "\n");
        const ToolRun run = runTool("--replay " + path + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, 3) << c.last;
        EXPECT_EQ(run.out,
                  "orvanta-sim: " + path + ": line 4: " + c.message + "; the replay stops there\n");
    }
    // The same file ending where the replayed program does plays to its end.
    const std::string whole =
        scriptFile("ends.replay", header + "1000 close frmloading\n1000 answer 6\n1000 exit 0\n");
    EXPECT_EQ(runTool("--replay " + whole).status, 0);
}

TEST(SimTool, RefusesABadReplayNamingTheFileAndLineAndPlaysNothing)
{
    const std::string bad =
        scriptFile("bad.replay", "orvanta-replay 1 screen 1024x768 program 1.0.0\n"
                                 "10 tick frmloading Timer1\n"
                                 "20 tick hoop Timer1\n");
    const ToolRun run = runTool("--replay " + bad);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out,
              "orvanta-sim: " + bad + ": line 3: no window of the program is named 'hoop'\n");
    const ToolRun other = runTool(
        "--replay " + scriptFile("old.replay", "orvanta-replay 1 screen 1024x768 program 0.9\n"));
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.out.find("old.replay: line 1: recorded by version 0.9"), std::string::npos)
        << other.out;
    const ToolRun mixed = runTool("--replay " + bad + " --name Ann");
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(mixed.out.rfind("orvanta-sim: --name: a replay plays as recorded", 0), 0u)
        << mixed.out;
}

} // namespace
