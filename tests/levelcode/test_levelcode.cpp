// Level codes: every level comes back byte for byte from its code, the game's levels make
// short links, and a damaged, cut or foreign code is refused with one line instead of
// giving wrong bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "levelcode/levelcode.h"

namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string encode(const std::string& level) {
  static char code[LC_CODE_MAX];
  const int32_t n = lc_encode(reinterpret_cast<const uint8_t*>(level.data()), uint32_t(level.size()), code,
                              int32_t(sizeof code));
  return std::string(code, size_t(n > 0 ? n : 0));
}

// The level of a code, or "!" and the message.
std::string decode(const std::string& code) {
  static uint8_t level[LC_LEVEL_MAX];
  uint32_t size = 0;
  char message[LC_MESSAGE_SIZE] = "";
  if (!lc_decode(code.data(), int32_t(code.size()), level, &size, message, int32_t(sizeof message)))
    return std::string("!") + message;
  return std::string(reinterpret_cast<const char*>(level), size);
}

// A busy level of 3 x 3 rooms: every row different, each kind of cell in it.
std::string busy_level_30x21() {
  std::string text;
  std::mt19937 random(7);
  const char kinds[] = "WX#DEH ";
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool border = x == 0 || x == 29 || y == 0 || y == 20 || y == 7 || y == 14 || x == 10 || x == 20;
      text += border ? 'W' : (random() % 3 == 0 ? kinds[random() % 7] : 'X');
    }
    text += "\r\n";
  }
  text[32 + 1] = 'S';
  return text + "1443220";
}

TEST(LevelCode, EveryLevelComesBackByteForByte) {
  std::vector<std::pair<std::string, std::string>> levels;
  for (int i = 0; i < 7; ++i) {
    const std::string name = "map" + std::to_string(i) + ".txt";
    levels.push_back({name, read_file(fs::path(TUMBLER_SOURCE_DIR) / "data" / name)});
    ASSERT_FALSE(levels.back().second.empty()) << name;
  }
  std::string every_byte;
  for (int c = 0; c < 256; ++c) every_byte += char(c);
  std::string noise(LC_LEVEL_MAX, '\0');
  std::mt19937 random(1);
  for (char& c : noise) c = char(random());
  levels.push_back({"empty file", ""});
  levels.push_back({"one byte", "S"});
  levels.push_back({"every byte value", every_byte});
  levels.push_back({"a CR as the last byte", "WWW\r\nWSW\r"});
  levels.push_back({"lone CRs and LFs", "W\rW\nW\n\r\nS\r\r\n\n10"});
  levels.push_back({"64 KB of noise (stored as it is)", noise});
  levels.push_back({"64 KB of wall", std::string(LC_LEVEL_MAX, 'W')});
  levels.push_back({"30 x 21 cells", busy_level_30x21()});
  for (const auto& [name, level] : levels) {
    const std::string code = encode(level);
    ASSERT_FALSE(code.empty()) << name;
    EXPECT_EQ(code[0], '1') << name;
    EXPECT_EQ(code.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
              std::string::npos)
        << name;
    EXPECT_LT(code.size(), size_t(LC_CODE_MAX)) << name;
    EXPECT_EQ(decode(code), level) << name;
  }
}

TEST(LevelCode, LevelsMakeShortLinks) {
  // The lengths the game's levels have today: a change to the model shows up here.
  const size_t lengths[7] = {60, 84, 104, 99, 140, 147, 168};
  for (int i = 0; i < 7; ++i) {
    const std::string level = read_file(fs::path(TUMBLER_SOURCE_DIR) / "data" / ("map" + std::to_string(i) + ".txt"));
    EXPECT_EQ(encode(level).size(), lengths[i]) << "map" << i;
  }
  EXPECT_LE(encode(busy_level_30x21()).size(), 300u);
  // Too large for a level, or for the buffer given.
  char small[8];
  EXPECT_EQ(lc_encode(reinterpret_cast<const uint8_t*>("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), 40, small, 8), 0);
  static uint8_t big[LC_LEVEL_MAX + 1];
  static char code[LC_CODE_MAX];
  EXPECT_EQ(lc_encode(big, LC_LEVEL_MAX + 1, code, int32_t(sizeof code)), 0);
}

TEST(LevelCode, ALinkOrACopiedLineReadsAsItsCode) {
  const std::string level = read_file(fs::path(TUMBLER_SOURCE_DIR) / "data" / "map0.txt");
  const std::string code = encode(level);
  for (const std::string& text : {"https://example.org/tumbler/#level=" + code, "#level=" + code + "&sound=off",
                                  code + "\r\n", "level=" + code + " \t"})
    EXPECT_EQ(decode(text), level) << text;
}

TEST(LevelCode, BadCodesAreRefusedWithOneLine) {
  const std::string good = encode(read_file(fs::path(TUMBLER_SOURCE_DIR) / "data" / "map4.txt"));
  std::string flipped = good;
  flipped[good.size() / 2] = flipped[good.size() / 2] == 'A' ? 'B' : 'A';
  std::string stored = encode("WSD");  // too short to be worth modelling: stored as it is
  struct bad_case {
    std::string name;
    std::string code;
    const char* says;
  };
  const bad_case cases[] = {
      {"empty", "", "the level code is empty"},
      {"only a link", "https://example.org/#level=", "the level code is empty"},
      {"foreign", "hello", "this is not a Tumbler level code"},
      {"a later version", "2" + good.substr(1), "version 2"},
      {"a character no code has", good.substr(0, 9) + "." + good.substr(10), "character 10 is not one"},
      {"cut inside the header", good.substr(0, 5), "cut short"},
      {"cut inside the body", good.substr(0, good.size() - 8), "cut short"},
      {"cut by one character", good.substr(0, good.size() - 1), ""},
      {"one character changed", flipped, "damaged"},
      {"a character too many", good + "A", ""},
      {"a stored level cut short", stored.substr(0, stored.size() - 2), "cut short"},
      {"a stored level too long", stored + "AAAA", "too long"},
      {"no such method", "1BAAAAAAA", "no way of storing"},
      {"a level over 64 KB", "1AIGABAAAAAA", "larger than 64 KB"},
  };
  for (const bad_case& c : cases) {
    const std::string said = decode(c.code);
    ASSERT_EQ(said.substr(0, 1), "!") << c.name << " gave a level";
    EXPECT_NE(said.find(c.says), std::string::npos) << c.name << ": " << said;
    EXPECT_GT(said.size(), 1u) << c.name;
    EXPECT_EQ(said.find('\n'), std::string::npos) << c.name;
  }
}

TEST(LevelCode, SavedFuzzInputsDecodeOrAreRefusedCleanly) {
  int32_t inputs = 0;
  for (const char* sub : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(TUMBLER_SOURCE_DIR) / "tests/fuzz/levelcode" / sub;
    if (!fs::exists(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      const std::string data = read_file(entry.path());
      ++inputs;
      if (!data.empty() && data[0] == 'C') {
        const std::string level = decode(data.substr(1));
        if (level.substr(0, 1) != "!") {
          EXPECT_EQ(decode(encode(level)), level) << entry.path();
        }
      } else {
        EXPECT_EQ(decode(encode(data)), data) << entry.path();
      }
    }
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
