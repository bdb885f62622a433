// The command line: a table of argument lists and what they start or say, and the Windows
// command-line splitter against the Windows quoting rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/options.h"

namespace {

struct parse_case {
  std::vector<const char*> args;  // after the program name
  int32_t action;
  int32_t answer;
  int32_t scale;
  const char* record;
  const char* play;
  const char* levels;
  const char* message;  // the start of the text shown, "" for none
};

TEST(Options, CommandLinesAndWhatTheyStart) {
  const parse_case cases[] = {
      {{}, OPT_RUN, OPT_ASK, 0, nullptr, nullptr, nullptr, ""},
      {{"--fullscreen"}, OPT_RUN, OPT_FULLSCREEN, 0, nullptr, nullptr, nullptr, ""},
      {{"--windowed", "--windowed"}, OPT_RUN, OPT_WINDOWED, 0, nullptr, nullptr, nullptr, ""},
      {{"--scale", "1"}, OPT_RUN, OPT_ASK, 1, nullptr, nullptr, nullptr, ""},
      {{"--scale", "8", "--windowed"}, OPT_RUN, OPT_WINDOWED, 8, nullptr, nullptr, nullptr, ""},
      {{"--record", "a.rec", "--levels", "my levels"}, OPT_RUN, OPT_ASK, 0, "a.rec", nullptr, "my levels", ""},
      {{"--play", "a.rec", "--fullscreen"}, OPT_RUN, OPT_FULLSCREEN, 0, nullptr, "a.rec", nullptr, ""},
      {{"--help"}, OPT_HELP, OPT_ASK, 0, nullptr, nullptr, nullptr, "Usage: tumbler [options]\n"},
      {{"--bogus", "--version"}, OPT_VERSION, OPT_ASK, 0, nullptr, nullptr, nullptr, "Tumbler " TUMBLER_VERSION "\n"},
      {{"--bogus"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: unknown option \"--bogus\" (see --help)\n"},
      {{"-h"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: unknown option \"-h\""},
      {{"--scale"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --scale needs a number from 1 to 8\n"},
      {{"--scale", "0"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --scale needs a number from 1 to 8, not \"0\"\n"},
      {{"--scale", "9"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --scale needs a number from 1 to 8, not \"9\""},
      {{"--scale", "3x"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --scale needs a number from 1 to 8, not \"3x\""},
      {{"--scale", "2", "--scale", "2"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --scale is given twice\n"},
      {{"--record"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --record needs a file name\n"},
      {{"--play", ""}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --play needs a file name\n"},
      {{"--levels", "--windowed"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --levels needs a folder\n"},
      {{"--record", "a", "--play", "b"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr,
       "tumbler: --record and --play cannot be used together\n"},
      {{"--windowed", "--fullscreen"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr,
       "tumbler: --fullscreen and --windowed cannot be used together\n"},
      {{"--levels", "mine", "--level", "a.txt"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr,
       "tumbler: --levels and --level cannot be used together\n"},
      {{"--level"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --level needs a file name\n"},
      {{"--edit"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --edit needs a file name\n"},
      {{"--edit", "a.txt", "--edit", "b.txt"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr, "tumbler: --edit is given twice\n"},
      {{"--edit", "a.txt", "--record", "b"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr,
       "tumbler: --edit cannot be used with --record\n"},
      {{"--play", "b", "--edit", "a.txt"}, OPT_ERROR, OPT_ASK, 0, nullptr, nullptr, nullptr,
       "tumbler: --edit cannot be used with --play\n"},
  };
  for (const parse_case& c : cases) {
    std::vector<const char*> args = {"tumbler"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::string line;
    for (const char* a : c.args) line += std::string(a) + " ";
    const opt_record r = opt_parse(int32_t(args.size()), args.data());
    EXPECT_EQ(r.action, c.action) << line;
    EXPECT_EQ(r.exit_status, c.action == OPT_ERROR ? 2 : 0) << line;
    EXPECT_EQ(std::string(r.message).rfind(c.message, 0), 0u) << line << "-> " << r.message;
    if (c.action == OPT_ERROR) {
      EXPECT_EQ(std::string(r.message).find('\n'), std::string(r.message).size() - 1) << "one line: " << line;
    }
    if (c.action != OPT_RUN) continue;
    EXPECT_EQ(r.answer, c.answer) << line;
    EXPECT_EQ(r.scale, c.scale) << line;
    EXPECT_STREQ(r.record_path ? r.record_path : "-", c.record ? c.record : "-") << line;
    EXPECT_STREQ(r.play_path ? r.play_path : "-", c.play ? c.play : "-") << line;
    EXPECT_STREQ(r.levels_dir ? r.levels_dir : "-", c.levels ? c.levels : "-") << line;
  }
}

TEST(Options, EditNamesTheLevelFileAndIsInTheHelp) {
  const char* args[] = {"tumbler", "--windowed", "--edit", "my level.txt", "--levels", "mine"};
  const opt_record r = opt_parse(6, args);
  ASSERT_EQ(r.action, OPT_RUN);
  EXPECT_STREQ(r.edit_path, "my level.txt");
  EXPECT_STREQ(r.levels_dir, "mine");
  const char* help[] = {"tumbler", "--help"};
  EXPECT_NE(std::string(opt_parse(2, help).message).find("  --edit FILE     make or change the level in FILE"),
            std::string::npos);
}

TEST(Options, LevelNamesTheOneLevelFile) {
  const char* args[] = {"tumbler", "--record", "a.rec", "--level", "/shared.txt"};
  const opt_record r = opt_parse(5, args);
  ASSERT_EQ(r.action, OPT_RUN);
  EXPECT_STREQ(r.level_path, "/shared.txt");
  EXPECT_STREQ(r.record_path, "a.rec");
}

TEST(Options, WindowSizeFollowsTheScale) {
  int32_t w = 0, h = 0;
  opt_window_size(&w, &h);
  EXPECT_EQ(w, 960);  // no options: the window the game always had
  EXPECT_EQ(h, 720);
  const char* args[] = {"tumbler", "--scale", "2"};
  const opt_record r = opt_parse(3, args);
  opt_set(&r);
  opt_window_size(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

std::vector<std::string> split(const char* line, int32_t storage_size = 256, int32_t max_words = 16) {
  std::vector<char> storage(size_t(storage_size) + 1, '#');
  const char* words[16];
  const int32_t n = opt_split_command_line(line, storage.data(), storage_size, words, max_words);
  std::vector<std::string> out;
  if (n < 0) return {"(too long)"};
  EXPECT_STREQ(words[0], "tumbler");
  for (int32_t i = 1; i < n; ++i) out.push_back(words[i]);
  EXPECT_EQ(storage[size_t(storage_size)], '#') << "wrote past the storage: " << line;
  return out;
}

TEST(Options, SplitsAWindowsCommandLine) {
  using words = std::vector<std::string>;
  EXPECT_EQ(split(""), words{});
  EXPECT_EQ(split("  \t "), words{});
  EXPECT_EQ(split("--scale 2\t--windowed"), (words{"--scale", "2", "--windowed"}));
  EXPECT_EQ(split("--levels \"C:\\My Levels\""), (words{"--levels", "C:\\My Levels"}));
  // The examples Windows documents for its C runtime.
  EXPECT_EQ(split("\"a b c\" d e"), (words{"a b c", "d", "e"}));
  EXPECT_EQ(split("\"ab\\\"c\" \"\\\\\" d"), (words{"ab\"c", "\\", "d"}));
  EXPECT_EQ(split("a\\\\\\b d\"e f\"g h"), (words{"a\\\\\\b", "de fg", "h"}));
  EXPECT_EQ(split("a\\\\\\\"b c d"), (words{"a\\\"b", "c", "d"}));
  EXPECT_EQ(split("a\\\\\\\\\"b c\" d e"), (words{"a\\\\b c", "d", "e"}));
  EXPECT_EQ(split("a\"b\"\" c d"), (words{"ab\"", "c", "d"}));
  // A trailing backslash before the closing quote escapes it: the quote stays open to the end.
  EXPECT_EQ(split("--play \"C:\\rec\\\" x"), (words{"--play", "C:\\rec\" x"}));
  EXPECT_EQ(split("\"\""), (words{""}));
  // Too small a store or table is refused, never overrun.
  EXPECT_EQ(split("abcdef", 4), words{"(too long)"});
  EXPECT_EQ(split("a b c", 256, 3), words{"(too long)"});
  EXPECT_EQ(split("a b", 256, 3), (words{"a", "b"}));
  const opt_record refused = opt_too_long();
  EXPECT_EQ(refused.action, OPT_ERROR);
  EXPECT_EQ(refused.exit_status, 2);
  EXPECT_STREQ(refused.message, "tumbler: the command line is too long\n");
}

}  // namespace
