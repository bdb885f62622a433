// The song notation reader: what a song writer types must mean exactly one song, and every
// mistake must stop the build with the line that holds it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "song_text.h"

using namespace songc;

namespace {

song read(const std::string& text) { return parse_song_text(text, "test.txt"); }

std::string failure(const std::string& text) {
  try {
    read(text);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(SongNotation, RowFieldsBecomeFlagsAndBytes) {
  song s = read(
      "order 0\n"
      "pattern 0\n"
      "track 2\n"
      "5 G#5 3 A arp 47\n"
      "6 --- 4 . . ..\n"
      "7 --- . . $23 10   # inverted-sign modifier on a slide up\n"
      "8 --- . . . 7F\n");
  ASSERT_EQ(s.patterns.size(), 1u);
  const cell& full = s.patterns[0].rows[2][5];
  EXPECT_EQ(full.flags, 0x1F);
  EXPECT_EQ(full.field[F_NOTE], 0x58);  // octave 5, semitone 8
  EXPECT_EQ(full.field[F_INSTRUMENT], 3);
  EXPECT_EQ(full.field[F_VOLUME], 10);
  EXPECT_EQ(full.field[F_COMMAND], 3);
  EXPECT_EQ(full.field[F_PARAMETER], 0x47);
  EXPECT_EQ(s.patterns[0].rows[2][6].flags, 0x02);
  EXPECT_EQ(s.patterns[0].rows[2][7].flags, 0x18);
  EXPECT_EQ(s.patterns[0].rows[2][7].field[F_COMMAND], 0x23);
  EXPECT_EQ(s.patterns[0].rows[2][8].flags, 0x10);
  EXPECT_EQ(s.patterns[0].rows[2][8].field[F_PARAMETER], 0x7F);
  EXPECT_TRUE(s.patterns[0].rows[2][4].empty());
  EXPECT_EQ(s.target_size, -1);
}

TEST(SongNotation, CommandNamesMapToTheirKinds) {
  const char* names[] = {"off", "up", "down", "arp", "time", "pat", "det", "vib", "stop", "jump", "pos", "speed"};
  const uint8_t bytes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 13, 15};
  for (size_t i = 0; i < 12; ++i) {
    song s = read(std::string("order 0\npattern 0\ntrack 0\n0 --- . . ") + names[i] + " 00\n");
    EXPECT_EQ(s.patterns[0].rows[0][0].field[F_COMMAND], bytes[i]) << names[i];
  }
}

TEST(SongNotation, RowListsRangesAndSteps) {
  song s = read("order 0\npattern 0\ntrack 3\n4-60/8,1,62-63 C-2 6\n");
  int filled = 0;
  for (int r = 0; r < ROWS; ++r) {
    bool expected = (r >= 4 && (r - 4) % 8 == 0) || r == 1 || r >= 62;
    EXPECT_EQ(!s.patterns[0].rows[3][r].empty(), expected) << "row " << r;
    filled += expected;
  }
  EXPECT_EQ(filled, 11);
}

TEST(SongNotation, CopyTakesATrackAndMovesItsNotes) {
  song s = read(
      "order 0 1\n"
      "pattern 0\ntrack 1\n0 B-4 7\n8 --- . 5\n"
      "pattern 1\ntrack 2\ncopy 0 1 +2\n8 --- . 9\n");
  EXPECT_EQ(s.patterns[1].rows[2][0].field[F_NOTE], 0x51);  // B-4 + 2 = C#5
  EXPECT_EQ(s.patterns[1].rows[2][0].field[F_INSTRUMENT], 7);
  EXPECT_EQ(s.patterns[1].rows[2][8].field[F_VOLUME], 9);  // a later line replaces the copy's row
  EXPECT_TRUE(s.patterns[1].rows[1][0].empty());
}

TEST(SongNotation, SharpSignIsNotAComment) {
  song s = read("order 0 # one entry\npattern 0\ntrack 0\n0 F#3 1 # a bass note\n");
  EXPECT_EQ(s.order.size(), 1u);
  EXPECT_EQ(s.patterns[0].rows[0][0].field[F_NOTE], 0x36);
}

TEST(SongNotation, MistakesNameTheirLine) {
  EXPECT_EQ(failure("order 0\npattern 0\ntrack 0\n0 H-4 1\n"), "test.txt:4: bad note 'H-4'");
  EXPECT_EQ(failure("order 0\npattern 0\ntrack 0\n64 C-4 1\n"), "test.txt:4: row 64 outside 0..63");
  EXPECT_EQ(failure("order 0\npattern 0\ntrack 0\n0 C-4 8\n"), "test.txt:4: instrument 8 outside 0..7");
  EXPECT_EQ(failure("order 0\npattern 0\ntrack 0\n0 C-4 1 G\n"), "test.txt:4: bad volume 'G'");
  EXPECT_EQ(failure("order 0\npattern 0\ntrack 0\n0 C-4 1 . warp 00\n"), "test.txt:4: unknown command 'warp'");
  EXPECT_EQ(failure("order 0 1\npattern 0\n"), "test.txt:2: order names pattern 1 of 1");
  EXPECT_EQ(failure("order 0\npattern 1\n"), "test.txt:2: patterns must be numbered in turn; expected 0");
  EXPECT_EQ(failure("order 0\npattern 0\n0 C-4 1\n"), "test.txt:3: row outside a track: '0'");
  EXPECT_EQ(failure("pattern 0\n"), "test.txt:1: no order list");
  EXPECT_EQ(failure("order 0\npattern 0\ntrack 0\n0 C-1 1\npattern 1\ntrack 0\ncopy 0 0 -13\n"),
            "test.txt:7: shifted note leaves octaves 0..9");
}

TEST(SongNotation, FormattedTextReadsBackToTheSameSong) {
  song s = read(
      "order 1 0\nsize 300\n"
      "pattern 0\ntrack 0\n0 A-4 3 C vib 51\n63 --- . . $28 FF\n"
      "pattern 1\ntrack 3\n0-60/4 C-7 6 4 time 01\ntrack 1\n7 --- . . . 05\n");
  song again = read(format_song_text(s));
  EXPECT_EQ(again.order, s.order);
  EXPECT_EQ(again.target_size, 300);
  ASSERT_EQ(again.patterns.size(), 2u);
  for (size_t p = 0; p < 2; ++p)
    for (int t = 0; t < TRACKS; ++t)
      for (int r = 0; r < ROWS; ++r) EXPECT_EQ(again.patterns[p].rows[t][r], s.patterns[p].rows[t][r]);
}
