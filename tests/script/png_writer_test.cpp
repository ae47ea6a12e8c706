// The PNG writer. Its pixels are those of every golden picture (png_same reads
// each back through libpng); what no picture comparison sees is that the file
// is compressed.
#include "platform/png_writer.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(PngBytes, TheMainWindowIsStoredCompressed) {
  Surface surface(775, 379, kWindowGrey);
  surface.Line(1, 1, 774, 378, kRed);
  const std::optional<std::vector<std::uint8_t>> png = PngBytes(surface);
  ASSERT_TRUE(png.has_value());
  EXPECT_LT(png->size(), 775u * 379u * 3u / 10u);
}

}  // namespace
}  // namespace lxr4
