#include "record/log_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace linkwatch::testing {
namespace {

struct ShortenCase {
  const char* path;
  const char* display;
};

// Written with backslashes; each case is also run with the separator swapped.
const ShortenCase kShortenCases[] = {
    // 49 characters: unchanged.
    {"C:\\Logs\\aaaaaaaaaaaaaaaaaaaaaaaaaaaa\\results.txt1", nullptr},
    // 50 characters: shortened.
    {"C:\\Logs\\aaaaaaaaaaaaaaaaaaaaaaaaaaaa\\results.txt12", "C:\\Logs\\...\\results.txt12"},
    {"C:\\Documents and Settings\\operator\\My Documents\\link tests\\results.txt",
     "C:\\Documents and Settings\\...\\results.txt"},
    // File name of 44: nothing before the limit, only the mark and the name.
    {"C:\\Logs\\abcdefghijklmnopqrstuvwxyzabcdefghijklmn.txt",
     "\\...\\abcdefghijklmnopqrstuvwxyzabcdefghijklmn.txt"},
    // File name of 45 or more: nothing elided, the display grows by the mark.
    {"C:\\Logs\\a very long file name for the overnight soak test of link.txt",
     "C:\\Logs\\\\...\\a very long file name for the overnight soak test of link.txt"},
    // No separator after position 0.
    {"\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz",
     "\\\\...\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"},
    {"", nullptr},
};

std::string Swap(std::string s) {
  for (char& c : s) {
    if (c == '\\') c = '/';
  }
  return s;
}

TEST(LogPath, ShortenedDisplay) {
  for (const ShortenCase& c : kShortenCases) {
    const std::string expected = c.display != nullptr ? c.display : c.path;
    EXPECT_EQ(ShortenedLogDisplay(c.path, '\\'), expected) << c.path;
    EXPECT_EQ(ShortenedLogDisplay(Swap(c.path), '/'), Swap(expected)) << c.path;
  }
  EXPECT_EQ(std::string(kShortenCases[0].path).size(), 49u);
  EXPECT_EQ(std::string(kShortenCases[2].display).size(), 41u);
}

TEST(LogPath, ShortenedDisplayStaysWithinBudget) {
  // Any long path whose file name leaves room shows in at most 49 characters.
  std::string path = "/home/operator";
  for (int depth = 0; depth < 20; ++depth) {
    path += "/dir" + std::to_string(depth);
    const std::string full = path + "/results.txt";
    const std::string shown = ShortenedLogDisplay(full);
    EXPECT_LE(shown.size(), 49u) << full;
    EXPECT_TRUE(shown.ends_with("/results.txt")) << shown;
  }
}

TEST(LogPath, DefaultPath) {
  EXPECT_EQ(DefaultLogPath(std::string("C:\\"), '\\'), "C:\\\\results.txt");
  EXPECT_EQ(DefaultLogPath(std::string("/home/op"), '/'), "/home/op/results.txt");
  EXPECT_EQ(DefaultLogPath(std::nullopt), "");
}

}  // namespace
}  // namespace linkwatch::testing
