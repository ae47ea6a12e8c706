#include "calibration/lamp_frame.h"

namespace lxr4 {

bool SameGeometry(const LampFrame& lamp, int length, int first, int bin) {
  return lamp.length == length && lamp.first == first && lamp.bin == bin;
}

std::string DescribeGeometry(int length, int first, int bin, std::string_view axis) {
  if (axis.empty()) return "a camera image of " + std::to_string(length) + " columns";
  return "a frame of " + std::to_string(length) + " pixels along its " + std::string(axis) + " (from pixel " +
         std::to_string(first) + ", bin " + std::to_string(bin) + ")";
}

std::string GeometryWarning(const LampFrame& lamp, int length, int first, int bin, std::string_view axis) {
  return "This calibration was made on " + DescribeGeometry(lamp.length, lamp.first, lamp.bin, lamp.axis) +
         "; this is " + DescribeGeometry(length, first, bin, axis) + ".";
}

}  // namespace lxr4
