#pragma once

// What the store keeps, and the sizes it trusts. The README and the manual page state them.

#include <cstddef>
#include <cstdint>

namespace orvanta::keep {

constexpr std::size_t keptBest = 10; // the most baskets, then the better rate
constexpr std::size_t keptLast = 10; // the latest to end
// All kept replays together: twenty games at about half a MiB each fit three times over.
constexpr std::uint64_t maxKeptBytes = 32u << 20;
// One compressed replay: four times a ten-minute game with the pointer never still.
constexpr std::uint64_t maxReplayBytes = 4u << 20;
// A plain recording, as the recorder writes it at most and the replay reader takes it.
constexpr std::uint64_t maxRecordingBytes = 64u << 20;
// The table of games: twenty rows take some 2 KiB; anything near this is not ours.
constexpr std::size_t maxTableBytes = 1u << 20;
constexpr std::size_t maxPlayerBytes = 48;
constexpr int maxGameMinutes = 999;
constexpr int maxSecondsPlayed = 999 * 60 + 59;
constexpr int maxBaskets = 1'000'000;
// A recording whose game never started, with no writer, is removed only once it is this
// old: a game's recorder opens its file a moment after the store made it.
constexpr std::int64_t orphanAgeSeconds = 60;
// Recordings of games that could not be filed (their compression failed at the end and at
// every start since) stay for a later start to try again, up to these caps; past them the
// oldest go.
constexpr std::size_t maxUnfiledRecordings = 10;
constexpr std::uint64_t maxUnfiledBytes = 64u << 20;

// The caps a store works with; the constants above unless a test shrinks them.
struct Limits {
    std::size_t best = keptBest;
    std::size_t last = keptLast;
    std::uint64_t keptBytes = maxKeptBytes;
    std::uint64_t replayBytes = maxReplayBytes;
    std::size_t unfiled = maxUnfiledRecordings;
    std::uint64_t unfiledBytes = maxUnfiledBytes;
};

} // namespace orvanta::keep
