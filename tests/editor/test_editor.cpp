// The level editor: edits change only the bytes they concern, the checks refuse what the game
// would, and the editor run through the game's hooks in the headless harness saves the
// seven levels byte for byte, draws, undoes, keeps unsaved work, asks before leaving it,
// and test-plays a level to a win and back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "editor/ed_check.h"
#include "editor/ed_level.h"
#include "editor/ed_state.h"
#include "editor/editor.h"
#include "game/game.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_mem.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "proof/proof.h"
#include "record/record.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SPACE = 0x20, VK_ESCAPE = 0x1B,
                   VK_DELETE = 0x2E;

// Rows joined by "\n" for the CR LF row ends; the last row is the path line.
std::string level_text(const std::string& rows) {
  std::string text;
  for (char c : rows) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return text;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

ed_level& model(const std::string& text) {
  static ed_level level;
  EXPECT_TRUE(ed_level_set_text(&level, reinterpret_cast<const uint8_t*>(text.data()), int32_t(text.size())));
  return level;
}

std::string text_of(const ed_level& level) {
  return std::string(reinterpret_cast<const char*>(level.text), size_t(level.length));
}

TEST(EditorLevel, EditsChangeOnlyTheBytesTheyConcern) {
  struct edit_case {
    const char* name;
    std::string before;
    bool (*edit)(ed_level*);
    std::string after;
  };
  const std::string room = "WWWWWWWWWW\nW S      W\nW        W\nW        W\nW        W\nW      D W\nWWWWWWWWWW\n10";
  const edit_case cases[] = {
      {"a cell inside a row", "WW\nWS\n0", [](ed_level* l) { return ed_level_put(l, 1, 0, 'D'); }, "WD\nWS\n0"},
      {"past a row's end: padded", "WW\nW\n0", [](ed_level* l) { return ed_level_put(l, 3, 1, 'E'); }, "WW\nW  E\n0"},
      {"below the last row: empty rows", "WS\n0", [](ed_level* l) { return ed_level_put(l, 0, 2, 'H'); },
       "WS\n\nH\n0"},
      {"the line ends after the path stay", "WW\nWS\n10\n\n", [](ed_level* l) { return ed_level_put(l, 1, 0, '#'); },
       "W#\nWS\n10\n\n"},
      {"rooms at the right", "WS\n0", [](ed_level* l) { return ed_level_add_rooms(l, MOVE_RIGHT); },
       "WS                  \n0"},
      {"rooms at the left", "WS\n0", [](ed_level* l) { return ed_level_add_rooms(l, MOVE_LEFT); },
       "          WS\n0"},
      {"rooms at the top", "WS\n0", [](ed_level* l) { return ed_level_add_rooms(l, MOVE_UP); },
       "          \n          \n          \n          \n          \n          \n          \nWS\n0"},
      {"rooms at the bottom fill the part room first", "WS\n0",
       [](ed_level* l) { return ed_level_add_rooms(l, MOVE_DOWN); },
       "WS\n\n\n\n\n\n\n          \n          \n          \n          \n          \n          \n          \n0"},
      {"the right room taken", "WWWWWWWWWWXXXXX\n0", [](ed_level* l) { return ed_level_remove_rooms(l, MOVE_RIGHT); },
       "WWWWWWWWWW\n0"},
      {"the left room taken", "WWWWWWWWWWXXXXX\nS\n0", [](ed_level* l) { return ed_level_remove_rooms(l, MOVE_LEFT); },
       "XXXXX\n\n0"},
      {"the top rooms taken", room.substr(0, room.size() - 2) + room,
       [](ed_level* l) { return ed_level_remove_rooms(l, MOVE_UP); }, room},
      {"the only room stays", room, [](ed_level* l) { return ed_level_remove_rooms(l, MOVE_DOWN); }, room},
      {"a move to a path without an end gives it one", "WS\n1", [](ed_level* l) { return ed_level_add_move(l, '3'); },
       "WS\n130"},
      {"a move goes before the line ends after the path", "WS\n10\n", [](ed_level* l) { return ed_level_add_move(l, '4'); },
       "WS\n140\n"},
      {"a move goes before the end", "WS\n140x", [](ed_level* l) { return ed_level_add_move(l, '3'); },
       "WS\n1430x"},
      {"the last move goes", "WS\n140", [](ed_level* l) { return ed_level_take_move(l); }, "WS\n10"},
      {"the only move goes, the end stays", "WS\n10", [](ed_level* l) { return ed_level_take_move(l); }, "WS\n0"},
      {"a path line is never left empty", "WS\n1", [](ed_level* l) { return ed_level_take_move(l); }, "WS\n0"},
      {"no move to take", "WS\n0", [](ed_level* l) { return ed_level_take_move(l); }, "WS\n0"},
  };
  for (const edit_case& c : cases) {
    ed_level& level = model(level_text(c.before));
    const bool changed = c.edit(&level);
    EXPECT_EQ(text_of(level), level_text(c.after)) << c.name;
    EXPECT_EQ(changed, c.before != c.after) << c.name;
  }
}

TEST(EditorLevel, ProblemsAreTheOnesTheGameRefusesAndSayWhere) {
  struct problem_case {
    std::string text;
    int32_t kind;
    int32_t x, y, move;
  };
  const std::string two_rooms = "WWWWWWWWWWWWWWWWWWWW\nWS       D         W\nWWWWWWWWWWWWWWWWWWWW\n";
  const problem_case cases[] = {
      {level_text(two_rooms + "10"), ED_OK, -1, -1, -1},
      {level_text(two_rooms), ED_NO_PATH, -1, -1, -1},                   // the game would read the last row as the path
      {level_text(two_rooms + "x"), ED_NO_PATH, -1, -1, -1},
      {level_text("10"), ED_NO_ROWS, -1, -1, -1},
      {level_text("WWW\nW W\nWWW\n0"), ED_NO_START, -1, -1, -1},
      {level_text("WWW\nWSW\nWWS\n0"), ED_TWO_STARTS, 2, 2, -1},
      {level_text(two_rooms + "120"), ED_OK, -1, -1, -1},
      {level_text(two_rooms + "1120"), ED_PATH_LEAVES, -1, -1, 1},       // the second right finds the edge
      {level_text(two_rooms + "40"), ED_PATH_LEAVES, -1, -1, 0},         // one room high
      {level_text("WS\n" + std::string(5, '1')), ED_PATH_LEAVES, -1, -1, 0},
      {level_text("WS\n3"), ED_PATH_LEAVES, -1, -1, 0},
      {level_text("S" + std::string(MAP_FILE_MAX, ' ') + "\n0"), ED_TOO_LARGE, -1, -1, -1},
  };
  for (const problem_case& c : cases) {
    const ed_problem p = ed_check(&model(c.text));
    EXPECT_EQ(p.kind, c.kind) << c.text.substr(0, 60);
    EXPECT_EQ(p.x, c.x) << c.text.substr(0, 60);
    EXPECT_EQ(p.y, c.y) << c.text.substr(0, 60);
    EXPECT_EQ(p.move, c.move) << c.text.substr(0, 60);
    EXPECT_EQ(p.kind == ED_OK, p.text[0] == 0) << p.text;
  }
}

TEST(EditorLevel, PathTimesAreTheViewsWaitsAndGlides) {
  // Twelve seconds a move; a move stopped at the edge glides only as far as it goes.
  const ed_path full = ed_trace_path(&model(level_text("WWWWWWWWWWWWWWWWWWWW\nWS\n10")));
  EXPECT_EQ(full.moves, 1);
  EXPECT_TRUE(full.ends);
  EXPECT_FLOAT_EQ(full.seconds, 12.0f);
  EXPECT_EQ(full.x[1], 10);
  const ed_path half = ed_trace_path(&model(level_text("WWWWWWWWWWWWWWWWWWWWWWWWW\nWS\n11")));
  EXPECT_EQ(half.x[2], 15);
  EXPECT_FALSE(half.ends);
  EXPECT_NEAR(half.seconds, 12.0 + 6.0 + std::asin(0.5) * 6.0 / 1.57, 1e-4);
}

// --- the editor in the game's hooks ----------------------------------------------------------

class editor : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = fs::path(testing::TempDir()) / ("tumbler_editor_" + std::to_string(getpid()) + "_" + std::to_string(rand()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    stop();
    ed_restart();
    fs::remove_all(dir);
  }
  // Opens the file and starts the game, which hands over to the editor.
  void open(const std::string& name) {
    char message[256] = "";
    ASSERT_TRUE(ed_open((dir / name).string().c_str(), message, int32_t(sizeof message))) << message;
    headless_game_start(16);
    ASSERT_EQ(ed.mode, ED_MODE_CELLS);
  }
  static void press(uint32_t vk) {
    headless_game_key(vk, true);
    headless_game_pass();
    headless_game_key(vk, false);
    headless_game_pass();
  }
  static void keys(const std::string& letters) {
    for (char c : letters) press(uint32_t(c));
  }
  static void wait(int32_t ms) {
    for (int32_t t = 0; t < ms; t += 16) headless_game_pass();
  }
  // Closes the window (twice when the editor asks first) and checks nothing is left live.
  void stop() {
    if (!ed.started) return;
    int32_t live = headless_game_stop();
    if (ed.open) live = headless_game_stop();
    EXPECT_FALSE(ed.open);
    EXPECT_EQ(live, 0) << "blocks still live after the editor";
    ed.started = false;
  }
};

TEST_F(editor, TheSevenLevelsSavedWithoutAChangeAreTheirFilesByteForByte) {
  for (int32_t i = 0; i < 7; ++i) {
    const std::string name = "map" + std::to_string(i) + ".txt";
    const std::string original = read_file(fs::path(TUMBLER_SOURCE_DIR) / "data" / name);
    write_file(dir / name, original);
    open(name);
    press('S');
    EXPECT_STREQ(ed.message, ("Saved " + name).c_str());
    stop();
    ed_restart();
    EXPECT_EQ(read_file(dir / name), original) << name;
    EXPECT_FALSE(fs::exists(dir / ("map" + std::to_string(i) + ".draft"))) << name;
    EXPECT_FALSE(fs::exists(dir / (name + ".new"))) << name;
  }
}

TEST_F(editor, ANewLevelIsDrawnByKeysAndMouseUndoneAndSaved) {
  open("new.txt");
  EXPECT_FALSE(fs::exists(dir / "new.txt")) << "nothing is made before it is saved";
  press(VK_RIGHT);
  press(VK_DOWN);
  keys("7 ");  // the start at (1, 1)
  press(VK_RIGHT);
  keys("4 ");  // a diamond at (2, 1)
  EXPECT_TRUE(fs::exists(dir / "new.draft")) << "unsaved work is kept";
  // The mouse draws dirt from (3, 3) to (5, 3) in one stroke, one step of the history.
  keys("2");
  headless_game_mouse(true, 3 * 32 + 5, 3 * 32 + 5);
  headless_game_pass();
  for (int32_t x = 3; x <= 5; ++x) {
    headless_game_mouse(true, x * 32 + 16, 3 * 32 + 10);
    headless_game_pass();
  }
  headless_game_mouse(false, 5 * 32 + 16, 3 * 32 + 10);
  wait(32);
  const std::string drawn = level_text(
      "WWWWWWWWWW\nWSD      W\nW        W\nW  XXX   W\nW        W\nW        W\nWWWWWWWWWW\n0");
  EXPECT_EQ(text_of(ed.level), drawn);
  press('Z');
  EXPECT_EQ(ed_level_char(&ed.level, 4, 3), ' ') << "one undo takes the whole stroke";
  press('Y');
  EXPECT_EQ(text_of(ed.level), drawn);
  press('S');
  EXPECT_EQ(read_file(dir / "new.txt"), drawn);
  EXPECT_FALSE(fs::exists(dir / "new.draft"));
  // A second start moves the first one.
  press(VK_DOWN);
  keys("7 ");
  EXPECT_EQ(ed_count(&ed.level, 'S'), 1);
  EXPECT_EQ(ed_level_char(&ed.level, 5, 4), 'S') << "below where the stroke ended";
}

TEST_F(editor, WhatTheGameWouldRefuseIsNotSavedAndTheEditorShowsWhere) {
  const std::string two = level_text("WWWWWWWWWW\nWS  S    W\nWWWWWWWWWW\n0");
  write_file(dir / "two.txt", two);
  open("two.txt");
  EXPECT_EQ(ed.cursor_x, 1) << "the cursor starts on the start";
  press(VK_RIGHT);
  keys("1 ");  // a wall at (2, 1)
  press('S');
  EXPECT_STREQ(ed.message, "A second start at 4,1");
  EXPECT_EQ(ed.cursor_x, 4) << "the cursor is taken there";
  EXPECT_EQ(ed.mark_x, 4);
  EXPECT_EQ(read_file(dir / "two.txt"), two);
  // No start at all; then a path that leaves the map, shown on the path's screen.
  press(VK_DELETE);
  press(VK_LEFT), press(VK_LEFT), press(VK_LEFT);
  press(VK_DELETE);
  press('S');
  EXPECT_STREQ(ed.message, "No start yet (key 7)");
  keys("7 P");
  press(VK_DOWN);
  press(VK_ESCAPE);
  press('S');
  EXPECT_STREQ(ed.message, "Path move 1 leaves the map");
  EXPECT_EQ(ed.mode, ED_MODE_PATH);
  EXPECT_EQ(ed.mark_move, 0);
  EXPECT_EQ(read_file(dir / "two.txt"), two);
  press(VK_DELETE);  // the move taken back: now it saves
  press(VK_ESCAPE);
  press('S');
  EXPECT_EQ(read_file(dir / "two.txt"), level_text("WWWWWWWWWW\nWSW      W\nWWWWWWWWWW\n0"));
}

TEST_F(editor, UnsavedWorkIsAskedAboutKeptInTheDraftAndBroughtBack) {
  write_file(dir / "mine.txt", level_text("WWWW\nWS W\nWWWW\n0"));
  open("mine.txt");
  keys("4");
  press(VK_RIGHT);
  press(VK_SPACE);
  press(VK_ESCAPE);
  EXPECT_EQ(ed.mode, ED_MODE_LEAVE);
  press('N');
  EXPECT_EQ(ed.mode, ED_MODE_CELLS);
  // Closing the window asks too; closing it again leaves, the work kept in the draft.
  headless_game_stop();
  EXPECT_TRUE(ed.open);
  EXPECT_EQ(ed.mode, ED_MODE_LEAVE);
  stop();
  ed_restart();
  EXPECT_EQ(read_file(dir / "mine.txt"), level_text("WWWW\nWS W\nWWWW\n0"));
  EXPECT_EQ(read_file(dir / "mine.draft"), level_text("WWWW\nWSDW\nWWWW\n0"));
  open("mine.txt");
  EXPECT_EQ(text_of(ed.level), level_text("WWWW\nWSDW\nWWWW\n0"));
  EXPECT_STREQ(ed.message, "Unsaved work brought back");
  press('Z');
  EXPECT_EQ(text_of(ed.level), level_text("WWWW\nWS W\nWWWW\n0")) << "undo goes back to the file";
  EXPECT_FALSE(fs::exists(dir / "mine.draft")) << "nothing unsaved any more";
  press('Y');
  press(VK_ESCAPE);
  press('Y');  // leave without saving: the draft goes
  EXPECT_FALSE(ed.open);
  EXPECT_FALSE(fs::exists(dir / "mine.draft"));
  EXPECT_EQ(read_file(dir / "mine.txt"), level_text("WWWW\nWS W\nWWWW\n0"));
}

uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

TEST_F(editor, TestPlayRunsTheGameFromTheStartToAWinAndKeepsItAsTheProof) {
  headless_set_clock_source(recorded_clock);  // as every back end has it: a proof records the clock
  write_file(dir / "map3.txt", level_text("WWWWWWWWWW\nWS D     W\nWWWWWWWWWW\n0\n"));
  open("map3.txt");
  EXPECT_EQ(ed.proof, ED_PROOF_NONE);
  press('T');
  EXPECT_EQ(ed.mode, ED_MODE_PLAY);
  wait(100);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  EXPECT_EQ(game.level_index, 3) << "mapN.txt plays as level N";
  headless_game_key(VK_RIGHT, true);
  wait(600);
  headless_game_key(VK_RIGHT, false);
  EXPECT_EQ(game.game_state, GS_NEXT_LEVEL);
  EXPECT_TRUE(ed.play_won);
  wait(3100);
  EXPECT_EQ(ed.mode, ED_MODE_CELLS);
  EXPECT_STREQ(ed.message, "Won! The proof is kept");
  EXPECT_EQ(ed.proof, ED_PROOF_OK);
  EXPECT_FALSE(fs::exists(dir / "map3.proof.new"));
  const std::string kept = read_file(dir / "map3.proof");
  // A change makes the proof old; undoing it makes it the level's again.
  press(VK_RIGHT);
  keys("3 ");
  EXPECT_EQ(ed.proof, ED_PROOF_OLD);
  press('Z');
  EXPECT_EQ(ed.proof, ED_PROOF_OK);
  // Test-play again, lost by Escape at once: back where it was.
  press('T');
  wait(200);
  press(VK_ESCAPE);
  EXPECT_EQ(ed.mode, ED_MODE_CELLS);
  EXPECT_TRUE(ed.open) << "Escape in test-play leaves the test, not the editor";
  EXPECT_EQ(read_file(dir / "map3.proof"), kept) << "a test-play not won keeps the old proof";
  EXPECT_FALSE(fs::exists(dir / "map3.proof.new"));
  // The proof, checked once the game is over, wins the level as it is saved.
  stop();
  const pf_result checked = pf_check_file((dir / "map3.txt").string().c_str());
  EXPECT_EQ(checked.outcome, PF_WON) << checked.text;
  EXPECT_EQ(std::string(checked.text), "won by its proof, 4.6 s to spare") << "five seconds less the play";
  headless_set_clock_source(nullptr);
}

TEST_F(editor, FilesThatCannotBeEditedAreRefusedWithOneLine) {
  write_file(dir / "big.txt", std::string(MAP_FILE_MAX + 1, 'W'));
  fs::create_directories(dir / "folder.txt");
  const struct {
    std::string name;
    const char* says;
  } cases[] = {{"big.txt", "big.txt is larger than 64 KB\n"}, {"folder.txt", "folder.txt cannot be read\n"}};
  for (const auto& c : cases) {
    char message[256] = "";
    EXPECT_FALSE(ed_open((dir / c.name).string().c_str(), message, int32_t(sizeof message)));
    const std::string said = message;
    EXPECT_EQ(said.rfind("tumbler: ", 0), 0u) << said;
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    EXPECT_FALSE(ed_active());
  }
}

}  // namespace
