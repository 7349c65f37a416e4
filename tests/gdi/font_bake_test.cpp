// The font baker: the same tables on every run, and a clear failure on bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kBaker = std::string(MUSIDISK_BINARY_DIR) + "/musidisk-fontbake";
// The font the build bakes from (cmake/generated_data.cmake).
const std::string kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunCommand(const std::string& command) {
  int status = std::system((command + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TempPath(const char* name) {
  return testing::TempDir() + "/" + name + "_" + std::to_string(getpid()) + ".cpp";
}

TEST(FontBake, EveryRunWritesTheSameTablesAsTheBuild) {
  const std::string first = TempPath("bake_first"), second = TempPath("bake_second");
  ASSERT_EQ(RunCommand(kBaker + " " + first + " " + kFont), 0);
  ASSERT_EQ(RunCommand(kBaker + " " + second + " " + kFont), 0);
  std::string a = ReadAll(first), b = ReadAll(second);
  EXPECT_GT(a.size(), 10000u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, ReadAll(std::string(MUSIDISK_BINARY_DIR) + "/generated/baked_fonts.cpp"));
  std::remove(first.c_str());
  std::remove(second.c_str());
}

TEST(FontBake, BadInputFailsWithoutWritingTables) {
  const std::string out = TempPath("bake_bad");
  EXPECT_EQ(RunCommand(kBaker), 2);
  EXPECT_EQ(RunCommand(kBaker + " " + out + " /nonexistent/font.ttf"), 1);
  // A file that is not a font at all.
  EXPECT_EQ(RunCommand(kBaker + " " + out + " " + std::string(MUSIDISK_SOURCE_DIR) + "/data/text/greetings.txt"), 1);
  EXPECT_TRUE(ReadAll(out).empty());
}

}  // namespace
