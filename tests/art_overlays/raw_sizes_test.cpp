// The built-in art has exactly the sizes its layers upload.
#include <gtest/gtest.h>

#include "embedded_data.h"

namespace {

struct RawSize {
  const char* name;
  unsigned int size;
  unsigned int expected;
};

TEST(RawSizes, EveryOverlayImageAndTheIconHaveTheirExactSize) {
  const RawSize cases[] = {
      {"glyph atlas, 128x128 at 2 bytes", embedded::images_glyph_atlas_raw_size, 32768},
      {"panels, 6 x 153 cells", embedded::panels_panels_raw_size, 918},
      {"logo, 512x64 at 4 bytes", embedded::images_logo_raw_size, 131072},
      {"captions, 256x256 at 2 bytes", embedded::images_captions_raw_size, 131072},
      {"icon, 32x32 at 4 bytes", embedded::icon_program_icon_raw_size, 4096},
  };
  for (const RawSize& c : cases) EXPECT_EQ(c.size, c.expected) << c.name;
}

}  // namespace
