// The art tools remake the committed data byte for byte, and refuse bad sources without writing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Runs a tool between two roots, its output kept out of the test log; returns its exit status.
int RunTool(const std::string& tool, const fs::path& source, const fs::path& output) {
  const std::string command =
      "'" + tool + "' '" + source.string() + "' '" + output.string() + "' >'" + (output / "log.txt").string() + "' 2>&1";
  return std::system(command.c_str());
}

class ArtTools : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = fs::temp_directory_path() /
               ("musidisk_art_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
  }
  void TearDown() override { fs::remove_all(scratch_); }
  fs::path scratch_;
};

struct Tool {
  const char* path;
  std::vector<const char*> outputs;  // raw files it writes, relative to the roots
};

TEST_F(ArtTools, RemakeTheCommittedDataExactly) {
  const fs::path source = MUSIDISK_SOURCE_DIR;
  const Tool tools[] = {
      {MUSIDISK_TOOL_GLYPHATLAS, {"data/images/glyph_atlas.raw"}},
      {MUSIDISK_TOOL_PANELS, {"data/panels/panels.raw"}},
      {MUSIDISK_TOOL_LOGO, {"data/images/logo.raw"}},
      {MUSIDISK_TOOL_CAPTIONS, {"data/images/captions.raw"}},
      {MUSIDISK_TOOL_ICON, {"data/icon/program_icon.raw"}},
  };
  for (const Tool& tool : tools) {
    ASSERT_EQ(RunTool(tool.path, source, scratch_), 0) << tool.path;
    for (const char* output : tool.outputs) {
      const std::vector<char> committed = ReadAll(source / output), remade = ReadAll(scratch_ / output);
      ASSERT_FALSE(committed.empty()) << output;
      EXPECT_TRUE(committed == remade) << output << " differs from what " << tool.path << " makes now";
    }
  }
}

struct BadPanels {
  const char* what;
  std::string text;
};

std::string Row(const std::string& inner) { return "|" + inner + "|\n"; }

std::string Panel(int n, const std::string& firstRow) {
  std::string text = "panel " + std::to_string(n) + "\n" + Row(firstRow);
  for (int r = 1; r < 9; ++r) text += Row(std::string(17, ' '));
  return text;
}

TEST_F(ArtTools, PanelsRefuseMalformedLayouts) {
  const std::string blank(17, ' ');
  std::string five;
  for (int n = 0; n < 5; ++n) five += Panel(n, blank);
  const BadPanels cases[] = {
      {"a row one cell short", five + Panel(5, std::string(16, ' '))},
      {"a character with no glyph", five + Panel(5, "abc" + std::string(14, ' '))},
      {"five panels", five},
      {"panels out of order", five + Panel(6, blank)},
      {"a panel with 8 rows", five + "panel 5\n" + [&] { std::string t; for (int r = 0; r < 8; ++r) t += Row(blank); return t; }()},
  };
  // The atlas the preview draws with comes from the checkout.
  fs::create_directories(scratch_ / "src/data/images");
  fs::copy_file(fs::path(MUSIDISK_SOURCE_DIR) / "data/images/glyph_atlas.raw", scratch_ / "src/data/images/glyph_atlas.raw");
  for (const BadPanels& c : cases) {
    WriteAll(scratch_ / "src/tools/panels/panels.txt", c.text);
    fs::create_directories(scratch_ / "out");
    EXPECT_NE(RunTool(MUSIDISK_TOOL_PANELS, scratch_ / "src", scratch_ / "out"), 0) << c.what;
    EXPECT_FALSE(fs::exists(scratch_ / "out/data/panels/panels.raw")) << c.what;
  }
  // The same frame with six good panels goes through.
  WriteAll(scratch_ / "src/tools/panels/panels.txt", five + Panel(5, "#*@ A1.,?!':[]<>}"));
  EXPECT_EQ(RunTool(MUSIDISK_TOOL_PANELS, scratch_ / "src", scratch_ / "out"), 0);
  EXPECT_EQ(ReadAll(scratch_ / "out/data/panels/panels.raw").size(), 918u);
}

TEST_F(ArtTools, CaptionsRefuseTitlesThatDoNotFitOrAreMissing) {
  std::string titles = "musician\tODDA VIK\nhandle\tODD\n";
  for (int k = 0; k < 15; ++k) {
    titles += k < 10 ? "0" : "";
    titles += std::to_string(k);
    titles += "\tSONG\n";
  }
  const std::string cases[] = {
      titles,                                        // track 15 missing
      titles + "15\tA TITLE FAR TOO LONG FOR ITS CAPTION\n",  // wider than 4w
      titles + "15\tJOY~RIDE\n",                     // a character the font lacks
  };
  for (const std::string& text : cases) {
    WriteAll(scratch_ / "src/data/music/titles.txt", text);
    fs::create_directories(scratch_ / "out");
    EXPECT_NE(RunTool(MUSIDISK_TOOL_CAPTIONS, scratch_ / "src", scratch_ / "out"), 0) << text;
    EXPECT_FALSE(fs::exists(scratch_ / "out/data/images/captions.raw")) << text;
  }
}

}  // namespace
