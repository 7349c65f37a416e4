// The music disk installed as a Linux program: what `cmake --install` puts where, and the Debian
// package checked by lintian and unpacked into a scratch root, from where the installed capture
// tool runs the show.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string output;  // standard output and standard error together
};

Result Shell(const std::string& command) {
  Result result{-1, ""};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool Have(const std::string& tool) { return Shell("command -v " + tool).status == 0; }

// A directory of its own for each test, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/musidisk-package-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~ScratchDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const std::string kAppId = MUSIDISK_APP_ID;

TEST(Install, PutsEveryPieceWhereTheDesktopLooksForIt) {
  ScratchDir prefix;
  Result install = Shell(std::string(CMAKE_COMMAND_PATH) + " --install " + MUSIDISK_BINARY_DIR + " --prefix " +
                       prefix.path().string());
  ASSERT_EQ(install.status, 0) << install.output;
  const fs::path root = prefix.path();
  std::vector<std::string> expected = {
      "bin/musidisk",
      "bin/musidisk-capture",
      "share/applications/" + kAppId + ".desktop",
      "share/metainfo/" + kAppId + ".metainfo.xml",
      "share/man/man6/musidisk.6.gz",
      "share/man/man1/musidisk-capture.1.gz",
      "share/doc/tarnvik-musidisk/README.md",
      "share/doc/tarnvik-musidisk/copyright",
      "share/tarnvik-musidisk/screenshot.png",
  };
  for (int size : {16, 32, 48, 64, 128, 256}) {
    std::string dir = std::to_string(size) + "x" + std::to_string(size);
    expected.push_back("share/icons/hicolor/" + dir + "/apps/" + kAppId + ".png");
  }
  for (const std::string& file : expected) EXPECT_TRUE(fs::is_regular_file(root / file)) << file;

  // Each icon is a PNG of its own size: the width and height in the IHDR chunk.
  for (int size : {16, 256}) {
    std::string dir = std::to_string(size) + "x" + std::to_string(size);
    FILE* f = std::fopen((root / ("share/icons/hicolor/" + dir + "/apps/" + kAppId + ".png")).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[24] = {};
    ASSERT_EQ(std::fread(head, 1, sizeof head, f), sizeof head);
    std::fclose(f);
    EXPECT_EQ((head[16] << 24 | head[17] << 16 | head[18] << 8 | head[19]), size);
    EXPECT_EQ((head[20] << 24 | head[21] << 16 | head[22] << 8 | head[23]), size);
  }

  // The man pages read without warnings.
  if (Have("man")) {
    for (const char* page : {"share/man/man6/musidisk.6.gz", "share/man/man1/musidisk-capture.1.gz"}) {
      Result man = Shell("MANWIDTH=80 man --warnings -l " + (root / page).string() + " >/dev/null");
      EXPECT_EQ(man.status, 0) << page;
      EXPECT_EQ(man.output, "") << page;
    }
  }

  if (!Have("desktop-file-validate")) {
    GTEST_SKIP() << "desktop-file-validate is missing (scripts/deps installs desktop-file-utils)";
  }
  Result desktop = Shell("desktop-file-validate " + (root / ("share/applications/" + kAppId + ".desktop")).string());
  EXPECT_EQ(desktop.status, 0) << desktop.output;
  EXPECT_EQ(desktop.output, "");

  if (!Have("appstreamcli")) GTEST_SKIP() << "appstreamcli is missing (scripts/deps installs appstream)";
  Result appstream = Shell("appstreamcli validate --no-net " + (root / ("share/metainfo/" + kAppId + ".metainfo.xml")).string());
  EXPECT_EQ(appstream.status, 0) << appstream.output;
}

TEST(DebianPackage, PassesLintianAndItsCaptureToolRunsFromAScratchRoot) {
  ScratchDir work;
  Result pack = Shell(std::string("cd ") + MUSIDISK_BINARY_DIR + " && " + CPACK_COMMAND_PATH + " -G DEB -B " +
                    work.path().string());
  ASSERT_EQ(pack.status, 0) << pack.output;
  fs::path deb = work.path() / ("tarnvik-musidisk_" + std::string(MUSIDISK_VERSION) + "_amd64.deb");
  ASSERT_TRUE(fs::is_regular_file(deb)) << pack.output;

  // Depends worked out from the binaries' libraries.
  Result depends = Shell("dpkg-deb -f " + deb.string() + " Depends");
  EXPECT_NE(depends.output.find("libsdl2-2.0-0"), std::string::npos) << depends.output;
  EXPECT_NE(depends.output.find("libopenmpt0"), std::string::npos) << depends.output;

  if (Have("lintian")) {
    Result lint = Shell("lintian --no-tag-display-limit " + deb.string());
    std::istringstream lines(lint.output);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
      if (line.rfind("W: ", 0) == 0) std::printf("lintian warning: %s\n", line.c_str());
    }
  } else {
    std::printf("lintian is missing (scripts/deps installs it): the package was not linted\n");
  }

  fs::path scratch = work.path() / "root";
  Result unpack = Shell("dpkg -x " + deb.string() + " " + scratch.string());
  ASSERT_EQ(unpack.status, 0) << unpack.output;
  for (const char* file : {"usr/bin/musidisk", "usr/share/doc/tarnvik-musidisk/changelog.gz",
                           "usr/share/doc/tarnvik-musidisk/copyright"}) {
    EXPECT_TRUE(fs::is_regular_file(scratch / file)) << file;
  }
  Result version = Shell((scratch / "usr/bin/musidisk").string() + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.output.find(MUSIDISK_VERSION), std::string::npos) << version.output;

  // Two seconds of the show at 10 frames per second: one hash line per frame.
  Result show = Shell((scratch / "usr/bin/musidisk-capture").string() + " --seconds 2 --fps 10 --seed 3 --hash");
  ASSERT_EQ(show.status, 0) << show.output;
  int frames = 0;
  std::istringstream lines(show.output);
  for (std::string line; std::getline(lines, line);) frames += line.size() == 2 + 16 || line.size() == 3 + 16;
  EXPECT_EQ(frames, 20) << show.output;
}

}  // namespace
