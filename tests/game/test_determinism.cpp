// The same replay gives the same pictures: two fresh processes play level 0 and compare the
// checksum of the composed frame of every pass. (Fresh processes, because the random numbers
// of the screen mask's grain carry on from one game to the next within a process.)
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform_headless/headless_harness.h"

static std::vector<uint64_t> checksums_in_child(const std::string& name) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    headless_replay replay;
    std::string error;
    headless_result result;
    if (headless_replay_load(std::string(TUMBLER_SOURCE_DIR) + "/tests/replays/" + name, &replay, &error)) {
      headless_options options;
      options.checksums = true;
      headless_play(replay, options, &result);
    }
    if (!result.ok) result.checksums.clear();
    const size_t bytes = result.checksums.size() * sizeof(uint64_t);
    size_t done = 0;
    while (done < bytes) {
      const ssize_t n = write(fds[1], reinterpret_cast<const char*>(result.checksums.data()) + done, bytes - done);
      if (n <= 0) break;
      done += size_t(n);
    }
    close(fds[1]);
    _exit(0);
  }
  close(fds[1]);
  std::vector<uint64_t> out;
  uint64_t value;
  char* p = reinterpret_cast<char*>(&value);
  size_t have = 0;
  for (;;) {
    const ssize_t n = read(fds[0], p + have, sizeof value - have);
    if (n <= 0) break;
    have += size_t(n);
    if (have == sizeof value) {
      out.push_back(value);
      have = 0;
    }
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return out;
}

TEST(Determinism, SameReplaySameFrames) {
  const std::vector<uint64_t> first = checksums_in_child("level0_win.txt");
  const std::vector<uint64_t> second = checksums_in_child("level0_win.txt");
  ASSERT_GT(first.size(), 400u);
  EXPECT_EQ(first, second);
  // The frames really change: the title bobs, the player walks, the curtain sweeps in.
  size_t changes = 0;
  for (size_t i = 1; i < first.size(); ++i) changes += first[i] != first[i - 1];
  EXPECT_GT(changes, first.size() / 2);
}

TEST(Determinism, DifferentInputDifferentFrames) {
  const std::vector<uint64_t> win = checksums_in_child("level0_win.txt");
  const std::vector<uint64_t> rock = checksums_in_child("level0_lose_rock.txt");
  ASSERT_GT(rock.size(), 30u);
  // Both leave the title the same way, then part as soon as the first step differs.
  EXPECT_EQ(win[5], rock[5]);
  EXPECT_NE(win[40], rock[40]);
}
