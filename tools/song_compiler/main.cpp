// song_compiler: turns a song written in the readable notation (song_text.h) into the game's
// .sqt bytes, and helps while writing one.
//
//   song_compiler SOURCE.txt OUT.sqt          compile (exact size when the source asks for one)
//   song_compiler --wav SOURCE OUT.wav [SEC]  render a preview (SOURCE may be .txt or .sqt)
//   song_compiler --text SONG.sqt             print a .sqt file in the notation
//   song_compiler --range SOURCE.txt          print the smallest and largest possible size
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "song_preview.h"
#include "song_text.h"
#include "sqt_codec.h"

namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

bool ends_with(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

songc::song load(const std::string& path) {
  std::string bytes = read_all(path);
  if (ends_with(path, ".sqt")) {
    size_t consumed = 0;
    songc::song s = songc::sqt_read(std::vector<uint8_t>(bytes.begin(), bytes.end()), &consumed);
    if (s.patterns.empty()) throw std::runtime_error(path + ": no complete pattern");
    return s;
  }
  return songc::parse_song_text(bytes, path);
}

int usage() {
  std::cerr << "usage: song_compiler SOURCE.txt OUT.sqt\n"
               "       song_compiler --wav SOURCE OUT.wav [SECONDS]\n"
               "       song_compiler --text SONG.sqt\n"
               "       song_compiler --range SOURCE.txt\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string first = argc > 1 ? argv[1] : "";
    if (first == "--wav" && (argc == 4 || argc == 5)) {
      songc::song s = load(argv[2]);
      double seconds = argc == 5 ? std::stod(argv[4]) : 0;
      if (seconds <= 0) seconds = 64.0 * 0.1 * static_cast<double>(s.order.size()) + 1.0;
      if (!songc::write_wav(argv[3], songc::render_preview(s, seconds))) {
        throw std::runtime_error(std::string("cannot write ") + argv[3]);
      }
      return 0;
    }
    if (first == "--text" && argc == 3) {
      std::cout << songc::format_song_text(load(argv[2]));
      return 0;
    }
    if (first == "--range" && argc == 3) {
      songc::size_range range = songc::sqt_size_range(load(argv[2]));
      std::cout << range.smallest << " " << range.largest << "\n";
      return 0;
    }
    if (argc != 3 || first.rfind("--", 0) == 0) return usage();
    std::vector<uint8_t> bytes = songc::sqt_write(load(argv[1]));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "song_compiler: " << e.what() << "\n";
    return 1;
  }
}
