// The Spectrum view's measuring row and the Measure menu: a line measured
// where the user drags over it, continuum marked, the rest wavelength, the
// shift to rest, the normalisation and the medium; the Measurements table,
// its export, and the observation that corrects velocities to the barycentre.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/procedures.h"
#include "app/view_contents.h"
#include "base/number_text.h"
#include "measure/barycentric.h"
#include "measure/continuum.h"
#include "imagefile/fits_import.h"
#include "measure/line_measure.h"
#include "measure/observation_text.h"
#include "measure/rest_lines.h"
#include "measure/shown_wavelength.h"
#include "measure/velocity.h"
#include "state/saving.h"

namespace lxr4 {

namespace {

constexpr std::string_view kCsvFilter = "CSV (*.csv)|*.csv";

std::string WithoutStop(const std::string& text) { return text.ends_with('.') ? text.substr(0, text.size() - 1) : text; }

double ToAngstrom(double x, ViewUnits units) { return units == ViewUnits::Nanometre ? x * 10 : x; }

// A number with `significant` digits at most, and no more decimals than `most`.
std::string Significant(double value, int significant, int most) {
  if (!std::isfinite(value)) return "";
  const int whole = value == 0 ? 1 : static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
  const int decimals = std::clamp(significant - whole, 0, most);
  return FormatNumber(value, decimals == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(decimals), '0'));
}
std::string Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "";
  return FormatNumber(value, decimals == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(decimals), '0'));
}

// The velocity of a line against its rest wavelength, both in the medium it
// was measured in, at its centre as observed (whatever shift the view showed).
std::optional<Measured> VelocityOf(const AppState& s, const MeasuredLine& m) {
  if (!m.restAngstrom) return std::nullopt;
  const WavelengthFrame observed{.calibratedInVacuum = ViewFrame(s).calibratedInVacuum, .vacuum = m.vacuum};
  const double centre = ShownWavelength(m.centreNative, observed);
  const auto v = DopplerVelocity(centre, *m.restAngstrom);
  if (!v.ok()) return std::nullopt;
  const double r = centre / *m.restAngstrom;
  const double slope = kSpeedOfLightKms / *m.restAngstrom * 4 * r / ((r * r + 1) * (r * r + 1));
  return Measured{v.kms, slope * m.centre.error};
}

// The observation as the object frame's header gives it.
ObservationFields HeaderObservation(const AppState& s) {
  if (s.Object.Loaded == kFalse) return {};
  const ImportNotes notes = ReadImportNotes(s.Object.HeaderBlock);
  return {notes.dateObs, notes.exposure ? ShortestText(*notes.exposure) : "", notes.ra, notes.dec,
          notes.latitude, notes.longitude, notes.height};
}

std::string* Field(ObservationFields& f, int i) {
  std::string* fields[] = {&f.date, &f.exposure, &f.ra, &f.dec, &f.latitude, &f.longitude, &f.height};
  return fields[i];
}
constexpr int kObservationFields = 7;
constexpr int kFirstSiteField = 4;

// Each field as typed, else the header's, else (for the site) the one kept
// from an earlier session.
ObservationFields EffectiveObservation(const Program& app) {
  ObservationFields typed = app.s.Observation, kept = app.w.KeptSite().value_or(ObservationFields{}),
                    header = HeaderObservation(app.s), out;
  for (int i = 0; i < kObservationFields; ++i) {
    const std::string* choice = !Field(typed, i)->empty()                               ? Field(typed, i)
                                : !Field(header, i)->empty() || i < kFirstSiteField ? Field(header, i)
                                                                                    : Field(kept, i);
    *Field(out, i) = *choice;
  }
  return out;
}

// What is wrong with a field typed, each read in a set that is otherwise
// sound; "" when nothing is (empty fields are not wrong: the header fills them).
std::string ObservationProblem(ObservationFields typed) {
  for (int i = 0; i < kObservationFields; ++i) {
    if (Field(typed, i)->empty()) continue;
    ObservationFields one{"2000-01-01", "0", "0", "0", "0", "0", "0"};
    *Field(one, i) = *Field(typed, i);
    if (const auto values = ReadObservation(one); !values.ok()) return WithoutStop(values.message);
  }
  return "";
}

// The barycentric correction of the object's observation, or why there is none.
struct Correction {
  std::optional<double> kms;
  std::string why;  // when there is none
};
Correction BarycentricOf(const Program& app) {
  const auto values = ReadObservation(EffectiveObservation(app));
  if (!values.ok()) return {std::nullopt, values.message};
  const auto correction = BarycentricVelocity(values.ToObservation());
  if (!correction.ok()) return {std::nullopt, correction.message};
  return {correction.kms, {}};
}

std::vector<std::string> RowTexts(const MeasuredLine& m) {
  const auto ew = m.equivalentWidth;
  const char* profiles[] = {"Gaussian", "Lorentzian", "Voigt"};
  return {Fixed(m.centre.value, 3),
          Fixed(m.centre.error, 3),
          Fixed(m.centroid.value, 3),
          Fixed(m.fwhm.value, 3),
          Fixed(m.fwhm.error, 3),
          ew ? Fixed(ew->value, 3) : "",
          ew ? Fixed(ew->error, 3) : "",
          Significant(m.flux.value, 6, 4),
          Significant(m.flux.error, 3, 4),
          Significant(m.peak.value, 6, 4),
          Fixed(m.snr.value, 1),
          m.restAngstrom ? Fixed(*m.restAngstrom, 3) : "",
          m.velocity ? Fixed(ReportedVelocity(m), 2) : "",
          m.velocity ? Fixed(m.velocity->error, 2) : "",
          m.barycentric ? Fixed(*m.barycentric, 3) : "",
          profiles[static_cast<int>(m.profile)]};
}

MeasurementTable TableOf(const Program& app) {
  const AppState& s = app.s;
  MeasurementTable table;
  for (const MeasuredLine& m : s.Measurements) table.rows.push_back(RowTexts(m));
  const Correction c = BarycentricOf(app);
  const bool any = std::any_of(s.Measurements.begin(), s.Measurements.end(),
                               [](const MeasuredLine& m) { return m.velocity.has_value(); });
  if (!any)
    table.summary = "Choose a rest wavelength in the Spectrum view for radial velocities.";
  else if (c.kms)
    table.summary = "Radial velocities corrected to the solar system's barycentre (" + Fixed(*c.kms, 3) + " km/s).";
  else
    table.summary = "Radial velocities as observed, not corrected to the barycentre: " + WithoutStop(c.why) +
                    " (Measure > Observation...).";
  return table;
}

void ShowTable(Program& app) { app.w.SetMeasurementTable(TableOf(app)); }

// The marked continuum range nearest a line on each side of it, as the view
// shows them (Angstrom); none unless there is one on each side.
std::optional<std::array<WavelengthRegion, 2>> ContinuumBeside(const AppState& s, double from, double to) {
  std::optional<WavelengthRegion> left, right;
  for (const auto& [a, b] : s.View.continuum) {
    const double x1 = ShownX(s, a, ViewUnits::Angstrom), x2 = ShownX(s, b, ViewUnits::Angstrom);
    const WavelengthRegion r{std::min(x1, x2), std::max(x1, x2)};
    if (r.max <= from && (!left || r.max > left->max)) left = r;
    if (r.min >= to && (!right || r.min < right->min)) right = r;
  }
  if (!left || !right) return std::nullopt;
  return std::array<WavelengthRegion, 2>{*left, *right};
}

void Measure(Program& app, const ViewContents& c, double x1, double x2) {
  AppState& s = app.s;
  const ViewUnits units = ShownUnits(s);
  if (units == ViewUnits::Pixel) {
    app.w.MessageBox("Lines are measured in wavelength: calibrate the spectrum first.");
    return;
  }
  // The view's first spectrum, as shown, in Angstrom and rising.
  const PlotCurve& curve = c.plot.curves.front();
  std::vector<double> x, y;
  for (std::size_t i = 0; i < curve.x.size(); ++i) x.push_back(ToAngstrom(curve.x[i], units));
  y = curve.y;
  if (x.size() > 1 && x.front() > x.back()) {
    std::reverse(x.begin(), x.end());
    std::reverse(y.begin(), y.end());
  }
  const double from = ToAngstrom(std::min(x1, x2), units), to = ToAngstrom(std::max(x1, x2), units);
  LineRequest request{x, y, {}, {from, to}, ContinuumBeside(s, from, to), LineProfile::Gaussian};
  request.profile = s.View.profile == MeasureProfile::Lorentzian ? LineProfile::Lorentzian
                    : s.View.profile == MeasureProfile::Voigt    ? LineProfile::PseudoVoigt
                                                                 : LineProfile::Gaussian;
  const auto result = MeasureLine(request);
  if (!result.ok()) {
    app.w.MessageBox("No measurement: " + result.message);
    return;
  }
  MeasuredLine m;
  const auto keep = [](const Estimate& e) { return Measured{e.value, e.error}; };
  m.centre = keep(result.centre);
  m.centroid = keep(result.centroid);
  m.fwhm = keep(result.fwhm);
  m.peak = keep(result.peak);
  m.flux = keep(result.flux);
  m.snr = keep(result.snr);
  if (result.equivalentWidth) m.equivalentWidth = keep(*result.equivalentWidth);
  m.profile = s.View.profile;
  m.vacuum = ViewFrame(s).vacuum;
  m.restAngstrom = s.View.rest;
  m.centreNative = NativeOfX(s, m.centre.value, ViewUnits::Angstrom);
  m.velocity = VelocityOf(s, m);
  m.barycentric = BarycentricOf(app).kms;
  m.regionNative = {NativeOfX(s, from, ViewUnits::Angstrom), NativeOfX(s, to, ViewUnits::Angstrom)};
  m.normalised = s.View.normalise;
  // The fitted profile on its continuum line, 4 points a sample.
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] < from || x[i] > to || i + 1 >= x.size()) continue;
    for (int k = 0; k < 4; ++k) {
      const double w = x[i] + (x[i + 1] - x[i]) * k / 4;
      if (w > to) break;
      const double shape = LineShape(request.profile, w - result.centre.value, result.fwhm.value,
                                     result.lorentzFraction.value);
      m.fitNative.push_back(NativeOfX(s, w, ViewUnits::Angstrom));
      m.fitY.push_back(result.continuumAtCentre + result.continuumSlope * (w - result.centre.value) +
                       result.peak.value * shape);
    }
  }
  s.Measurements.push_back(std::move(m));
  ShowTable(app);
  if (s.Measurements.size() == 1) app.w.ShowMeasurementTable();
}

void MarkContinuum(Program& app, double x1, double x2) {
  AppState& s = app.s;
  const ViewUnits units = ShownUnits(s);
  if (units == ViewUnits::Pixel) {
    app.w.MessageBox("Continuum is marked in wavelength: calibrate the spectrum first.");
    return;
  }
  const double a = NativeOfX(s, std::min(x1, x2), units), b = NativeOfX(s, std::max(x1, x2), units);
  s.View.continuum.emplace_back(std::min(a, b), std::max(a, b));
}

// Keeps the view on the same stretch of spectrum across a change of `change`
// (the medium or the shift), which moves every x.
template <typename Change>
void KeepingRange(AppState& s, Change change) {
  const ViewUnits units = ShownUnits(s);
  std::optional<double> from, to;
  if (s.View.from && s.View.to && units != ViewUnits::Pixel) {
    from = NativeOfX(s, *s.View.from, units);
    to = NativeOfX(s, *s.View.to, units);
  }
  change();
  if (from && to) {
    const double a = ShownX(s, *from, units), b = ShownX(s, *to, units);
    s.View.from = std::min(a, b);
    s.View.to = std::max(a, b);
  }
}

// The rest wavelength typed or chosen, in the medium shown: it goes with every
// line measured after, and the line measured last takes it too when it has none.
void SetRest(Program& app, const std::string& text) {
  AppState& s = app.s;
  const std::optional<double> rest = ReadRestWavelength(text, ViewFrame(s).vacuum);
  if (!rest && text.find_first_not_of(' ') != std::string::npos) {
    app.w.MessageBox("\"" + text +
                     "\" is no rest wavelength: type one in Angstrom, or choose a line from the list - "
                     "rest wavelength unchanged!");
    return;
  }
  s.View.restText = text;
  s.View.rest = rest;
  if (!s.Measurements.empty() && !s.Measurements.back().restAngstrom) {
    MeasuredLine& last = s.Measurements.back();
    last.restAngstrom = ReadRestWavelength(text, last.vacuum);
    last.velocity = VelocityOf(s, last);
    ShowTable(app);
  }
}

void SetShift(Program& app, const std::string& text, double kms) {
  AppState& s = app.s;
  if (!(std::fabs(kms) < kSpeedOfLightKms / 10)) {
    app.w.MessageBox("The shift must be a velocity in km/s below a tenth of the speed of light - shift unchanged!");
    return;
  }
  KeepingRange(s, [&] {
    s.View.shiftText = text;
    s.View.shiftKms = kms;
  });
}

// Why the view's first spectrum cannot be normalised as things stand; "" when it can.
std::string NormaliseProblem(const AppState& s) {
  if (ShownUnits(s) == ViewUnits::Pixel)
    return "A spectrum is normalised in wavelength: calibrate it first - not normalised!";
  std::vector<double> native, flux;
  const CameraImage& object = s.Object;
  if (object.Loaded != kFalse && !object.Native.empty()) {
    flux = object.Native;
    native = NativeOfPixels(s, flux.size());
  } else if (!s.Overlays.empty()) {
    native = s.Overlays.front().wavelength;
    flux = s.Overlays.front().flux;
  } else {
    return "There is no spectrum of an object to normalise - not normalised!";
  }
  const auto continuum = NormaliseContinuum(native, flux, NormalisationOptions(MarkedContinuum(s)));
  return continuum.ok() ? "" : "The spectrum could not be normalised: " + continuum.message + " - not normalised!";
}

}  // namespace

double ReportedVelocity(const MeasuredLine& m) {
  if (!m.velocity) return 0;
  return m.barycentric ? CorrectedVelocity(m.velocity->value, *m.barycentric) : m.velocity->value;
}

MeasureControls MeasureControlsOf(const AppState& s) {
  const bool vacuum = ViewFrame(s).vacuum;
  return {s.View.drag, s.View.profile, s.View.restText, s.View.shiftText, s.View.normalise, vacuum,
          RestChoices(vacuum)};
}

void MeasureView_Input(Program& app, const ViewInput& input) {
  AppState& s = app.s;
  SpectrumViewState& v = s.View;
  using K = ViewInput::Kind;
  switch (input.kind) {
    case K::Box: {
      const ViewContents c = ContentsOfView(s);
      if (c.empty) return;
      const PlotPicture picture = DrawSpectrumPlot(c.plot, v.width, v.height);
      const double x1 = ValueAtPixel(picture.area, input.x), x2 = ValueAtPixel(picture.area, input.x2);
      if (v.drag == DragMode::Measure) Measure(app, c, x1, x2);
      if (v.drag == DragMode::Continuum) MarkContinuum(app, x1, x2);
      return;
    }
    case K::Drag:
      v.drag = input.drag;
      return;
    case K::Profile:
      v.profile = input.profile;
      return;
    case K::Rest:
      SetRest(app, input.restText);
      return;
    case K::Shift: {
      const bool blank = input.shiftText.find_first_not_of(' ') == std::string::npos;
      const std::optional<double> kms = blank ? std::optional(0.0) : ParseDecimal(input.shiftText);
      if (!kms) {
        app.w.MessageBox("The shift must be a velocity in km/s - shift unchanged!");
        return;
      }
      SetShift(app, blank ? "" : input.shiftText, *kms);
      return;
    }
    case K::ShiftToRest: {
      const auto last = std::find_if(s.Measurements.rbegin(), s.Measurements.rend(),
                                     [](const MeasuredLine& m) { return m.velocity.has_value(); });
      if (last == s.Measurements.rend()) {
        app.w.MessageBox("Measure a line with a rest wavelength first: its velocity is the shift to rest.");
        return;
      }
      // The velocity as the box shows it, so that the box and the spectrum agree.
      const std::string text = Fixed(last->velocity->value, 2);
      SetShift(app, text, ParseDecimal(text).value_or(0));
      return;
    }
    case K::Normalise:
      if (input.normalise) {
        if (const std::string why = NormaliseProblem(s); !why.empty()) {
          app.w.MessageBox(why);
          return;
        }
      }
      v.normalise = input.normalise;
      return;
    case K::ClearContinuum:
      v.continuum.clear();
      return;
    case K::Medium:
      KeepingRange(s, [&] { v.vacuum = input.vacuum; });
      // A line chosen by name follows into the new medium.
      v.rest = ReadRestWavelength(v.restText, ViewFrame(s).vacuum);
      return;
    default:
      return;
  }
}

void measurements_Click(Program& app) {
  ShowTable(app);
  app.w.ShowMeasurementTable();
}

void MeasurementTable_Edit(Program& app, const MeasurementTableEdit& edit) {
  std::vector<MeasuredLine>& rows = app.s.Measurements;
  if (edit.kind == MeasurementTableEdit::Kind::Clear) {
    rows.clear();
  } else {
    std::vector<int> gone = edit.rows;
    std::sort(gone.begin(), gone.end(), std::greater<>());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    for (const int row : gone)
      if (row >= 0 && static_cast<std::size_t>(row) < rows.size()) rows.erase(rows.begin() + row);
  }
  ShowTable(app);
}

// Shows the observation in force; a field out of form is refused with a
// message and the dialog opens again. Fields left as the header has them
// follow the next frame's header; the site is kept for the next session.
void observation_Click(Program& app) {
  ObservationFields shown = EffectiveObservation(app);
  for (;;) {
    const std::optional<ObservationFields> answer = app.w.ObservationDialog(shown);
    if (!answer) return;
    if (const std::string problem = ObservationProblem(*answer); !problem.empty()) {
      app.w.MessageBox(problem + " - observation unchanged!");
      shown = *answer;
      continue;
    }
    ObservationFields typed = *answer, header = HeaderObservation(app.s), site;
    for (int i = 0; i < kObservationFields; ++i)
      if (*Field(typed, i) == *Field(header, i)) Field(typed, i)->clear();
    for (int i = kFirstSiteField; i < kObservationFields; ++i) *Field(site, i) = *Field(typed, i);
    app.s.Observation = typed;
    if (site != ObservationFields{}) app.w.KeepSite(site);
    const std::optional<double> correction = BarycentricOf(app).kms;
    for (MeasuredLine& m : app.s.Measurements) m.barycentric = correction;
    ShowTable(app);
    return;
  }
}

// The table as CSV: a line of headings, then a row per line measured.
void exportMeasurements_Click(Program& app) {
  const AppState& s = app.s;
  if (s.Measurements.empty()) {
    app.w.MessageBox("There are no measurements to export yet: drag over a line in the Spectrum view first.");
    return;
  }
  const std::optional<SaveAnswer> answer = app.w.SaveFileDialog(kCsvFilter);
  if (!answer) return;
  const MeasurementTable table = TableOf(app);
  const auto cell = [](std::string_view text) {
    std::string out(text);
    if (out.find_first_of(",\"") == std::string::npos) return out;
    std::string quoted = "\"";
    for (const char ch : out) quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
  };
  const std::array<std::string_view, 16> headings = {
      "centre_A", "centre_err_A", "centroid_A", "fwhm_A", "fwhm_err_A", "ew_A", "ew_err_A", "flux", "flux_err",
      "peak", "snr", "rest_A", "rv_kms", "rv_err_kms", "barycentric_kms", "profile"};
  std::string text;
  for (std::size_t i = 0; i < headings.size(); ++i) text += (i ? "," : "") + std::string(headings[i]);
  text += ",medium\r\n";
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    for (std::size_t i = 0; i < table.rows[r].size(); ++i) text += (i ? "," : "") + cell(table.rows[r][i]);
    text += s.Measurements[r].vacuum ? ",vacuum\r\n" : ",air\r\n";
  }
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (const FileError error = SaveFile(app, answer->path, bytes); error == FileError::None)
    app.w.SetCaption(Control::Lblwavelength, answer->path + " saved as CSV file");
  else
    app.w.MessageBox(SaveRefusal(error, answer->path));
}

}  // namespace lxr4
