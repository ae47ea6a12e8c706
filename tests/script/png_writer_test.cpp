// The PNG writer: what libpng reads back is the surface, pixel for pixel.
#include "platform/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

namespace lxr4 {
namespace {

TEST(PngBytes, DecodesBackToTheSurface) {
  // the graph box's size and the main window's
  for (const auto& [width, height] : {std::pair{258, 110}, std::pair{775, 379}}) {
    SCOPED_TRACE(width);
    Surface surface(width, height, kWindowGrey);
    surface.Point(0, 0, kRed);
    surface.Line(1, 1, width - 1, height - 1, Rgb{1, 2, 3});
    const std::optional<std::vector<std::uint8_t>> png = PngBytes(surface);
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(PngBytes(surface), png) << "deterministic";
    EXPECT_EQ((*png)[25], PNG_COLOR_TYPE_RGB) << "colour type";

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_memory(&image, png->data(), png->size()), 0) << image.message;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0) << image.message;
    ASSERT_EQ(image.width, static_cast<png_uint_32>(width));
    ASSERT_EQ(image.height, static_cast<png_uint_32>(height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::size_t p = 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x));
        ASSERT_EQ((Rgb{rgb[p], rgb[p + 1], rgb[p + 2]}), surface.At(x, y)) << x << "," << y;
      }
    EXPECT_LT(png->size(), rgb.size() / 10) << "compressed";
  }
}

}  // namespace
}  // namespace lxr4
