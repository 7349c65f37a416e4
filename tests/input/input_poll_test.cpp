// Keyboard and mouse control on the real program, with keys and the mouse set through the headless
// host between frames as a user would press them.
#include "app/input_poll.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "../support/headless_program.h"
#include "app/shell_state.h"
#include "music/music_bank.h"
#include "scenes/effect_scheduler.h"

namespace {

using test_support::FrameView;
using test_support::HeadlessProgram;

// A script of what happens after each frame; the run ends after the last scripted frame.
class InputScript {
 public:
  InputScript& At(int frame, std::function<void(host::HeadlessHost&)> action) {
    actions_[frame].push_back(std::move(action));
    return *this;
  }
  InputScript& Press(int frame, std::vector<int> keys) {
    return At(frame, [keys](host::HeadlessHost& h) {
      for (int k : keys) h.PressKey(k);
    });
  }
  InputScript& Release(int frame, std::vector<int> keys) {
    return At(frame, [keys](host::HeadlessHost& h) {
      for (int k : keys) h.ReleaseKey(k);
    });
  }
  // Types keys one at a time, each held for two frames and followed by two frames with no key.
  InputScript& Type(int frame, const std::string& letters) {
    for (char c : letters) {
      Press(frame, {c});
      Release(frame + 2, {c});
      frame += 4;
    }
    return *this;
  }
  // Runs the program; `observe` sees every frame.
  int Run(HeadlessProgram& program, const std::function<void(int)>& observe = nullptr) {
    int last = actions_.empty() ? 0 : actions_.rbegin()->first + 3;
    return program.Run([&](int n, const FrameView&) {
      if (observe) observe(n);
      for (auto& action : actions_[n]) action(program.host());
      return n < last;
    });
  }

 private:
  std::map<int, std::vector<std::function<void(host::HeadlessHost&)>>> actions_;
};

// The program runs once per process (its bank descrambles in place), so each test runs one program.
class InputPollTest : public ::testing::Test {
 protected:
  HeadlessProgram program_;
};

TEST_F(InputPollTest, HoldingAnArrowChangesTheTrackOnce) {
  std::vector<int> tracks;
  InputScript script;
  script.Press(5, {VK_RIGHT}).Release(30, {VK_RIGHT}).Press(35, {VK_RIGHT}).Release(37, {VK_RIGHT});
  ASSERT_EQ(script.Run(program_, [&](int) { tracks.push_back(currentTrack); }), 0);
  int first = tracks[0];
  EXPECT_EQ(tracks[6], (first + 1) % 15);
  EXPECT_EQ(tracks[30], (first + 1) % 15) << "held, not repeated";
  EXPECT_EQ(tracks.back(), (first + 2) % 15);
}

TEST_F(InputPollTest, AnArrowWithAnotherKeyDoesNothing) {
  std::vector<int> tracks;
  InputScript script;
  script.Press(5, {VK_LEFT, 'A'}).Release(8, {VK_LEFT, 'A'}).Press(10, {VK_SPACE, VK_DOWN}).Release(12, {VK_SPACE, VK_DOWN});
  ASSERT_EQ(script.Run(program_, [&](int) { tracks.push_back(currentTrack); }), 0);
  EXPECT_EQ(tracks.back(), tracks[0]);
  EXPECT_EQ(sequenceFrozen, 0);
}

TEST_F(InputPollTest, SpaceTogglesTheFreezeOnEachNewPress) {
  std::vector<int> frozen;
  InputScript script;
  script.Press(3, {VK_SPACE}).Release(9, {VK_SPACE}).Press(12, {VK_SPACE}).Release(13, {VK_SPACE});
  script.Run(program_, [&](int) { frozen.push_back(sequenceFrozen); });
  EXPECT_EQ(frozen[5], 1);
  EXPECT_EQ(frozen[10], 1);
  EXPECT_EQ(frozen[14], 0);
}

TEST_F(InputPollTest, TheHiddenSequencePlaysTheHiddenTrackAndArrowsLeaveIt) {
  std::vector<int> tracks;
  InputScript script;
  script.Type(5, "JOVRELK");
  script.Type(40, "JOVRELK");  // while the hidden track plays: nothing
  script.Press(80, {VK_UP}).Release(82, {VK_UP});
  ASSERT_EQ(script.Run(program_, [&](int) { tracks.push_back(currentTrack); }), 0);
  EXPECT_EQ(tracks[38], 15);
  EXPECT_EQ(tracks[78], 15);
  EXPECT_EQ(hiddenSequencePos, 0);
  EXPECT_EQ(tracks.back(), tracks[0]) << "back to the track that played before";
  EXPECT_EQ(savedTrack, 15);
}

struct BrokenSequence {
  const char* name;
  std::function<void(InputScript&)> type;
};

void PrintTo(const BrokenSequence& sequence, std::ostream* out) { *out << sequence.name; }

class BrokenSequenceTest : public ::testing::TestWithParam<BrokenSequence> {};

TEST_P(BrokenSequenceTest, RestartsTheSequence) {
  HeadlessProgram program;
  InputScript script;
  GetParam().type(script);
  int first = -1;
  script.Run(program, [&](int n) {
    if (n == 0) first = currentTrack;
  });
  EXPECT_EQ(currentTrack, first);
}

INSTANTIATE_TEST_SUITE_P(
    InputPoll, BrokenSequenceTest,
    ::testing::Values(
        BrokenSequence{"Overlap",
                       [](InputScript& s) {
                         s.Type(5, "JOV").Press(17, {'R'}).Press(18, {'E'}).Release(19, {'R', 'E'}).Type(21, "LK");
                       }},
        BrokenSequence{"RepeatedLetter", [](InputScript& s) { s.Type(5, "JOOVRELK"); }},
        BrokenSequence{"OtherKey", [](InputScript& s) { s.Type(5, "JOVXRELK"); }}),
    [](const ::testing::TestParamInfo<BrokenSequence>& info) { return std::string(info.param.name); });

TEST_F(InputPollTest, AltEnterTogglesOnceAndTheFirstWindowIs320x240OnTheDesktopCentre) {
  std::vector<int> modes;
  InputScript script;
  script.Press(3, {VK_LMENU}).Press(5, {VK_RETURN}).Release(12, {VK_LMENU, VK_RETURN});
  ASSERT_EQ(script.Run(program_, [&](int) { modes.push_back(fullScreen); }), 0);
  EXPECT_EQ(modes[4], 1);
  EXPECT_EQ(modes[6], 0);
  EXPECT_EQ(modes[11], 0) << "holding both does not toggle again";
  EXPECT_FALSE(program_.host().IsFullScreen());
  host::Rect r = program_.host().WindowRect();
  EXPECT_EQ(r.left, 800);
  EXPECT_EQ(r.top, 420);
  EXPECT_EQ(r.right - r.left, 320);
  EXPECT_EQ(r.bottom - r.top, 240);
  EXPECT_EQ(presentParams.Windowed, 1);
  EXPECT_EQ(program_.host().cursorShowCount(), 1) << "shown in windowed mode, and once more at exit";
}

TEST_F(InputPollTest, DraggingMovesTheWindowFromTheThirdPollAndTheModeToggleRemembersThePlace) {
  std::vector<host::Rect> rects;
  InputScript script;
  script.Press(3, {VK_LMENU}).Press(4, {VK_RETURN}).Release(6, {VK_LMENU, VK_RETURN});
  script.At(10, [](host::HeadlessHost& h) { h.SetCursor(900, 500); }).Press(10, {VK_LBUTTON});
  script.At(11, [](host::HeadlessHost& h) { h.SetCursor(910, 505); });  // polls 1, 2: anchor only
  script.At(12, [](host::HeadlessHost& h) { h.SetCursor(930, 515); });  // poll 3 moves
  script.Release(14, {VK_LBUTTON});
  script.Press(20, {VK_LMENU}).Press(21, {VK_RETURN}).Release(23, {VK_LMENU, VK_RETURN});  // back to full screen
  script.Press(28, {VK_LMENU}).Press(29, {VK_RETURN}).Release(31, {VK_LMENU, VK_RETURN});  // and windowed again
  ASSERT_EQ(script.Run(program_, [&](int) { rects.push_back(program_.host().WindowRect()); }), 0);
  EXPECT_EQ(rects[11].left, 800) << "the first two polls only record the anchor";
  EXPECT_EQ(rects[12].left, 800);
  EXPECT_EQ(rects[13].left, 820);
  EXPECT_EQ(rects[13].top, 430);
  EXPECT_EQ(rects[13].right - rects[13].left, 320);
  EXPECT_TRUE(program_.host().WindowRect().left == 820 && program_.host().WindowRect().top == 430)
      << "the dragged place is where the window comes back";
}

TEST_F(InputPollTest, NoDragInFullScreen) {
  InputScript script;
  script.At(5, [](host::HeadlessHost& h) { h.SetCursor(100, 100); }).Press(5, {VK_LBUTTON});
  for (int f = 6; f < 12; ++f) script.At(f, [f](host::HeadlessHost& h) { h.SetCursor(100 + 10 * f, 100); });
  std::vector<int> drags;
  script.Release(12, {VK_LBUTTON}).Run(program_, [&](int) { drags.push_back(dragFrames); });
  for (int d : drags) EXPECT_EQ(d, 0);
  EXPECT_TRUE(program_.host().IsFullScreen());
}

TEST_F(InputPollTest, AFailedResetInWindowedModeRetriesWith16BitFormatsAndKeepsTheOldOnes) {
  std::vector<D3DFORMAT> formats;
  InputScript script;
  script.At(2, [](host::HeadlessHost&) { d3d8test::FailResets(1); });
  script.Press(3, {VK_LMENU}).Press(4, {VK_RETURN}).Release(6, {VK_LMENU, VK_RETURN});
  script.At(10, [](host::HeadlessHost&) {});
  ASSERT_EQ(script.Run(program_, [&](int) {
    IDirect3DSurface8* backBuffer = nullptr;
    d3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    D3DSURFACE_DESC desc;
    backBuffer->GetDesc(&desc);
    backBuffer->Release();
    formats.push_back(desc.Format);
  }), 0);
  EXPECT_EQ(formats[3], D3DFMT_X8R8G8B8);
  EXPECT_EQ(formats[8], D3DFMT_R5G6B5) << "the retry ran with the 16-bit formats";
  EXPECT_EQ(fullScreen, 0);
  EXPECT_EQ(presentParams.BackBufferFormat, D3DFMT_X8R8G8B8) << "the next reset asks for the old formats";
  EXPECT_EQ(presentParams.AutoDepthStencilFormat, D3DFMT_D32);
}

TEST_F(InputPollTest, AFailedResetGoingToFullScreenEndsTheProgram) {
  int framesSeen = 0;
  InputScript script;
  script.Press(3, {VK_LMENU}).Press(4, {VK_RETURN}).Release(6, {VK_LMENU, VK_RETURN});
  script.At(8, [](host::HeadlessHost&) { d3d8test::FailResets(2); });
  script.Press(9, {VK_LMENU}).Press(10, {VK_RETURN}).Release(12, {VK_LMENU, VK_RETURN});
  script.At(40, [](host::HeadlessHost&) {});
  EXPECT_EQ(script.Run(program_, [&](int) { ++framesSeen; }), 0);
  EXPECT_LT(framesSeen, 20) << "the program ended itself";
  EXPECT_EQ(fullScreen, 1);
}

}  // namespace
