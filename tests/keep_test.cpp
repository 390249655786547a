// The store of kept games: a game from its start to its replay, a game whose program was
// killed, two programs at once, damaged tables, disks that refuse writes, and which games
// stay. Each test works in a fresh folder of its own.

#include "keep/files.h"
#include "keep/format.h"
#include "keep/keeping.h"
#include "keep/packing.h"
#include "keep/selector.h"
#include "keep/store.h"
#include "keep/table_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#if defined(__unix__)
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

namespace {

using namespace orvanta::keep;
namespace fs = std::filesystem;

const std::string header = "orvanta-replay 1 screen 1024x768 program 1.0.0\n";

std::string ticks(int count)
{
    std::string lines;
    for (int tick = 1; tick <= count; ++tick)
        lines += std::to_string(tick * 10) + " tick clock Timer1\n";
    return lines;
}

// Pointer moves that compress poorly, for a replay of a chosen size.
std::string randomMoves(int count)
{
    std::mt19937 random(7);
    std::string lines;
    for (int move = 1; move <= count; ++move)
        lines += std::to_string(move * 10) + " move clock " + std::to_string(random() % 9000) +
                 " " + std::to_string(random() % 9000) + " 0 0\n";
    return lines;
}

// A UTF-8 path as the standard library takes it on every system (Windows' narrow calls
// would read it in the local code page).
fs::path pathFrom(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string readFile(const std::string& path)
{
    std::ifstream file(pathFrom(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(pathFrom(path), std::ios::binary | std::ios::trunc) << text;
}

std::string gzipped(const std::string& text)
{
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string packed(deflateBound(&stream, text.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names = files::namesIn(folder);
    std::sort(names.begin(), names.end());
    return names;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

#if defined(__unix__)
// A child process running a body, whose failed assertions the test would not see: it
// tells what went wrong, or nothing; "skip: ..." when the system lacks what it needs.
struct Child {
    pid_t pid = -1;
    int channel = -1;
};

Child startChild(const std::function<std::string()>& body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string result = body();
        [[maybe_unused]] const auto written = write(channel[1], result.data(), result.size());
        _exit(0);
    }
    close(channel[1]);
    return {child, channel[0]};
}

std::string resultOf(const Child& child)
{
    if (child.pid < 0)
        return "no child";
    std::string result;
    char buffer[4096];
    for (ssize_t got; (got = read(child.channel, buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(got));
    close(child.channel);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (!WIFEXITED(status))
        return "the child died of signal " + std::to_string(WTERMSIG(status)) + "; " + result;
    return result;
}

std::string inChild(const std::function<std::string()>& body) { return resultOf(startChild(body)); }
#endif

// Runs the bodies at once, as programs of their own where the system has fork (threads of
// this one elsewhere, each with a store of its own); what went wrong in each, or nothing.
std::vector<std::string> atOnce(const std::vector<std::function<std::string()>>& bodies)
{
    std::vector<std::string> results(bodies.size());
#if defined(__unix__)
    std::vector<Child> children;
    for (const auto& body : bodies)
        children.push_back(startChild(body));
    for (std::size_t at = 0; at < children.size(); ++at)
        results[at] = resultOf(children[at]);
#else
    std::vector<std::thread> threads;
    for (std::size_t at = 0; at < bodies.size(); ++at)
        threads.emplace_back([&, at] { results[at] = bodies[at](); });
    for (std::thread& thread : threads)
        thread.join();
#endif
    return results;
}

Game game(State state, int baskets, int seconds, std::int64_t endTime, std::string replay = "")
{
    return {state,
            endTime,
            "Ann",
            3,
            seconds,
            baskets,
            replay.empty() ? "g" + std::to_string(endTime) + ".replay.gz" : replay};
}

// --- The table file -------------------------------------------------------------------

TEST(KeepTable, ReadsBackEveryGameAsWritten)
{
    const std::vector<Game> games{
        {State::finished, 1700000000, "Zo\u00eb \U0001F3C0", 3, 151, 12, "a.replay.gz"},
        {State::cut, 1700000100, "tab\there\nnew\\line\x01\x7f\r", 5, 40, 0, "b.replay.gz"},
        {State::playing, 1700000200, "", 999, 0, 0, "c.replay"},
    };
    const std::string text = tableText(games);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << text; // no name breaks a line
    std::vector<Game> read;
    std::string why;
    ASSERT_TRUE(readTable(text, read, why)) << why;
    EXPECT_EQ(read, games);
}

TEST(KeepTable, RefusesAnyFileItDidNotWriteWhole)
{
    const std::string row = "finished\t1700000000\tAnn\t3\t60\t5\ta.replay.gz\n";
    const std::string good = std::string(tableHeader) + "\n" + row + "end 1\n";
    std::vector<Game> games;
    std::string why;
    ASSERT_TRUE(readTable(good, games, why)) << why;
    const auto withRow = [](const std::string& line) {
        return std::string(tableHeader) + "\n" + line + "\nend 1\n";
    };
    const std::vector<std::pair<std::string, std::string>> cases{
        {"empty", ""},
        {"cut inside a line", good.substr(0, good.size() - 3)},
        {"cut at a line", good.substr(0, good.size() - 6)},
        {"another program's", "[Desktop Entry]\nName=x\n"},
        {"a later version", "orvanta-games 2\nend 0\n"},
        {"garbage", std::string("\x1f\x8b\0\xff\n", 5)},
        {"rows miscounted", std::string(tableHeader) + "\n" + row + "end 2\n"},
        {"a field missing", withRow("finished\t1700000000\tAnn\t3\t60\ta.replay.gz")},
        {"an unknown state", withRow("won\t1700000000\tAnn\t3\t60\t5\ta.replay.gz")},
        {"a negative number", withRow("finished\t1700000000\tAnn\t3\t-60\t5\ta.replay.gz")},
        {"a number with a sign", withRow("finished\t+1700000000\tAnn\t3\t60\t5\ta.replay.gz")},
        {"too many minutes", withRow("finished\t1700000000\tAnn\t1000\t60\t5\ta.replay.gz")},
        {"a file elsewhere", withRow("finished\t1700000000\tAnn\t3\t60\t5\t../a.replay.gz")},
        {"a path", withRow("finished\t1700000000\tAnn\t3\t60\t5\t/etc/a.replay.gz")},
        {"not a replay", withRow("finished\t1700000000\tAnn\t3\t60\t5\tgames")},
        {"a hidden file", withRow("finished\t1700000000\tAnn\t3\t60\t5\t.replay.gz")},
        {"a bad escape", withRow("finished\t1700000000\tA\\q\t3\t60\t5\ta.replay.gz")},
        {"a raw control byte", withRow("finished\t1700000000\tA\x01\t3\t60\t5\ta.replay.gz")},
        {"a name not UTF-8", withRow("finished\t1700000000\tA\\xff\t3\t60\t5\ta.replay.gz")},
        {"a name too long",
         withRow("finished\t1700000000\t" + std::string(49, 'A') + "\t3\t60\t5\ta.replay.gz")},
        {"one replay twice", std::string(tableHeader) + "\n" + row +
                                 "cut\t1700000000\tBo\t3\t60\t5\ta.replay\nend 2\n"},
    };
    for (const auto& [name, text] : cases) {
        why.clear();
        EXPECT_FALSE(readTable(text, games, why)) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
}

// --- Which games are better, and which stay ---------------------------------------------

TEST(KeepOrder, MoreBasketsThenFewerSecondsABasketThenTheLater)
{
    const std::vector<std::pair<Game, Game>> betterThan{
        {game(State::finished, 5, 300, 1), game(State::finished, 4, 10, 2)},
        {game(State::finished, 4, 100, 1), game(State::finished, 4, 101, 2)},
        {game(State::finished, 1, 600, 1), game(State::finished, 0, 10, 2)},
        {game(State::finished, 0, 60, 2), game(State::finished, 0, 60, 1)},
        // 7 in 70 s beats 7 in 71 s; the rate is compared exactly, not rounded.
        {game(State::finished, 7, 70, 1), game(State::finished, 7, 71, 2)},
    };
    for (const auto& [better, worse] : betterThan) {
        EXPECT_TRUE(isBetter(better, worse)) << better.baskets << " " << better.seconds;
        EXPECT_FALSE(isBetter(worse, better)) << worse.baskets << " " << worse.seconds;
    }
}

TEST(Keeping, TheBestTenAndTheLastTenFiledStayWithinTheByteCap)
{
    // Game i was filed i-th and has 24 - i baskets: the best are 0 to 9, the last filed 15
    // to 24, whatever the clock said (it ran backwards: by their end times, 0 to 9 are the
    // latest too). A game being played is never let go, nor the game filed last.
    std::vector<KeptGame> games;
    for (int i = 0; i < 25; ++i)
        games.push_back({game(State::finished, 24 - i, 600, 3000 - i), 100});
    games.push_back({game(State::playing, 0, 1, 1), 100});
    const auto keptOf = [&](std::uint64_t cap) {
        const std::vector<bool> keep = gamesToKeep(games, Limits{10, 10, cap, maxReplayBytes});
        std::set<int> kept;
        for (std::size_t i = 0; i < keep.size(); ++i)
            if (keep[i])
                kept.insert(static_cast<int>(i));
        return kept;
    };
    const auto range = [](int from, int to) {
        std::set<int> numbers;
        for (int n = from; n <= to; ++n)
            numbers.insert(n);
        return numbers;
    };
    const auto with = [](std::set<int> a, const std::set<int>& b) {
        a.insert(b.begin(), b.end());
        return a;
    };
    const std::set<int> playing{25};
    // First the first filed of the recent, then the worst of the best; never the last.
    EXPECT_EQ(keptOf(maxKeptBytes), with(with(range(0, 9), range(15, 24)), playing));
    EXPECT_EQ(keptOf(1500), with(with(range(0, 9), range(20, 24)), playing));
    EXPECT_EQ(keptOf(500), with(with(range(0, 3), {24}), playing));
    EXPECT_EQ(keptOf(0), with({24}, playing));
}

// --- Selectors, and the listing ------------------------------------------------------------

TEST(KeepSelector, TakesBestOrLastWithARankFromOne)
{
    using Order = Selector::Order;
    const std::vector<std::tuple<std::string, Order, std::size_t>> good{
        {"best", Order::best, 1},     {"best:1", Order::best, 1},
        {"best:11", Order::best, 11}, {"last", Order::last, 1},
        {"last:3", Order::last, 3},   {"last:1000000", Order::last, 1000000},
    };
    for (const auto& [text, order, rank] : good) {
        const auto selector = parseSelector(text);
        ASSERT_TRUE(selector) << text;
        EXPECT_EQ(selector->order, order) << text;
        EXPECT_EQ(selector->rank, rank) << text;
    }
    for (const std::string bad :
         {"", "worst", "BEST", "best:", "last:0", "best:x", "best:-1", "best:+1", "best:1 ",
          " best", "best:1:2", ":1", "best1", "last:1000001", "best:99999999999999999999999"})
        EXPECT_FALSE(parseSelector(bad)) << bad;
}

class KeepFormat : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* tz = std::getenv("TZ"))
            savedZone = tz;
        setZone("UTC");
    }
    void TearDown() override { setZone(savedZone ? savedZone->c_str() : nullptr); }
    static void setZone(const char* zone)
    {
#if defined(_WIN32)
        _putenv_s("TZ", zone ? zone : "");
        _tzset();
#else
        if (zone)
            setenv("TZ", zone, 1);
        else
            unsetenv("TZ");
        tzset();
#endif
    }
    std::optional<std::string> savedZone;
    const std::vector<Game> games{
        {State::finished, 1700000000, "Zo\u00eb", 3, 151, 12, "a.replay.gz"},
        {State::cut, 1700000600,
         "A\x01"
         "b",
         5, 40, 0, "b.replay.gz"},
        {State::finished, 1700001200, "Bo", 1, 60, 60, "c.replay.gz"},
    };
};

TEST_F(KeepFormat, TheTableIsAlignedAndNoNameSpeaksToTheTerminal)
{
    EXPECT_EQ(formatTable(games),
              "rank  player  length         baskets  rate                         date       "
              "       state\n"
              "   1  Zo\u00eb     2:31 of 3 min       12  1 basket every 12.6 seconds  "
              "2023-11-14 22:13  finished\n"
              "   2  A\\x01b  0:40 of 5 min        0  \u2013                            "
              "2023-11-14 22:23  cut\n"
              "   3  Bo      1:00 of 1 min       60  1 basket every second        "
              "2023-11-14 22:33  finished\n");
    EXPECT_EQ(formatTable({}), "rank  player  length  baskets  rate  date  state\n");
}

TEST_F(KeepFormat, NamesShowFormatCharactersEscapedAndLineUpByDisplayWidth)
{
    const struct {
        std::string player;
        std::string shown;
        std::size_t columns;
    } cases[] = {
        {"\u202Eevil", "\\xe2\\x80\\xaeevil", 16},                    // a right-to-left override
        {"a\u2066b\u2069c", "a\\xe2\\x81\\xa6b\\xe2\\x81\\xa9c", 27}, // an isolate
        {"Zo\u200Be", "Zo\\xe2\\x80\\x8be", 15},                      // a zero-width space
        {"\uFEFFBo", "\\xef\\xbb\\xbfBo", 14},
        {"Ann\u00AD", "Ann\u00AD", 4},                   // a soft hyphen shows
        {"Jose\u0301", "Jose\u0301", 4},                 // a combining accent
        {"\u0E01\u0E34\u0E19", "\u0E01\u0E34\u0E19", 2}, // Thai, a vowel above
        {"\u674E\u5C0F\u9F99", "\u674E\u5C0F\u9F99", 6}, // two columns a character
        {"\uFF21\uFF4E\uFF4E", "\uFF21\uFF4E\uFF4E", 6}, // fullwidth
        {"\U0001F3C0Ann", "\U0001F3C0Ann", 5},
    };
    for (const auto& c : cases) {
        Game named = games[0];
        named.player = c.player;
        const std::string table = formatTable({named});
        const std::size_t width = std::max<std::size_t>(c.columns, 6); // "player"
        EXPECT_TRUE(contains(table, "rank  player" + std::string(width - 6, ' ') + "  length"))
            << table;
        EXPECT_TRUE(contains(table, "   1  " + c.shown + std::string(width - c.columns, ' ') +
                                        "  2:31 of 3 min"))
            << table;
    }
}

TEST_F(KeepFormat, JsonEscapesEveryName)
{
    EXPECT_EQ(formatJson(games, "/home/ann/.local/share/orvanta"),
              "[\n"
              "  {\"rank\": 1, \"player\": \"Zo\u00eb\", \"minutes\": 3, \"seconds\": 151, "
              "\"baskets\": 12, \"seconds_per_basket\": 12.6, \"ended\": 1700000000, "
              "\"date\": \"2023-11-14 22:13\", \"state\": \"finished\", "
              "\"replay\": \"/home/ann/.local/share/orvanta/a.replay.gz\"},\n"
              "  {\"rank\": 2, \"player\": \"A\\u0001b\", \"minutes\": 5, \"seconds\": 40, "
              "\"baskets\": 0, \"seconds_per_basket\": null, \"ended\": 1700000600, "
              "\"date\": \"2023-11-14 22:23\", \"state\": \"cut\", "
              "\"replay\": \"/home/ann/.local/share/orvanta/b.replay.gz\"},\n"
              "  {\"rank\": 3, \"player\": \"Bo\", \"minutes\": 1, \"seconds\": 60, "
              "\"baskets\": 60, \"seconds_per_basket\": 1, \"ended\": 1700001200, "
              "\"date\": \"2023-11-14 22:33\", \"state\": \"finished\", "
              "\"replay\": \"/home/ann/.local/share/orvanta/c.replay.gz\"}\n"
              "]\n");
    const std::vector<std::pair<std::string, std::string>> names{
        {"say \"hi\"", "say \\\"hi\\\""},
        {"tab\there", "tab\\there"},
        {"back\\slash\nline", "back\\\\slash\\nline"},
        {"bell\x07"
         "del\x7f",
         "bell\\u0007del\\u007f"},
        {"C1 \xc2\x85 \U0001F3C0", "C1 \\u0085 \U0001F3C0"},
        {"stray \xff", "stray \\ufffd"},
    };
    for (const auto& [player, escaped] : names) {
        Game named = games[0];
        named.player = player;
        EXPECT_TRUE(contains(formatJson({named}, "/f"), "\"player\": \"" + escaped + "\""))
            << escaped;
    }
    EXPECT_EQ(formatJson({}, "/f"), "[]\n");
}

// --- Replay files read back ------------------------------------------------------------

class KeepFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && root.empty(); ++attempt) {
            const fs::path path =
                fs::temp_directory_path() / ("orvanta-keep-" + std::to_string(random()));
            if (std::error_code error; fs::create_directory(path, error))
                root = path.string();
        }
        ASSERT_FALSE(root.empty());
        folder = root + "/orvanta";
    }
    void TearDown() override
    {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(root, ignored))
            if (entry.is_directory(ignored))
                fs::permissions(entry.path(), fs::perms::owner_all, ignored);
        fs::remove_all(root, ignored);
    }

    std::string root;
    std::string folder;
};

using KeepReplayBytes = KeepFolder;

TEST_F(KeepReplayBytes, ReadsPlainOrGzipWithinTheLimitOrSaysWhy)
{
    const std::string text = header + ticks(20);
    const std::string packed = gzipped(text);
    std::string damaged = packed;
    damaged[packed.size() - 8] ^= 0x55; // in the check sum of what it unpacks to
    const std::string plainPath = root + "/plain.replay";
    struct Case {
        std::string name;
        std::string content; // written to a file of the name; none for the special files
        std::size_t maxBytes;
        std::string expected; // the text, or a part of the reason
        bool reads;
    };
    const std::vector<Case> cases{
        {"plain", text, text.size(), text, true},
        {"gzip", packed, text.size(), text, true},
        {"two gzip members", packed + gzipped("more\n"), text.size() + 5, text + "more\n", true},
        {"plain over the limit", text, text.size() - 1, "File too large", false},
        {"gzip over the limit", packed, text.size() - 1, "File too large", false},
        {"gzip cut short", packed.substr(0, packed.size() - 6), text.size(), "ends early", false},
        {"gzip damaged", damaged, text.size(), "damaged compressed data", false},
        {"gzip then garbage", packed + "junk", text.size() + 4, "damaged compressed data", false},
    };
    for (const Case& c : cases) {
        const std::string path = root + "/" + c.name;
        writeFile(path, c.content);
        std::string read, why;
        const bool reads = readReplayBytes(path, c.maxBytes, read, why);
        EXPECT_EQ(reads, c.reads) << c.name << ": " << why;
        EXPECT_TRUE(c.reads ? read == c.expected : contains(why, c.expected))
            << c.name << ": " << why;
    }
    writeFile(plainPath, text);
    std::vector<std::pair<std::string, std::string>> specialFiles{
        {root + "/missing.replay", "No such file or directory"},
        {root, "not a regular file"},
    };
#if defined(__unix__)
    const std::string fifo = root + "/fifo.replay";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink(plainPath.c_str(), (root + "/link.replay").c_str()), 0);
    specialFiles.push_back({fifo, "not a regular file"}); // and not waited on for ever
    specialFiles.push_back({root + "/link.replay", ""});  // a player's own link is followed
#endif
    for (const auto& [path, reason] : specialFiles) {
        std::string read, why;
        EXPECT_EQ(readReplayBytes(path, text.size(), read, why), reason.empty()) << path;
        EXPECT_TRUE(contains(why, reason)) << path << ": " << why;
    }
}

// --- The store ----------------------------------------------------------------------------

class KeepStore : public KeepFolder {
protected:
    Options options()
    {
        Options options;
        options.limits = limits;
        options.clock = [this] { return clock; };
        options.say = [this](const std::string& line) { said.push_back(line); };
        options.secondPlayed = "tick Form1 Timer2";
        return options;
    }

    std::unique_ptr<Store> open()
    {
        std::string why;
        auto store = Store::open(folder, why, options());
        EXPECT_TRUE(store) << why;
        return store;
    }

    // A game as the program plays it: a recording, the start, a few baskets, the end.
    std::string play(Store& store, const std::string& player, int baskets, int seconds,
                     const std::string& recorded = header + ticks(20))
    {
        std::string recording, why;
        EXPECT_TRUE(store.begin(recording, why)) << why;
        writeFile(recording, recorded);
        EXPECT_TRUE(store.started(recording, player, 3, clock, why)) << why;
        for (int basket = 1; basket <= baskets && basket <= 3; ++basket)
            EXPECT_TRUE(store.scored(recording, basket, seconds / 2, why)) << why;
        EXPECT_TRUE(store.ended(recording, baskets, seconds, why)) << why;
        ++clock;
        return recording;
    }

    std::vector<Game> rowsOf(Store& store)
    {
        std::vector<Game> games;
        std::string why;
        EXPECT_TRUE(store.rows(games, why)) << why;
        return games;
    }

    std::string table() const { return readFile(folder + "/games"); }

    Limits limits;
    std::int64_t clock = std::time(nullptr);
    std::vector<std::string> said;
};

TEST_F(KeepStore, AGameIsKeptCompressedFromItsStartToItsReplay)
{
    auto store = open();
    ASSERT_TRUE(store);
    std::string recording, why;
    ASSERT_TRUE(store->begin(recording, why)) << why;
    ASSERT_TRUE(recording.starts_with(folder + "/game-") && recording.ends_with(".replay"))
        << recording;
#if defined(__unix__)
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(recording).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_TRUE(rowsOf(*store).empty()); // a recording begun is no game yet
    // The recorder's file ends in a line cut short and the zero bytes it had reserved.
    const std::string whole = header + ticks(500);
    writeFile(recording, whole + "5010 tick clo" + std::string(4096, '\0'));
    ASSERT_TRUE(store->started(recording, "Zo\u00eb\tthe \"best\"", 3, clock, why)) << why;
    EXPECT_TRUE(contains(table(), "playing\t")) << table();
    EXPECT_TRUE(rowsOf(*store).empty()); // a game going on is not listed
    ASSERT_TRUE(store->scored(recording, 1, 20, why)) << why;
    ASSERT_TRUE(store->ended(recording, 7, 180, why)) << why;

    const std::vector<Game> games = rowsOf(*store);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].state, State::finished);
    EXPECT_EQ(games[0].player, "Zo\u00eb\tthe \"best\"");
    EXPECT_EQ(games[0].baskets, 7);
    EXPECT_EQ(games[0].seconds, 180);
    EXPECT_EQ(store->pathOf(games[0].replay), recording + ".gz");
    EXPECT_FALSE(fs::exists(recording));
    const std::string packed = readFile(recording + ".gz");
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(packed.substr(0, 2), "\x1f\x8b");
    std::string replay;
    ASSERT_TRUE(readReplayBytes(recording + ".gz", maxRecordingBytes, replay, why)) << why;
    EXPECT_EQ(replay, whole);
    EXPECT_EQ(namesIn(folder),
              (std::vector<std::string>{fs::path(recording).filename().string() + ".gz", "games",
                                        "games.lock"}));
}

TEST_F(KeepStore, AGameThatNeverStartedIsDiscarded)
{
    auto store = open();
    ASSERT_TRUE(store);
    std::string recording, why;
    ASSERT_TRUE(store->begin(recording, why)) << why;
    writeFile(recording, header);
    ASSERT_TRUE(store->discard(recording, why)) << why;
    EXPECT_FALSE(fs::exists(recording));
    EXPECT_FALSE(contains(table(), fs::path(recording).filename().string())) << table();
}

TEST_F(KeepStore, BadInputIsRefusedWithAReasonAndChangesNothing)
{
    auto store = open();
    ASSERT_TRUE(store);
    play(*store, "Ann", 2, 60);
    const std::string recording = store->newRecording();
    writeFile(recording, header);
    std::string why;
    ASSERT_TRUE(store->started(recording, "Bo", 3, clock, why)) << why;
    const std::string before = table();
    const std::string elsewhere = root + "/game.replay";
    writeFile(elsewhere, header);
    const std::vector<std::pair<std::string, std::function<bool(std::string&)>>> calls{
        {"not a recording in", [&](auto& w) { return store->started(elsewhere, "A", 3, 1, w); }},
        {"not a recording in",
         [&](auto& w) { return store->started(folder + "/../game.replay", "A", 3, 1, w); }},
        {"not a recording in",
         [&](auto& w) { return store->started(folder + "/games", "A", 3, 1, w); }},
        {"not a recording in", [&](auto& w) { return store->scored(recording + ".gz", 1, 1, w); }},
        {"no recording at",
         [&](auto& w) { return store->started(folder + "/x.replay", "A", 3, 1, w); }},
        {"minutes", [&](auto& w) { return store->started(recording, "A", 0, 1, w); }},
        {"start time", [&](auto& w) { return store->started(recording, "A", 3, -1, w); }},
        {"already", [&](auto& w) { return store->started(recording, "A", 3, 1, w); }},
        {"baskets", [&](auto& w) { return store->scored(recording, -1, 10, w); }},
        {"seconds", [&](auto& w) { return store->ended(recording, 1, -10, w); }},
        {"not in the table",
         [&](auto& w) { return store->scored(folder + "/game-x.replay", 1, 10, w); }},
        {"has started", [&](auto& w) { return store->discard(recording, w); }},
    };
    for (const auto& [reason, call] : calls) {
        why.clear();
        EXPECT_FALSE(call(why)) << reason;
        EXPECT_TRUE(contains(why, reason)) << reason << ": " << why;
        EXPECT_EQ(why.find('\n'), std::string::npos) << why;
        EXPECT_EQ(table(), before) << reason;
    }
    EXPECT_TRUE(fs::exists(recording));
}

#if defined(__unix__)
TEST_F(KeepStore, AGameWhoseProgramWasKilledIsKeptAsCutAtTheNextStart)
{
    // 70 seconds played by the recording, though the table heard last at 40.
    std::string whole = header + ticks(300);
    for (int second = 1; second <= 70; ++second)
        whole += std::to_string(3000 + second * 1000) + " tick Form1 Timer2\n";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The game's program: it records holding the lock, as the recorder does.
        std::string why;
        auto store = Store::open(folder, why, options());
        const std::string recording = store ? store->newRecording() : "";
        const int fd = ::open(recording.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const bool recording_ok =
            store && fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            write(fd, whole.data(), whole.size()) == static_cast<ssize_t>(whole.size()) &&
            store->started(recording, "Cy", 5, clock, why) &&
            store->scored(recording, 3, 40, why) && write(fd, "3010 tick cl", 12) == 12 &&
            ftruncate(fd, 1 << 16) == 0;
        const std::string message = recording_ok ? recording : "";
        [[maybe_unused]] const auto written = write(ready[1], message.data(), message.size());
        close(ready[1]);
        for (;;)
            pause();
    }
    close(ready[1]);
    char buffer[4096];
    const ssize_t got = read(ready[0], buffer, sizeof buffer);
    close(ready[0]);
    const std::string recording(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));

    // Another program starting meanwhile leaves the game going on alone.
    auto store = open();
    std::string why;
    EXPECT_TRUE(store && store->recover(why)) << why;
    EXPECT_TRUE(contains(table(), "\nplaying\t")) << table();
    EXPECT_TRUE(contains(table(), "\tCy\t5\t40\t3\t")) << table();
    EXPECT_TRUE(fs::exists(recording));

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_FALSE(recording.empty()) << "the game's program could not record";
    store = open();
    ASSERT_TRUE(store && store->recover(why)) << why;
    const std::vector<Game> games = rowsOf(*store);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].state, State::cut);
    EXPECT_EQ(games[0].player, "Cy");
    EXPECT_EQ(games[0].baskets, 3);
    EXPECT_EQ(games[0].seconds, 70);
    EXPECT_FALSE(fs::exists(recording));
    std::string replay;
    ASSERT_TRUE(readReplayBytes(recording + ".gz", maxRecordingBytes, replay, why)) << why;
    EXPECT_EQ(replay, whole);
    EXPECT_TRUE(said.empty());
}
#endif

TEST_F(KeepStore, TwoProgramsKeepingGamesAtOnceLoseNoRow)
{
    limits.best = limits.last = 100; // none let go: every row must be there
    constexpr int gamesEach = 12;
    const auto program = [&](const std::string& player) {
        return [&, player] {
            std::string why;
            auto store = Store::open(folder, why, options());
            if (!store)
                return why;
            for (int n = 1; n <= gamesEach; ++n) {
                std::string recording;
                bool ok = store->begin(recording, why);
                writeFile(recording, header + ticks(50));
                ok = ok && store->started(recording, player, 3, clock, why);
                for (int basket = 1; ok && basket <= n; ++basket)
                    ok = store->scored(recording, basket, basket * 5, why);
                if (!ok || !store->ended(recording, n, n * 5, why))
                    return player + ": " + why;
            }
            return std::string();
        };
    };
    const std::string players[2] = {"Ann", "Bo"};
    for (const std::string& result : atOnce({program(players[0]), program(players[1])}))
        EXPECT_EQ(result, "");
    auto store = open();
    ASSERT_TRUE(store);
    std::set<std::pair<std::string, int>> kept;
    for (const Game& game : rowsOf(*store)) {
        EXPECT_EQ(game.state, State::finished);
        EXPECT_EQ(game.seconds, game.baskets * 5);
        kept.insert({game.player, game.baskets});
    }
    std::set<std::pair<std::string, int>> played;
    for (const std::string& player : players)
        for (int n = 1; n <= gamesEach; ++n)
            played.insert({player, n});
    EXPECT_EQ(kept, played);
}

TEST_F(KeepStore, AtTheStartWhatACrashLeftGoesAndNothingElse)
{
    auto store = open();
    ASSERT_TRUE(store);
    const std::string kept = play(*store, "Ann", 3, 90);
    const auto recordingAt = [&](const std::string& name, int ageSeconds) {
        const std::string path = folder + "/" + name;
        writeFile(path, header);
        const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds);
        fs::last_write_time(path, when);
        return path;
    };
    // Recordings begun by programs that died before their game started go once they are
    // old and no one writes them; the young one's recorder is about to lock it. A
    // recording that no row names is not the store's: it stays, however old.
    const auto begun = [&](int ageSeconds) {
        std::string recording, why;
        EXPECT_TRUE(store->begin(recording, why)) << why;
        return recordingAt(fs::path(recording).filename().string(), ageSeconds);
    };
    const std::string neverStarted = begun(3600);
    const std::string young = begun(0);
    const std::string locked = begun(3600);
    const std::string notOurs = recordingAt("game-1-1.replay", 3600);
    recordingAt("notes.txt", 3600);
    std::string held;
    files::File recorder = files::File::forReading(locked, held);
    ASSERT_EQ(recorder.lock({}, held), files::File::Locking::taken) << held;
    writeFile(folder + "/games.tmp", "half a table");
    writeFile(kept + ".gz.tmp", "half a replay");
    // A game compressed just before its program died, before the table could say so, and
    // a row whose replay someone removed.
    const std::string packedOnly = store->newRecording();
    writeFile(packedOnly, header);
    std::string why;
    ASSERT_TRUE(store->started(packedOnly, "Bo", 3, clock, why)) << why;
    ASSERT_TRUE(store->scored(packedOnly, 2, 30, why)) << why;
    writeFile(packedOnly + ".gz", gzipped(header));
    fs::remove(packedOnly);
    const std::string gone = play(*store, "Cy", 1, 10);
    fs::remove(gone + ".gz");

    ASSERT_TRUE(store->recover(why)) << why;
    recorder.close(held);
    const auto name = [](const std::string& path) { return fs::path(path).filename().string(); };
    std::vector<std::string> staying{name(young),
                                     name(locked),
                                     name(notOurs),
                                     "games",
                                     "games.lock",
                                     name(kept) + ".gz",
                                     name(packedOnly) + ".gz",
                                     "notes.txt"};
    std::sort(staying.begin(), staying.end());
    EXPECT_EQ(namesIn(folder), staying);
    std::vector<std::pair<std::string, State>> rows;
    for (const Game& game : rowsOf(*store))
        rows.push_back({game.player, game.state});
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, State>>{{"Ann", State::finished},
                                                                {"Bo", State::cut}}));
    EXPECT_FALSE(contains(table(), "Cy"));
    EXPECT_FALSE(contains(table(), name(neverStarted))) << table();
}

// gunzip in the folder leaves the plain replay with the old time stamp and removes the
// compressed one: the game stays listed with its unpacked replay, which is never taken
// for a recording a crash left. A file no row names is the player's, however old.
TEST_F(KeepStore, AReplayThePlayerUnpackedStaysItsGamesAndNothingOfThePlayersGoes)
{
    auto store = open();
    ASSERT_TRUE(store);
    const std::string recording = play(*store, "Ann", 2, 60);
    const std::string played = header + ticks(20);
    fs::remove(recording + ".gz");
    writeFile(recording, played);
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(recording, anHourAgo);
    const std::string own = folder + "/game-20200101-000000-1.replay";
    writeFile(own, played);
    fs::last_write_time(own, anHourAgo);

    std::string why, path;
    ASSERT_TRUE(store->recover(why)) << why;
    const std::vector<Game> games = rowsOf(*store);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].player, "Ann");
    EXPECT_EQ(store->pathOf(games[0].replay), recording);
    EXPECT_EQ(readFile(recording), played);
    EXPECT_EQ(readFile(own), played);
    ASSERT_TRUE(store->find("last", path, why)) << why;
    EXPECT_EQ(path, recording);
    EXPECT_TRUE(said.empty());
}

// "The last ten" are the last filed: ten games filed while the clock ran years ahead do
// not push out the game just played, nor does its end time rank it for "last".
TEST_F(KeepStore, TheGameJustPlayedIsTheLastWhateverTheClockSays)
{
    auto store = open();
    ASSERT_TRUE(store);
    const std::int64_t today = clock;
    clock += 10LL * 365 * 24 * 3600;
    std::string ahead;
    for (int i = 0; i < 20; ++i) // the best are the first ten
        ahead = play(*store, "Ahead" + std::to_string(i), 20 - i, 60);
    clock = today;
    const std::string played = play(*store, "Now", 0, 60); // the worst of all
    std::vector<Game> games = rowsOf(*store);
    EXPECT_EQ(games.size(), 20u);
    EXPECT_EQ(games.back().player, "Now");
    EXPECT_TRUE(fs::exists(played + ".gz"));
    std::string path, why;
    ASSERT_TRUE(store->find("last", path, why)) << why;
    EXPECT_EQ(path, played + ".gz");
    ASSERT_TRUE(store->find("last:2", path, why)) << why;
    EXPECT_EQ(path, ahead + ".gz");
}

// A game whose recording cannot be compressed stays for a later start to file; such
// recordings are capped, the first begun going first, and one line says why.
TEST_F(KeepStore, RecordingsThatCannotBeFiledAreCappedWithOneLine)
{
    limits.unfiled = 2;
    auto store = open();
    ASSERT_TRUE(store);
    std::vector<std::string> recordings;
    for (int i = 0; i < 4; ++i) {
        std::string recording, why;
        ASSERT_TRUE(store->begin(recording, why)) << why;
        writeFile(recording, header + ticks(10));
        ASSERT_TRUE(store->started(recording, "P" + std::to_string(i), 3, clock, why)) << why;
        fs::create_directory(recording + ".gz"); // where its replay would go
        recordings.push_back(recording);
    }
    std::string why;
    ASSERT_TRUE(store->recover(why)) << why;
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(contains(said[0], "cannot write " + recordings[0] + ".gz: ")) << said[0];
    EXPECT_TRUE(contains(said[0], "(and 3 more)")) << said[0];
    EXPECT_TRUE(contains(said[0], "the oldest go: 2 are removed")) << said[0];
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fs::exists(recordings[i]), i >= 2) << i;
        EXPECT_EQ(contains(table(), "\tP" + std::to_string(i) + "\t"), i >= 2) << table();
    }
}

#if defined(__unix__)
// Where a game could not be filed at its end, it is not begun: one line names the cause,
// and nothing is left to pile up.
TEST_F(KeepStore, NoGameIsBegunWhereItCouldNotBeFiled)
{
    // A folder so deep that a recording's name fits in a path and its temp replay's not.
    std::string recording, why;
    {
        auto probe = open();
        ASSERT_TRUE(probe && probe->begin(recording, why)) << why;
    }
    const std::size_t nameBytes = fs::path(recording).filename().string().size();
    std::string deep = root;
    const std::size_t wanted = 4095 - 3 - (nameBytes + 1); // a recording's path of 4092
    while (deep.size() < wanted)
        deep += "/" + std::string(std::min<std::size_t>(200, wanted - deep.size() - 1), 'd');
    ASSERT_EQ(deep.size(), wanted);
    folder = deep;
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_FALSE(store->begin(recording, why));
    EXPECT_TRUE(contains(why, ".replay.gz.tmp: File name too long")) << why;
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"games.lock"}));

    // A table that cannot be read: left by the game run as root, say.
    folder = root + "/unreadable";
    const std::string result = inChild([&]() -> std::string {
        auto store = open();
        if (!store)
            return "no store";
        std::string recording, why;
        if (!store->begin(recording, why) || !store->discard(recording, why))
            return "no table: " + why;
        if (geteuid() == 0) {
            if (chmod(root.c_str(), 0711) != 0 || chown(folder.c_str(), 65534, 65534) != 0 ||
                chown((folder + "/games.lock").c_str(), 65534, 65534) != 0 || setgid(65534) != 0 ||
                setuid(65534) != 0)
                return std::string("skip: cannot become another user: ") + std::strerror(errno);
        }
        chmod((folder + "/games").c_str(), 0);
        store = open();
        if (!store)
            return "no store for the user";
        if (store->begin(recording, why))
            return "a game was begun over a table that cannot be read";
        if (why != "cannot read " + folder + "/games: Permission denied")
            return "the reason: " + why;
        const std::vector<std::string> left = namesIn(folder);
        if (left != std::vector<std::string>{"games", "games.lock"})
            return "left behind: " + std::to_string(left.size()) + " files";
        return {};
    });
    if (result.starts_with("skip: "))
        GTEST_SKIP() << result;
    EXPECT_EQ(result, "");
}
#endif

// Listing and replaying only read: a missing folder is left missing, and a folder that is
// not the player's is refused, for keeping and for reading alike.
TEST_F(KeepStore, ReadingCreatesNothingAndAFolderOfAnotherUserIsRefused)
{
    std::string why, path;
    auto reader = Store::openToRead(folder, why, options());
    ASSERT_TRUE(reader) << why;
    EXPECT_TRUE(reader->recover(why)) << why;
    EXPECT_TRUE(rowsOf(*reader).empty());
    EXPECT_FALSE(reader->find("best", path, why));
    EXPECT_EQ(why, "there is no kept game best: no game is kept yet");
    EXPECT_FALSE(fs::exists(folder));

#if defined(__unix__)
    std::string others = "/";
    if (geteuid() == 0) {
        others = root + "/others";
        ASSERT_EQ(mkdir(others.c_str(), 0777), 0);
        ASSERT_EQ(chown(others.c_str(), 65534, 65534), 0);
    }
    EXPECT_FALSE(Store::open(others, why, options()));
    EXPECT_EQ(why, "cannot keep games in " + others + ": it belongs to another user");
    EXPECT_FALSE(Store::openToRead(others, why, options()));
    EXPECT_EQ(why, others + ": it belongs to another user");
    if (others != "/") {
        EXPECT_EQ(namesIn(others), std::vector<std::string>{});
    }
#endif
}

// Compressed replays that no row names (a damaged table set aside, a pruned replay whose
// removal a kill cut short) count in the byte cap and go first, the oldest first; other
// files are never the store's to remove.
TEST_F(KeepStore, ReplaysNoRowNamesCountInTheCapAndGoFirst)
{
    const std::string big = header + randomMoves(3000); // some 25 KiB compressed
    limits.keptBytes = 100 * 1024;
    auto store = open();
    ASSERT_TRUE(store);
    const std::string kept = play(*store, "Ann", 3, 100, big);
    const std::uint64_t replayBytes = fs::file_size(kept + ".gz");
    const auto strayAt = [&](const std::string& name, int ageHours) {
        fs::copy_file(kept + ".gz", folder + "/" + name);
        fs::last_write_time(folder + "/" + name,
                            fs::file_time_type::clock::now() - std::chrono::hours(ageHours));
    };
    strayAt("game-20200101-000000-1.replay.gz", 3);
    strayAt("game-20200101-000000-2.replay.gz", 2);
    strayAt("game-20200101-000000-3.replay.gz", 1);
    strayAt("mine.replay.gz", 4);
    play(*store, "Bo", 2, 100, big);
    // Two games and the strays: over the cap by one or two strays' worth.
    const std::uint64_t total = 6 * replayBytes;
    ASSERT_GT(total, limits.keptBytes);
    const std::vector<Game> games = rowsOf(*store);
    EXPECT_EQ(games.size(), 2u);
    EXPECT_FALSE(fs::exists(folder + "/game-20200101-000000-1.replay.gz"));
    EXPECT_TRUE(fs::exists(folder + "/game-20200101-000000-3.replay.gz"));
    EXPECT_TRUE(fs::exists(folder + "/mine.replay.gz"));
    std::uint64_t bytes = 0;
    for (const std::string& name : namesIn(folder))
        if (name.starts_with("game-"))
            bytes += fs::file_size(folder + "/" + name);
    EXPECT_LE(bytes, limits.keptBytes);
}

// A folder and a player beyond ASCII keep their letters: every call to the system takes
// the path as UTF-8 (UTF-16 on Windows), and the table and the listing the name.
TEST_F(KeepStore, NamesAndFoldersBeyondAsciiKeepTheirLetters)
{
    folder = root + "/Zo\u00eb's \u6e38\u620f/\u00d8rvanta";
    auto store = open();
    ASSERT_TRUE(store);
    const std::string recording = play(*store, "\u00d8rjan \U0001F3C0", 2, 60);
    const std::vector<Game> games = rowsOf(*store);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].player, "\u00d8rjan \U0001F3C0");
    std::string path, why, replay;
    ASSERT_TRUE(store->find("best", path, why)) << why;
    EXPECT_EQ(path, recording + ".gz");
    EXPECT_TRUE(fs::exists(pathFrom(path)));
    ASSERT_TRUE(readReplayBytes(path, maxRecordingBytes, replay, why)) << why;
    EXPECT_EQ(replay, header + ticks(20));
    EXPECT_EQ(namesIn(folder),
              (std::vector<std::string>{fs::path(pathFrom(path)).filename().string(), "games",
                                        "games.lock"}));
}

// Another program reading a kept replay (a player's viewer) while the game it belongs to
// is let go: the store carries on; the file goes once no one holds it, as a replay that no
// row names, when the cap needs the room (on Windows a file open without leave to delete
// stays until it is closed).
TEST_F(KeepStore, AReplayHeldOpenByAnotherProgramStopsNothing)
{
    limits.best = limits.last = 1;
    limits.keptBytes = 1; // only the last game's replay, whatever its size
    auto store = open();
    ASSERT_TRUE(store);
    const std::string first = play(*store, "Ann", 1, 60);
    std::optional<std::ifstream> viewer(std::in_place, pathFrom(first + ".gz"), std::ios::binary);
    ASSERT_TRUE(viewer->is_open());
    const std::string second = play(*store, "Bo", 2, 60);
    std::vector<Game> games = rowsOf(*store);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].player, "Bo");
    viewer.reset();
    std::string why;
    ASSERT_TRUE(store->recover(why)) << why;
    EXPECT_FALSE(fs::exists(pathFrom(first + ".gz")));
    EXPECT_TRUE(fs::exists(pathFrom(second + ".gz")));
    EXPECT_TRUE(said.empty());
}

TEST_F(KeepStore, ADamagedTableIsSetAsideWithOneLineAndANewOneBegun)
{
    std::string whole;
    {
        auto store = open();
        ASSERT_TRUE(store);
        play(*store, "Ann", 3, 90);
        play(*store, "Bo", 2, 90);
        whole = table();
    }
    const std::vector<std::pair<std::string, std::string>> damages{
        {"cut inside a line", whole.substr(0, whole.size() - 20)},
        {"cut at a line", whole.substr(0, whole.rfind("end"))},
        {"empty", ""},
        {"garbage", std::string("\0\x01\xfe garbage\n", 12)},
        {"another program's", "[Desktop Entry]\nName=Orvanta\n"},
        {"too large", std::string(tableHeader) + "\n" + std::string(maxTableBytes, 'x') + "\n"},
    };
    for (const auto& [damage, text] : damages) {
        SCOPED_TRACE(damage);
        for (const std::string& name : namesIn(folder))
            if (name.starts_with("games.damaged-"))
                fs::remove(folder + "/" + name);
        writeFile(folder + "/games", text);
        said.clear();
        auto store = open();
        ASSERT_TRUE(store);
        EXPECT_TRUE(rowsOf(*store).empty());
        ASSERT_EQ(said.size(), 1u);
        EXPECT_TRUE(contains(said[0], folder + "/games is damaged (")) << said[0];
        EXPECT_TRUE(contains(said[0], "set aside as " + folder + "/games.damaged-")) << said[0];
        EXPECT_EQ(said[0].find('\n'), std::string::npos);
        std::vector<std::string> setAside;
        for (const std::string& name : namesIn(folder))
            if (name.starts_with("games.damaged-"))
                setAside.push_back(name);
        ASSERT_EQ(setAside.size(), 1u);
        EXPECT_EQ(readFile(folder + "/" + setAside[0]), text);
        play(*store, "Cy", 1, 30);
        const std::vector<Game> games = rowsOf(*store);
        ASSERT_EQ(games.size(), 1u);
        EXPECT_EQ(games[0].player, "Cy");
        EXPECT_EQ(said.size(), 1u);
    }
}

TEST_F(KeepStore, KeepsTheBestTenAndTheLastTenAndRemovesTheRest)
{
    auto store = open();
    ASSERT_TRUE(store);
    std::vector<std::string> recordings;
    for (int i = 0; i < 25; ++i) // the best are the first ten, the last the final ten
        recordings.push_back(play(*store, "P" + std::to_string(i), 30 - i, 300));
    const std::vector<Game> games = rowsOf(*store);
    ASSERT_EQ(games.size(), 20u);
    for (int i = 0; i < 25; ++i) {
        const bool kept = i < 10 || i >= 15;
        EXPECT_EQ(fs::exists(recordings[i] + ".gz"), kept) << i;
        EXPECT_FALSE(fs::exists(recordings[i])) << i;
    }
    EXPECT_EQ(games.front().player, "P0");
    EXPECT_EQ(games.back().player, "P24");
}

TEST_F(KeepStore, TheCapsInBytesBoundWhatTheFolderHolds)
{
    const std::string big = header + randomMoves(3000); // some 25 KiB compressed
    limits.keptBytes = 100 * 1024;
    limits.replayBytes = 40 * 1024;
    auto store = open();
    ASSERT_TRUE(store);
    for (int i = 0; i < 8; ++i)
        play(*store, "P" + std::to_string(i), 8 - i, 100, big);
    std::uint64_t bytes = 0;
    const std::vector<Game> games = rowsOf(*store);
    for (const Game& game : games)
        bytes += fs::file_size(store->pathOf(game.replay));
    EXPECT_LE(bytes, limits.keptBytes);
    EXPECT_GE(games.size(), 3u);
    EXPECT_LT(games.size(), 8u) << bytes; // all eight are among the best ten

    const std::string huge = store->newRecording();
    writeFile(huge, header + randomMoves(8000));
    std::string why;
    ASSERT_TRUE(store->started(huge, "Dee", 3, clock, why)) << why;
    EXPECT_FALSE(store->ended(huge, 50, 100, why));
    EXPECT_TRUE(contains(why, "is not kept")) << why;
    EXPECT_FALSE(fs::exists(huge));
    EXPECT_FALSE(fs::exists(huge + ".gz"));
    EXPECT_FALSE(contains(table(), "Dee"));
    for (const std::string& name : namesIn(folder))
        EXPECT_FALSE(files::isTempName(name)) << name;
}

TEST_F(KeepStore, FindsTheBestAndTheLastOrSaysWhyNot)
{
    auto store = open();
    ASSERT_TRUE(store);
    std::string path, why;
    EXPECT_FALSE(store->find("best", path, why));
    EXPECT_EQ(why, "there is no kept game best: no game is kept yet");
    const std::string first = play(*store, "Ann", 2, 60);
    const std::string second = play(*store, "Bo", 5, 60);
    const std::string third = play(*store, "Cy", 1, 60);
    const std::vector<std::pair<std::string, std::string>> found{
        {"best", second}, {"best:2", first},  {"best:3", third},
        {"last", third},  {"last:2", second}, {"last:3", first},
    };
    for (const auto& [selector, recording] : found) {
        EXPECT_TRUE(store->find(selector, path, why)) << selector << ": " << why;
        EXPECT_EQ(path, recording + ".gz") << selector;
    }
    const std::vector<std::pair<std::string, std::string>> refused{
        {"best:4", "there is no kept game best:4; orvanta --games lists them"},
        {"last:11", "there is no kept game last:11; orvanta --games lists them"},
        {"worst", "\"worst\" names no kept game: say best, best:N, last or last:N"},
        {"last:0", "\"last:0\" names no kept game: say best, best:N, last or last:N"},
        {"best:\x1b[2J", "\"best:\\x1b[2J\" names no kept game: say best, best:N, last or last:N"},
    };
    for (const auto& [selector, message] : refused) {
        EXPECT_FALSE(store->find(selector, path, why)) << selector;
        EXPECT_EQ(why, message);
    }
}

#if defined(__unix__)
TEST_F(KeepStore, AFolderThatCannotBeWrittenIsRefusedWithItsReason)
{
    writeFile(root + "/file", "not a folder");
    std::string why;
    EXPECT_FALSE(Store::open(root + "/file/orvanta", why, options()));
    EXPECT_EQ(why, "cannot keep games in " + root + "/file/orvanta: Not a directory");
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into a folder whatever its mode";
    ASSERT_EQ(mkdir(folder.c_str(), 0500), 0);
    EXPECT_FALSE(Store::open(folder, why, options()));
    EXPECT_EQ(why, "cannot keep games in " + folder + ": Permission denied");
}
#endif

#if defined(__unix__)
// The size limit of the process (ulimit -f) stops a write with SIGXFSZ and EFBIG: the
// step fails with its reason, the table stays as it was, and the game goes on.
TEST_F(KeepStore, AFileSizeLimitFailsTheStepAndLeavesTheTableAsItWas)
{
    const std::string result = inChild([&]() -> std::string {
        std::string why;
        auto store = Store::open(folder, why, options());
        if (!store)
            return "no store: " + why;
        play(*store, "Ann", 2, 60);
        const std::string recording = store->newRecording();
        writeFile(recording, header + randomMoves(3000));
        if (!store->started(recording, "Bo", 3, clock, why))
            return "started: " + why;
        const rlimit small{4096, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &small);
        if (store->ended(recording, 4, 60, why))
            return "a replay larger than the limit was kept";
        if (why != "cannot write " + recording + ".gz: File too large")
            return "the reason: " + why;
        // The game's last numbers are noted; the next start compresses its recording.
        if (!contains(table(), "\nplaying\t") || !contains(table(), "\tBo\t3\t60\t4\t"))
            return "the game's row: " + table();
        for (const std::string& name : namesIn(folder))
            if (files::isTempName(name))
                return "a temp file stayed: " + name;
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
        if (!store->recover(why)) // the next start keeps what the end could not
            return "recover: " + why;
        const std::vector<Game> games = rowsOf(*store);
        if (games.size() != 2 || games[0].player != "Bo" || games[0].state != State::cut ||
            games[0].baskets != 4)
            return "after the limit: " + table();
        return {};
    });
    EXPECT_EQ(result, "");
}
#endif

#if defined(__unix__)
// A small tmpfs in a mount namespace of its own: filled, then made read-only.
TEST_F(KeepStore, AFullOrReadOnlyDiskFailsTheStepAndLeavesTheTableAsItWas)
{
    const std::string result = inChild([&]() -> std::string {
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWNS | (uid == 0 ? 0 : CLONE_NEWUSER)) != 0)
            return std::string("skip: no mount namespace: ") + std::strerror(errno);
        if (uid != 0) {
            writeFile("/proc/self/setgroups", "deny");
            writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
            writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        }
        const std::string disk = root + "/disk";
        fs::create_directory(disk);
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
            return std::string("skip: no tmpfs: ") + std::strerror(errno);
        folder = disk + "/orvanta";
        std::string why;
        auto store = Store::open(folder, why, options());
        if (!store)
            return "no store: " + why;
        play(*store, "Ann", 2, 60);
        const std::string recording = store->newRecording();
        writeFile(recording, header + randomMoves(500));
        if (!store->started(recording, "Bo", 3, clock, why))
            return "started: " + why;
        const std::string before = table();
        const int filler = ::open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(4096, 'x');
        while (write(filler, block.data(), block.size()) > 0)
            ;
        while (write(filler, "x", 1) > 0)
            ;
        close(filler);
        const auto failsWith = [&](const std::string& step, bool done, const std::string& reason) {
            if (done)
                return step + " reported success";
            if (!contains(why, reason))
                return step + ": " + why;
            if (table() != before)
                return step + " changed the table";
            return std::string();
        };
        // The end names the replay it could not write, not the table that failed with it.
        for (const std::string& failure :
             {failsWith("scored", store->scored(recording, 1, 30, why), "No space left on device"),
              failsWith("ended", store->ended(recording, 2, 60, why),
                        "cannot write " + recording + ".gz: No space left on device")})
            if (!failure.empty())
                return failure;
        fs::remove(disk + "/filler");
        if (mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return std::string("remount: ") + std::strerror(errno);
        for (const std::string& failure :
             {failsWith("scored", store->scored(recording, 1, 30, why), "Read-only file system"),
              failsWith("ended", store->ended(recording, 2, 60, why), "Read-only file system"),
              failsWith("open", bool(Store::open(folder, why, options())),
                        "Read-only file system")})
            if (!failure.empty())
                return failure;
        const std::vector<Game> games = rowsOf(*store); // still listed
        if (games.size() != 1 || games[0].player != "Ann")
            return "the kept game is not listed";
        // Listing and replaying need only reading.
        auto reader = Store::openToRead(folder, why, options());
        std::string path;
        if (!reader || !reader->recover(why) || rowsOf(*reader).size() != 1 ||
            !reader->find("best", path, why) || path != store->pathOf(games[0].replay))
            return "read-only, the kept games cannot be had: " + why;
        return {};
    });
    if (result.starts_with("skip: "))
        GTEST_SKIP() << result;
    EXPECT_EQ(result, "");
}
#endif

} // namespace
