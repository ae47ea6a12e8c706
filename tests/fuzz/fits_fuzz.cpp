// libFuzzer entry over the FITS reading path: the reader, then the import of an
// accepted frame in both orientations, which the camera image reader must take.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imagefile/camera_image_reader.h"
#include "imagefile/fits_import.h"
#include "imagefile/fits_reader.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const lxr4::FitsReadResult read = lxr4::ReadFitsFrame(file);
  if (read.error != lxr4::FitsError::None) {
    Check(read.frame.values.empty());
    return 0;
  }
  const lxr4::FitsFrame& frame = read.frame;
  Check(frame.values.size() == static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
  for (const lxr4::DispersionAxis axis : {lxr4::DispersionAxis::Auto, lxr4::DispersionAxis::Columns}) {
    const lxr4::FrameImport import = lxr4::ImportFrame(frame, {.axis = axis, .windowStart = {}, .defaultPixelSize = 9});
    if (!import.ok) continue;
    const lxr4::CameraImageFile image = lxr4::ReadCameraImage(import.file, {true, 0, 0});
    Check(image.error == lxr4::ReadError::None && image.width == import.width && image.height == import.height);
  }
  return 0;
}
