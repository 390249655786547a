// The file a recording goes to, met by other programs and by the system's limits: each ends
// the recording with a reason and keeps its whole lines; none ends or blocks the program.

#include "platform/replay/output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#if defined(__unix__)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using platform::replay::Output;

const std::string line = std::string(99, 'x') + '\n';

std::string pathFor(const std::string& name)
{
    // Named apart from other test programs' files, which may run at the same time.
    const std::string path = ::testing::TempDir() + "replay-output-" + name;
    std::remove(path.c_str());
    return path;
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::unique_ptr<Output> opened(const std::string& path)
{
    std::string why;
    auto output = Output::open(path, why);
    EXPECT_TRUE(output) << path << ": " << why;
    return output;
}

TEST(ReplayOutput, LinesAreInTheFileAtOnceAndTheEndCutsItToThem)
{
    const std::string path = pathFor("lines.replay");
    auto output = opened(path);
    ASSERT_TRUE(output);
    ASSERT_TRUE(output->append("first\n"));
    ASSERT_TRUE(output->append("second\n"));
    // As a program killed now would leave it: the lines, then zeros the reader leaves out.
    const std::string meanwhile = contents(path);
    EXPECT_EQ(meanwhile.substr(0, 13), "first\nsecond\n");
    EXPECT_EQ(meanwhile.find_first_not_of('\0', 13), std::string::npos);
    EXPECT_TRUE(output->close());
    EXPECT_EQ(contents(path), "first\nsecond\n");
}

TEST(ReplayOutput, ASecondRecordingIntoTheSameFileIsRefusedAndTheFirstKeepsItsLines)
{
    const std::string path = pathFor("shared.replay");
    auto first = opened(path);
    ASSERT_TRUE(first);
    ASSERT_TRUE(first->append("first\n"));
    std::string why;
    EXPECT_FALSE(Output::open(path, why));
    EXPECT_EQ(why, "another recording is writing to it");
    ASSERT_TRUE(first->append("more\n"));
    EXPECT_TRUE(first->close());
    EXPECT_EQ(contents(path), "first\nmore\n");
    EXPECT_TRUE(opened(path)) << "the file is free once the first has closed it";
}

// What other programs and the system's limits do to a file that POSIX maps or a pipe.
#if defined(__unix__)
TEST(ReplayOutput, AFileCutShortByAnotherProgramEndsTheRecordingNotTheProgram)
{
    for (const std::size_t cutTo : {0, 6}) {
        const std::string path = pathFor("cut.replay");
        auto output = opened(path);
        ASSERT_TRUE(output);
        ASSERT_TRUE(output->append("first\n"));
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(cutTo)), 0);
        // The next line lands past the end of what the file now holds.
        for (int i = 0; i < 100 && output->why().empty(); ++i)
            output->append(line);
        EXPECT_EQ(output->why(), "another program has cut the file short") << cutTo;
        EXPECT_FALSE(output->append(line));
        output->close();
        EXPECT_EQ(contents(path).size(), cutTo) << "the file is left as the other program made it";
    }
}

TEST(ReplayOutput, AFileCutShortWhileNothingIsWrittenIsFoundAtTheEnd)
{
    const std::string path = pathFor("cut-late.replay");
    auto output = opened(path);
    ASSERT_TRUE(output);
    ASSERT_TRUE(output->append("first\nsecond\n"));
    ASSERT_EQ(::truncate(path.c_str(), 6), 0);
    EXPECT_FALSE(output->close());
    EXPECT_EQ(output->why(), "another program has cut the file short");
    EXPECT_EQ(contents(path), "first\n");
}

// Records under a file-size limit of 150000 bytes until the recording stops; exits 0 if it
// stopped for the limit with every whole line that fits in the file.
[[noreturn]] void recordUnderALimit(const std::string& path)
{
    const rlimit limit{150'000, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    auto output = opened(path);
    std::string written;
    while (output && output->append(line))
        written += line;
    const bool stopped = output && output->why() == "File too large";
    output.reset();
    std::_Exit(stopped && written.size() == 150'000 && contents(path) == written ? 0 : 1);
}

TEST(ReplayOutput, TheFileSizeLimitStopsTheRecordingAtAWholeLine)
{
    const std::string path = pathFor("limited.replay");
    // In a child of its own: the limit is the process's.
    EXPECT_EXIT(recordUnderALimit(path), ::testing::ExitedWithCode(0), "");
}

// A pipe is written without blocking: a reader that falls behind is waited for up to a bound,
// one that has gone ends the recording, and a FIFO nobody reads is refused at once.
TEST(ReplayOutput, APipeNeverHoldsTheProgramUp)
{
    const std::string fifo = pathFor("recording.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string why;
    EXPECT_FALSE(Output::open(fifo, why));
    EXPECT_EQ(why, "no program reads from it");

    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    auto slow = opened(fifo);
    ASSERT_TRUE(slow);
    std::size_t accepted = 0;
    while (slow->append(line))
        accepted += line.size();
    EXPECT_EQ(slow->why(), "the program reading it does not keep up");
    EXPECT_GT(accepted, std::size_t{1} << 20);
    slow.reset();
    ::close(reader);

    const int goingReader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(goingReader, 0);
    auto orphan = opened(fifo);
    ASSERT_TRUE(orphan);
    ASSERT_TRUE(orphan->append(line));
    ::close(goingReader);
    EXPECT_FALSE(orphan->append(line)) << "SIGPIPE would have ended the test here";
    EXPECT_EQ(orphan->why(), "Broken pipe");
}
#endif

} // namespace
