// Recordings that cannot be played: each is refused with one line naming what is wrong,
// before anything starts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "file/file.h"
#include "options/options.h"
#include "platform_headless/headless_recording.h"
#include "record/rec_format.h"
#include "record/record.h"
#include "support/temp_path.h"

namespace {

// The header the game writes for its own levels.
std::string header() {
  char levels[17];
  snprintf(levels, sizeof levels, "%016llx", static_cast<unsigned long long>(rec_levels_checksum()));
  return std::string("tumbler-recording 1\ngame ") + OPT_GAME_VERSION + "\nlevels " + levels + "\n";
}

// Opens `text` as a recording; "ok" or the line it was refused with.
std::string open_text(const std::string& text) {
  const std::string path = temp_path("bad.rec");
  std::ofstream(path, std::ios::binary) << text;
  char message[REC_MESSAGE_SIZE] = "";
  rec_restart();
  const bool opened = rec_play_open(path.c_str(), false, message, int32_t(sizeof message));
  rec_restart();
  std::remove(path.c_str());
  return opened ? "ok" : message;
}

TEST(RecordingFile, BadFilesAreRefusedWithOneLine) {
  const std::string h = header();
  const std::string good_body = "t 0\nanswer no\nt 5 1000000\nt 6 3\nf 0123456789abcdef\nk 39 1\nm 1 -5 300\nq\nend 1\n";
  struct bad_case {
    std::string text;
    const char* why;
  };
  const bad_case cases[] = {
      {"", "line 1: the file ends inside the header"},
      {"\x7f" "ELF\x02\x01\x01\x00\x00\x00\xff\xfe", "line 1: not a text line"},
      {"tumbler-recording 2\n", "line 1: a recording format this game does not know"},
      {"tumbler-recording 1\ngame 1.1.0\n", "line 3: the file ends inside the header"},
      {h + "t 0\n", "line 5: the file ends before the start question's answer"},
      {h + "t 0\nanswer no\nt 5 3\nf 0123456789abcd\n", "line 7: bad frame checksum"},
      {h + "t 0\nanswer no\nt 5 3\nf 0123456789abcd\nt 6\n", "line 7: bad frame checksum"},
      {h + "t 0\nanswer maybe\n", "line 5: bad answer"},
      {h + "t 0\nanswer no\nanswer yes\n", "line 6: a second answer"},
      {h + "t 0\nk 39 1\nanswer no\n", "line 6: the answer comes after the game started"},
      {h + "t 0\nanswer no\nk 256 1\n", "line 6: bad key event"},
      {h + "t 0\nanswer no\nk 39 2\n", "line 6: bad key event"},
      {h + "t 0\nanswer no\nm 2 0 0\n", "line 6: bad mouse sample"},
      {h + "t 0\nanswer no\nm 1 100001 0\n", "line 6: bad mouse sample"},
      {h + "t 9\nanswer no\nt 8\n", "line 6: the clock goes back"},
      {h + "t 9\nt 9\n", "line 5: the same reading twice"},
      {h + "t 9 0\n", "line 4: bad repeat count"},
      {h + "t 9 999999\nt 9\n", "line 5: the same reading twice"},
      {h + "t 9 1000000\nt 9\n", "line 5: the same reading twice"},
      {h + "t 9 1000001\n", "line 4: bad repeat count"},
      {h + "t 4294967296\n", "line 4: bad clock reading"},
      {h + "t  9\n", "line 4: not a line of a recording"},
      {h + "t 0\nanswer no\nend 2\n", "line 6: the end line counts other frames"},
      {h + "t 0\nend 0\n", "line 5: no answer to the start question"},
      {h + good_body + "t 7\n", "lines after the end"},
      {h + good_body + "\n  \nx", "line 15: lines after the end"},
      {h + "t 0\nanswer no\n" + std::string(70, 'x') + "\n", "line 6: line too long"},
      {h + "t 0\nanswer no\nz\n", "line 6: unknown line"},
      {"tumbler-recording 1\ngame 1.1.0\nlevels 0000000000000000\n" + good_body, "recorded with other levels"},
  };
  const std::string path = temp_path("bad.rec");
  for (const bad_case& c : cases) {
    std::ofstream(path, std::ios::binary) << c.text;
    char message[REC_MESSAGE_SIZE] = "";
    rec_restart();
    EXPECT_FALSE(rec_play_open(path.c_str(), false, message, int32_t(sizeof message))) << c.why;
    const std::string said = message;
    EXPECT_NE(said.find(c.why), std::string::npos) << said;
    EXPECT_EQ(said.rfind("tumbler: ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_EQ(rec_mode(), REC_OFF);
  }
  // The same body with the right header is a recording.
  std::ofstream(path, std::ios::binary) << h + good_body;
  char message[REC_MESSAGE_SIZE] = "";
  EXPECT_TRUE(rec_play_open(path.c_str(), false, message, int32_t(sizeof message))) << message;
  EXPECT_EQ(rec_given_answer(), 0);
  rec_restart();
  std::remove(path.c_str());
}

// Pasted into a bug report and copied back: spaces after the end line and blank lines after
// it are let be; a last line without its line end is the end line when it reads as one.
TEST(RecordingFile, BlankTailsAfterTheEndLineAreAccepted) {
  const std::string body = header() + "t 0\nanswer no\nt 5\nf 0123456789abcdef\n";
  for (const char* tail : {"end 1\n\n", "end 1  \n", "end 1\r\n\r\n \r\n", "end 1\n   ", "end 1", "end 1 "})
    EXPECT_EQ(open_text(body + tail), "ok") << tail;
}

// A file larger than a recording may be is refused before a byte of it is held.
TEST(RecordingFile, TooLargeIsRefused) {
  const std::string path = temp_path("large.rec");
  std::ofstream(path, std::ios::binary) << header();
  std::filesystem::resize_file(path, uint64_t(REC_FILE_MAX) + 1);
  char message[REC_MESSAGE_SIZE] = "";
  EXPECT_FALSE(rec_play_open(path.c_str(), false, message, int32_t(sizeof message)));
  EXPECT_EQ(std::string(message), "tumbler: the recording " + path + " is larger than a recording may be (256 MB)\n");
  std::remove(path.c_str());
}

}  // namespace

// Every input the recording fuzzer keeps (seeds and what once went wrong), with the levels
// line of today's levels as the harness gives it: read with one line or played to the end,
// giving back every block.
TEST(RecordingFile, FuzzInputsAreReadOrPlayedCleanly) {
  int32_t files = 0;
  int32_t played_files = 0;
  char digits[17];
  snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(rec_levels_checksum()));
  const std::string path = temp_path("fuzz_input.rec");
  for (const char* sub : {"corpus", "regressions"}) {
    const std::filesystem::path dir = std::filesystem::path(TUMBLER_SOURCE_DIR) / "tests/fuzz/recording" / sub;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      ++files;
      std::ifstream in(entry.path(), std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const size_t at = text.find("\nlevels ");
      if (at != std::string::npos && text.find('\n') < at && at + 8 + 16 <= text.size()) text.replace(at + 8, 16, digits);
      std::ofstream(path, std::ios::binary) << text;
      char message[REC_MESSAGE_SIZE] = "";
      rec_restart();
      if (!rec_play_open(path.c_str(), false, message, int32_t(sizeof message))) {
        const std::string said = message;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << path << ": " << said;
        continue;
      }
      rec_restart();
      headless_playback played;
      EXPECT_TRUE(headless_play_recording(path, &played)) << entry.path();
      EXPECT_EQ(played.leaks, 0) << entry.path();
      ++played_files;
    }
  }
  EXPECT_GE(files, 5);
  EXPECT_GE(played_files, 3) << "the seeds that are recordings reach the game";
}
