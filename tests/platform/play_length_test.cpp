// How long the headless devices let a file play: wave data over its byte rate, MIDI ticks through
// the tempo map, AVI frames times their microseconds, and nothing for what is not such a file.
#include "engine/platform/headless/play_length.h"

#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace velmo {
namespace {

enum class Kind { Wave, Midi, Avi };

struct LengthCase {
  const char* name;
  Kind kind;
  std::string bytes;
  std::optional<std::uint32_t> ms;
};

void PrintTo(const LengthCase& c, std::ostream* out) { *out << c.name; }

class PlayLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(PlayLengthTest, IsReadFromTheHeaders) {
  const LengthCase& c = GetParam();
  const std::optional<std::uint32_t> ms = c.kind == Kind::Wave   ? WaveLengthMs(c.bytes)
                                          : c.kind == Kind::Midi ? MidiLengthMs(c.bytes)
                                                                 : AviLengthMs(c.bytes);
  EXPECT_EQ(ms, c.ms);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlayLengthTest,
    ::testing::Values(LengthCase{"WaveDataOverByteRate", Kind::Wave, WaveFile(1234, 8000), 1234},
                      // A chunk of odd length before the data is padded to an even one.
                      LengthCase{"WaveAfterAnOddChunk", Kind::Wave, WaveFile(500, 1000, Chunk("LIST", "abc")), 500},
                      LengthCase{"WaveWithoutFormat", Kind::Wave, Chunk("RIFF", "WAVE" + Chunk("data", "xx")),
                                 std::nullopt},
                      LengthCase{"WaveOfAnotherKind", Kind::Wave, AviFile(10, 1000), std::nullopt},
                      // 4 quarter notes at 480 ticks each and 500,000 us a quarter.
                      LengthCase{"MidiDefaultTempo", Kind::Midi, MidiFile(0, 480, {Note(1920)}), 2000},
                      // Two quarters at 0.5 s, then two at 0.25 s, the change in another track of a format 1 file.
                      LengthCase{"MidiTempoMapOfAnotherTrack", Kind::Midi,
                                 MidiFile(1, 480, {TempoEvent(960, 250000), Note(1920)}), 1500},
                      // The longest track counts.
                      LengthCase{"MidiLongestTrack", Kind::Midi, MidiFile(1, 96, {Note(96), Note(384)}), 2000},
                      // 25 frames a second of 40 ticks: 3000 ticks are 3 s.
                      LengthCase{"MidiSmpte", Kind::Midi, MidiFile(0, 0xE728, {Note(3000)}), 3000},
                      LengthCase{"MidiWithoutTracks", Kind::Midi, MidiFile(0, 480, {}).substr(0, 14), std::nullopt},
                      LengthCase{"AviFramesTimesMicroseconds", Kind::Avi, AviFile(30, 100000), 3000},
                      LengthCase{"AviTruncated", Kind::Avi, AviFile(30, 100000).substr(0, 40), std::nullopt}),
    [](const ::testing::TestParamInfo<LengthCase>& tested) { return tested.param.name; });

} // namespace
} // namespace velmo
