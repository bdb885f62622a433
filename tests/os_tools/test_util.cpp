// Random numbers, the table sine and the string routines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "os_tools/os_util.h"
#include "platform_headless/headless_clock.h"
#include "support/log_capture.h"

TEST(Rand, FirstValueThenClockMixedIn) {
  headless_set_time_ms(0x12345);
  EXPECT_EQ(os_rand(), 14536u);
  // seed = 14536 + (clock & 0xFFFF) + 0 calls
  uint32_t seed = 14536u + 0x2345u;
  EXPECT_EQ(os_rand(), seed * 263u + 71u);
}

TEST(Sine, TableValues) {
  EXPECT_EQ(os_sine_table[0], 0);
  EXPECT_EQ(os_sine_table[1], 401);
  EXPECT_EQ(os_sine_table[127], 32764);
  EXPECT_EQ(os_sine_table[128], 32766);
  EXPECT_EQ(os_sine_table[256], 52);
  EXPECT_EQ(os_sine_table[511], -506);
  for (int k = 0; k < 512; ++k)  // the table agrees with the library's sine everywhere
    EXPECT_EQ(os_sine_table[k], int16_t(32767.0 * std::sin(k * 2 * 3.14 / 512))) << k;
}

TEST(Sine, LookupStepsAndMeans) {
  EXPECT_EQ(os_sin(0.0f), 0.0f);
  EXPECT_EQ(os_sin(3.1415927f / 2), 32765.0f / 32767.0f);  // index 255: mean of 127 and 128
  EXPECT_EQ(os_cos(0.0f), 32765.0f / 32767.0f);
  // Odd index: the mean rounds toward minus infinity.
  float step = 2 * 3.1415927f / 1023;
  int32_t mean = (os_sine_table[255] + os_sine_table[256]) >> 1;
  EXPECT_EQ(os_sin(511.5f * step), float(mean) * (1.0f / 32767.0f));
  // Negative angles wrap through the low ten bits.
  EXPECT_EQ(os_sin(-1.5f * step), os_sin(1023.5f * step));  // -1 wraps to 1023
  EXPECT_EQ(os_sin(-0.5f * step), 0.0f);                      // truncation toward zero
  for (float a = -100; a < 100; a += 0.37f) {
    float v = os_sin(a);
    EXPECT_TRUE(v >= -1 && v <= 1);
  }
}

TEST(Strings, Strlen) {
  EXPECT_EQ(os_strlen(""), 0);
  EXPECT_EQ(os_strlen("map1.txt"), 8);
  log_capture log;
  std::string big(1500, 'x');
  EXPECT_EQ(os_strlen(big.c_str()), 1024);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST(Strings, StrcmpIsZeroForLeadingPart) {
  EXPECT_EQ(os_strcmp("\r\n", "\r\nWWW"), 0);
  EXPECT_EQ(os_strcmp("abc", "ab"), 1);
  EXPECT_EQ(os_strcmp("ab", "abc"), 0);
  EXPECT_EQ(os_strcmp("", "anything"), 0);
  EXPECT_EQ(os_strcmp("abd", "abc"), 1);
}

TEST(Strings, Streq) {
  EXPECT_EQ(os_streq("map1.txt", "map1.txt"), 1);
  EXPECT_EQ(os_streq("map1", "map1.txt"), 0);
  EXPECT_EQ(os_streq("MAP1.TXT", "map1.txt"), 0);
}

TEST(Strings, SuffixOnlyAtTheEnd) {
  const char* name = "c64.pcx";
  EXPECT_EQ(os_str_suffix(name, ".pcx"), name + 3);
  EXPECT_EQ(os_str_suffix(name, ".PCX"), nullptr);
  const char* title = "title.pcx";
  EXPECT_EQ(os_str_suffix(title, ".pcx"), title + 5);
  EXPECT_EQ(os_str_suffix("a.pcx.bak", ".pcx"), nullptr);
  EXPECT_EQ(os_str_suffix("", ".pcx"), nullptr);
  EXPECT_EQ(os_str_suffix("abc", ""), nullptr);
  EXPECT_EQ(os_str_suffix("x.pc", ".pcx"), nullptr);
}
