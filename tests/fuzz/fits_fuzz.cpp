// libFuzzer entry over the FITS reading path across its boundary: the answer
// checks of the program (any bytes as a decoder's answer), the layout walk the
// decoder makes before cfitsio sees a file (here under the sanitizers), then
// the file through the decoder process, and the import of an accepted frame in
// both orientations, which the camera image reader must take. A crash, hang or
// runaway memory of cfitsio ends only the decoder; this process must go on.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imagefile/camera_image_reader.h"
#include "imagefile/fits_answer.h"
#include "imagefile/fits_import.h"
#include "imagefile/fits_layout.h"
#include "imagefile/fits_reader.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  if (size >= lxr4::kAnswerHeadBytes) {
    const auto start = lxr4::ReadAnswerHead(file.first(lxr4::kAnswerHeadBytes));
    Check(!start || start->result.error != lxr4::FitsError::None ||
          start->valueCount == static_cast<std::size_t>(start->result.frame.width) *
                                   static_cast<std::size_t>(start->result.frame.height));
  }
  const lxr4::FitsLayout layout = lxr4::WalkFitsLayout(file, lxr4::kMaxFitsBytes, true);
  Check(layout.error != lxr4::FitsError::None || layout.Complete(size));

  const lxr4::FitsReadResult read = lxr4::ReadFitsFrame(file, LXR4_FITS_DECODER);
  Check(read.error != lxr4::FitsError::Unavailable);
  if (read.error != lxr4::FitsError::None) {
    Check(read.frame.values.empty());
    return 0;
  }
  const lxr4::FitsFrame& frame = read.frame;
  Check(frame.values.size() == static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
  for (const lxr4::DispersionAxis axis : {lxr4::DispersionAxis::Auto, lxr4::DispersionAxis::Columns}) {
    const lxr4::FrameImport import = lxr4::ImportFrame(frame, {.axis = axis, .windowStart = {}, .defaultPixelSize = 9, .swathCentre = {}, .swathBin = 1});
    if (!import.ok) continue;
    const lxr4::CameraImageFile image = lxr4::ReadCameraImage(import.file, {true, 0, 0, import.bin});
    Check(image.error == lxr4::ReadError::None && image.width == import.width && image.height == import.height);
  }
  return 0;
}
