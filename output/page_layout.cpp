#include "output/page_layout.h"

#include <limits>

#include "base/number_text.h"

namespace lxr4 {

namespace {

constexpr int kLastColumn = 765;
constexpr float kShortestWavelength = 3800;  // left edge of the calibrated scale
constexpr float kLongestWavelength = 8200;   // right edge; the curve stops before it

// Draws the page step by step. The first step that fails (a printer
// operation, a value outside its integer type, a flat spectrum) sets failed_;
// from then on no step calls the printer and the arithmetic yields 0, so the
// page stops exactly there and Draw reports it.
class PageDrawing {
 public:
  PageDrawing(const GraphPage& page, Printer& printer) : page_(page), printer_(printer) {}

  [[nodiscard]] bool Draw() {
    if (!printer_.Setup(2)) return false;
    const std::optional<PageSize> size = printer_.Size();
    if (!size) return false;
    w_ = Rint32(size->width.AsDouble());
    h_ = Rint32(size->height.AsDouble());
    x0_ = Mul(w_, 10) / 100;
    y0_ = Mul(h_, 10) / 100;
    pw_ = Mul(w_, 8) / 10;
    ph_ = Mul(h_, 8) / 10;
    t_ = h_ / 100;

    Titles();
    VerticalScale();
    HorizontalScale();
    Frame();
    if (page_.calibrated) {
      Curve();
      RangeLabels();
    } else {
      RangeLabels();
      Curve();
    }
    return !failed_ && printer_.End();
  }

 private:
  // 0 after marking the page failed.
  template <typename T>
  T Fail() {
    failed_ = true;
    return T{};
  }

  std::int32_t Fit32(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
      return Fail<std::int32_t>();
    return static_cast<std::int32_t>(v);
  }
  std::int32_t Add(std::int32_t a, std::int32_t b) { return Fit32(std::int64_t{a} + b); }
  std::int32_t Sub(std::int32_t a, std::int32_t b) { return Fit32(std::int64_t{a} - b); }
  std::int32_t Mul(std::int32_t a, std::int32_t b) { return Fit32(std::int64_t{a} * b); }

  std::int16_t Rint16(double v) {
    const auto r = ToInt16(v);
    return r ? *r : Fail<std::int16_t>();
  }
  std::int32_t Rint32(double v) {
    const auto r = ToInt32(v);
    return r ? *r : Fail<std::int32_t>();
  }
  // 2 x a text height, a 16-bit product.
  std::int16_t Twice16(std::int16_t v) {
    const int r = 2 * v;
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max())
      return Fail<std::int16_t>();
    return static_cast<std::int16_t>(r);
  }

  TextSize Measure(std::string_view text) {
    if (failed_) return {};
    const std::optional<TextSize> m = printer_.Measure(text);
    return m ? *m : Fail<TextSize>();
  }
  void Text(Num x, Num y, std::string_view text) {
    if (!failed_ && !printer_.Text(x, y, text)) failed_ = true;
  }
  void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (!failed_ && !printer_.Line(Num(x1), Num(y1), Num(x2), Num(y2))) failed_ = true;
  }
  // x of a text right-aligned against the left ticks.
  std::int32_t LeftOfScale(const TextSize& m) { return Sub(Sub(x0_, t_), Rint16(m.width)); }

  void Titles() {
    const TextSize title = Measure(page_.title);
    Text(Num(w_ / 2.0 - Rint16(title.width / 2)), Num(Sub(y0_, Twice16(Rint16(title.height)))), page_.title);

    const std::string_view axis = page_.calibrated ? "Wavelength in Angstroms" : "Pixel Number";
    const TextSize m = Measure(axis);
    Text(Num(w_ / 2.0 - Rint16(m.width / 2)), Num(Add(Add(Add(y0_, ph_), t_), Twice16(Rint16(m.height)))),
         axis);
  }

  void VerticalScale() {
    const auto sy = static_cast<float>(ph_ / 11.0);
    for (int i = 1; i <= 10; ++i) {
      const std::int32_t y = Add(y0_, Rint32(sy * static_cast<float>(i)));
      Line(Add(x0_, t_), y, x0_, y);
      Line(Sub(Add(x0_, pw_), t_), y, Add(x0_, pw_), y);
      const std::string label = NumberText((11 - i) * 10);
      const TextSize m = Measure(label);
      Text(Num(LeftOfScale(m)), Num(Sub(y, Rint16(m.height / 2))), label);
    }
    const TextSize m = Measure("0");
    Text(Num(LeftOfScale(m)), Num(Sub(Add(y0_, ph_), Rint16(m.height))), "0");
  }

  void HorizontalScale() {
    const float sx = page_.calibrated ? static_cast<float>(pw_ / 22.0)
                                      : static_cast<float>(Mul(pw_, 50) / 765.0);
    const int ticks = page_.calibrated ? 21 : 15;
    const int labels = page_.calibrated ? 22 : 15;
    const std::int32_t bottom = Add(y0_, ph_);
    for (int i = 1; i <= ticks; ++i) {
      const std::int32_t x = Add(x0_, Rint32(sx * static_cast<float>(i)));
      Line(x, Sub(bottom, t_), x, bottom);
      Line(x, Add(y0_, t_), x, y0_);
    }
    for (int j = 0; j <= labels; ++j) {
      const std::int32_t x = Add(x0_, Rint32(sx * static_cast<float>(j)));
      const std::string label = NumberText(page_.calibrated ? 3800 + j * 200 : j * 50);
      const TextSize m = Measure(label);
      Text(Num(Sub(x, Rint16(m.width / 2))), Num(Add(bottom, t_)), label);
    }
  }

  void Frame() {
    const std::int32_t right = Add(x0_, pw_);
    const std::int32_t bottom = Add(y0_, ph_);
    Line(x0_, y0_, x0_, bottom);
    Line(x0_, bottom, right, bottom);
    Line(right, bottom, right, y0_);
    Line(right, y0_, x0_, y0_);
  }

  // Built by appending: GCC 12 at -O3 misreads "(" + text as an overlapping copy.
  static std::string RangeLabel(std::int32_t value) {
    std::string label = "(";
    label += NumberText(value);
    label += ")";
    return label;
  }

  void RangeLabels() {
    const std::string maxLabel = RangeLabel(page_.spectrumMax);
    const TextSize maxSize = Measure(maxLabel);
    const std::int16_t th = Rint16(maxSize.height);
    Text(Num(LeftOfScale(maxSize)), Num(Add(y0_, ph_ / 11) + th / 2.0), maxLabel);
    const std::string minLabel = RangeLabel(page_.spectrumMin);
    const TextSize minSize = Measure(minLabel);
    Text(Num(LeftOfScale(minSize)), Num(Sub(Add(y0_, ph_), Twice16(th))), minLabel);
  }

  // Page y of a spectrum value: the minimum on the bottom edge, the maximum at the "100" tick.
  float Height(std::int32_t value) {
    const double scale = Sub(page_.spectrumMax, page_.spectrumMin) * 1.1;
    if (scale == 0) return Fail<float>();  // a flat spectrum has no scale
    return static_cast<float>(Add(y0_, ph_) - (Sub(value, page_.spectrumMin) / scale) * ph_);
  }

  void Curve() {
    const Spectrum& s = page_.spectrum;
    const auto sl = static_cast<float>(pw_ / 4400.0);
    for (int i = 2; i <= kLastColumn; ++i) {
      const float ya = Height(s[i - 1]);
      const float yb = Height(s[i]);
      if (failed_) return;  // the wavelengths below write the read-out state
      if (page_.calibrated) {
        const float la = page_.wavelength(i - 1);
        const float lb = page_.wavelength(i);
        const auto xa = static_cast<float>(x0_ + static_cast<double>((la - kShortestWavelength) * sl));
        const auto xb = static_cast<float>(x0_ + static_cast<double>((lb - kShortestWavelength) * sl));
        if (lb < kLongestWavelength) Line(Rint32(xa), Rint32(ya), Rint32(xb), Rint32(yb));
      } else {
        const auto xa = static_cast<float>(x0_ + Mul(i - 1, pw_) / 765.0);
        const auto xb = static_cast<float>(x0_ + Mul(i, pw_) / 765.0);
        Line(Rint32(xa), Rint32(ya), Rint32(xb), Rint32(yb));
      }
    }
  }

  const GraphPage& page_;
  Printer& printer_;
  std::int32_t w_ = 0, h_ = 0, x0_ = 0, y0_ = 0, pw_ = 0, ph_ = 0, t_ = 0;
  bool failed_ = false;
};

}  // namespace

bool PrintGraphPage(const GraphPage& page, Printer& printer) { return PageDrawing(page, printer).Draw(); }

}  // namespace lxr4
