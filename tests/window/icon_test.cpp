// The program's icon: every size drawn, in the sixteen classic colours only.
#include <QSet>
#include <gtest/gtest.h>

#include "qt/icon.h"

namespace lxr4 {
namespace {

TEST(ProgramIcon, EverySizeUsesOnlyTheSixteenClassicColours) {
  const QSet<QRgb> classic{0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080,
                           0xff008080, 0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
                           0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
  for (const int size : {16, 32, 48, 64, 128}) {
    SCOPED_TRACE(size);
    const QImage image = IconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    QSet<QRgb> used;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) used.insert(image.pixel(x, y));
    EXPECT_TRUE(classic.contains(used));
    EXPECT_GE(used.size(), 8) << "the rainbow, the graph and the edge";
  }
}

}  // namespace
}  // namespace lxr4
