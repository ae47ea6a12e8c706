// libFuzzer entry over the camera image reader: every input is read as an
// object load (Y_pixel_size recognised, an earlier 20 x 768 image in the slot)
// and as a calibration load (nothing earlier), and the result must be
// consistent: pixels only for an accepted image, and then of its size.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imagefile/camera_image_reader.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void ReadAs(std::span<const std::uint8_t> file, const lxr4::ReaderStart& start) {
  const lxr4::CameraImageFile image = lxr4::ReadCameraImage(file, start);
  if (image.error != lxr4::ReadError::None) {
    Check(image.pixels.empty());
    return;
  }
  Check(image.height >= 1 && image.height <= lxr4::kMaxImageRows);
  Check(image.width >= 2 && image.width <= lxr4::kMaxImageColumns);
  Check(image.pixels.size() == static_cast<std::size_t>(image.height * image.width));
  Check(start.objectSlot || !image.header.pixelHeight);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  ReadAs(file, lxr4::ReaderStart{true, 20, 768});
  ReadAs(file, lxr4::ReaderStart{false, 0, 0});
  return 0;
}
