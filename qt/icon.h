// The program's icon: a yellow line profile peaking over a navy graph, above
// the rainbow band of a spectrum with two dark lines, in a raised tile; drawn
// in the sixteen colours of a classic display.
#pragma once

#include <QIcon>
#include <QImage>

namespace lxr4 {

// The icon drawn `size` pixels square (16, 32, 48, 64 or 128 look best).
[[nodiscard]] QImage IconImage(int size);
// The icon at 16, 32, 48, 64 and 128 pixels.
[[nodiscard]] QIcon ProgramIcon();

}  // namespace lxr4
