#include "view/axis_ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lxr4 {

namespace {

// The least nice step (1, 2 or 5 x 10^k) of at least `raw`.
double NiceStep(double raw) {
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0, 10.0})
    if (m * decade >= raw * (1 - 1e-12)) return m * decade;
  return 10 * decade;
}

std::string Chars(double value, std::chars_format format, int precision) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, format, precision);
  if (error != std::errc{}) return "?";
  return {text, end};
}

}  // namespace

AxisTicks NiceTicks(double lo, double hi, int maxCount) {
  AxisTicks ticks;
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi) || !std::isfinite(hi - lo)) return ticks;
  const int count = std::max(maxCount, 1);
  double step = NiceStep((hi - lo) / count);
  if (!(step > 0) || !std::isfinite(step)) return ticks;
  // Values far from zero leave no bits for the steps between them.
  while (std::max(std::fabs(lo), std::fabs(hi)) / step > 1e14) step *= 10;
  const double first = std::ceil(lo / step - 1e-9);
  const double last = std::floor(hi / step + 1e-9);
  ticks.step = step;
  for (double k = first; k <= last && ticks.values.size() <= static_cast<std::size_t>(count) + 1; ++k)
    ticks.values.push_back(k * step == 0 ? 0.0 : k * step);  // no "-0"
  return ticks;
}

std::string TickLabel(double value, double step) {
  if (!std::isfinite(value)) return "?";
  const double unit = std::isfinite(step) && step > 0 ? step : 0;
  if (std::fabs(value) <= unit * 1e-6 || value == 0) return "0";
  const int stepExponent = unit > 0 ? static_cast<int>(std::floor(std::log10(unit) + 1e-9)) : 0;
  const bool compact = std::fabs(value) >= 1e6 || (unit > 0 && unit < 1e-4);
  if (!compact) return Chars(value, std::chars_format::fixed, std::max(0, -stepExponent));
  // Enough mantissa digits to reach the step's decade.
  const int valueExponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int digits = unit > 0 ? std::clamp(valueExponent - stepExponent, 0, 15) : 6;
  std::string text = Chars(value, std::chars_format::scientific, digits);
  // A trailing zero of the mantissa says nothing ("1.50e+06" of a step 1e4 is "1.5e+06").
  const std::size_t e = text.find('e');
  if (e != std::string::npos && text.find('.') < e) {
    std::size_t end = e;
    while (text[end - 1] == '0') --end;
    if (text[end - 1] == '.') --end;
    text.erase(end, e - end);
  }
  return text;
}

}  // namespace lxr4
