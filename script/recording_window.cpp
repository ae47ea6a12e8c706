#include "script/recording_window.h"

#include "base/quoted_text.h"
#include "script/reduction_answers.h"
#include "script/view_actions.h"

namespace lxr4 {

namespace {
std::string N(Control c) { return std::string(Name(c)); }
std::string Nums(std::initializer_list<Num> values) {
  std::string out;
  for (const Num& v : values) {
    if (!out.empty()) out += ' ';
    out += v.Text();
  }
  return out;
}
std::string Answer(const std::optional<std::string>& answer) {
  return answer ? " -> " + Quoted(*answer) : std::string(" -> cancel");
}
}  // namespace

void RecordingWindow::SetCaption(Control label, std::string_view text) {
  t_.Line("caption " + N(label) + ' ' + Quoted(text));
  inner_.SetCaption(label, text);
}

void RecordingWindow::SetColour(Control control, Rgb colour) {
  t_.Line("colour " + N(control) + ' ' + ColourText(colour));
  inner_.SetColour(control, colour);
}

void RecordingWindow::AppendEntry(Control combo, std::string_view text) {
  t_.Line("append " + N(combo) + ' ' + Quoted(text));
  inner_.AppendEntry(combo, text);
}

void RecordingWindow::SelectEntry(Control combo, int index) {
  t_.Line("select " + N(combo) + ' ' + std::to_string(index));
  inner_.SelectEntry(combo, index);
}

void RecordingWindow::SetValue(Control scrollBar, int value) {
  t_.Line("value " + N(scrollBar) + ' ' + std::to_string(value));
  inner_.SetValue(scrollBar, value);
}

void RecordingWindow::SetMaximum(Control scrollBar, int maximum) {
  t_.Line("maximum " + N(scrollBar) + ' ' + std::to_string(maximum));
  inner_.SetMaximum(scrollBar, maximum);
}

void RecordingWindow::SetOption(Control optionButton, bool selected) {
  t_.Line("option " + N(optionButton) + (selected ? " selected" : " clear"));
  inner_.SetOption(optionButton, selected);
}

void RecordingWindow::SetText(Control textBox, std::string_view text) {
  t_.Line("text " + N(textBox) + ' ' + Quoted(text));
  inner_.SetText(textBox, text);
}

void RecordingWindow::ShowDialog(Control form) {
  t_.Line("show-dialog " + N(form));
  inner_.ShowDialog(form);
}

void RecordingWindow::HideDialog(Control form) {
  t_.Line("hide-dialog " + N(form));
  inner_.HideDialog(form);
}

void RecordingWindow::PaintPoints(std::span<const PaintedPoint> points) {
  t_.Points(points.size());
  inner_.PaintPoints(points);
}

void RecordingWindow::DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) {
  t_.Line("line " + N(surface) + ' ' + Nums({x1, y1, x2, y2}) + ' ' + ColourText(colour));
  inner_.DrawLine(surface, x1, y1, x2, y2, colour);
}

void RecordingWindow::ClearGraph() {
  t_.Line("clear Picgraph");
  inner_.ClearGraph();
}

void RecordingWindow::MessageBox(std::string_view text) {
  t_.Line("msgbox " + Quoted(text));
  inner_.MessageBox(text);
}

bool RecordingWindow::Ask(std::string_view text, Buttons buttons) {
  const bool yes = inner_.Ask(text, buttons);
  const char* answer = buttons == Buttons::YesNo ? (yes ? "yes" : "no") : (yes ? "ok" : "cancel");
  t_.Line("question " + Quoted(text) + " -> " + answer);
  return yes;
}

std::optional<std::string> RecordingWindow::InputBox(std::string_view prompt, std::string_view title,
                                                     std::string_view defaultText) {
  std::optional<std::string> answer = inner_.InputBox(prompt, title, defaultText);
  t_.Line("input " + Quoted(prompt) + ' ' + Quoted(title) + ' ' + Quoted(defaultText) + Answer(answer));
  return answer;
}

std::optional<std::string> RecordingWindow::OpenFileDialog(std::string_view filter, int filterIndex,
                                                           int flags) {
  std::optional<std::string> answer = inner_.OpenFileDialog(filter, filterIndex, flags);
  t_.Line("open-dialog " + Quoted(filter) + ' ' + std::to_string(filterIndex) + ' ' + std::to_string(flags) +
          Answer(answer));
  return answer;
}

std::optional<SaveAnswer> RecordingWindow::SaveFileDialog(std::string_view filter) {
  std::optional<SaveAnswer> answer = inner_.SaveFileDialog(filter);
  t_.Line("save-dialog " + Quoted(filter) +
          (answer ? " -> " + Quoted(answer->path) + ' ' + std::to_string(answer->type) : " -> cancel"));
  return answer;
}

std::optional<FitsImportFields> RecordingWindow::FitsImportDialog(const FitsImportFields& shown) {
  std::optional<FitsImportFields> answer = inner_.FitsImportDialog(shown);
  t_.Line("fits-import-dialog " + Quoted(FitsImportWords(shown)) +
          (answer ? " -> " + Quoted(FitsImportWords(*answer)) : " -> cancel"));
  return answer;
}

namespace {
std::string FieldsText(const InstrumentFields& f) {
  return Quoted(f.grooveDensity) + ' ' + Quoted(f.deviationAngle) + ' ' + Quoted(f.referenceColumn) + ' ' +
         (f.correction ? "on" : "off") + ' ' + Quoted(f.pixelSize);
}
}  // namespace

std::optional<InstrumentFields> RecordingWindow::InstrumentDialog(const InstrumentFields& current) {
  std::optional<InstrumentFields> answer = inner_.InstrumentDialog(current);
  t_.Line("instrument-dialog " + FieldsText(current) +
          (answer ? " -> " + FieldsText(*answer) : " -> cancel"));
  return answer;
}

namespace {
std::string LampText(const LampFields& f) {
  std::string text = f.vacuum ? "vacuum" : "air";
  for (const std::string& name : f.chosen) text += ' ' + Quoted(name);
  return text;
}
std::string StartText(const AutoStartFields& f) {
  return Quoted(f.centre) + ' ' + Quoted(f.dispersion) + ' ' + Quoted(f.tolerance);
}
}  // namespace

std::optional<LampFields> RecordingWindow::LampDialog(const LampFields& current) {
  std::optional<LampFields> answer = inner_.LampDialog(current);
  std::string offered;
  for (const std::string& name : current.offered) offered += (offered.empty() ? "" : " ") + name;
  t_.Line("lamp-dialog " + Quoted(offered) + ' ' + LampText(current) +
          (answer ? " -> " + LampText(*answer) : " -> cancel"));
  return answer;
}

std::optional<AutoStartFields> RecordingWindow::AutoStartDialog(const AutoStartFields& current) {
  std::optional<AutoStartFields> answer = inner_.AutoStartDialog(current);
  t_.Line("autocal-dialog " + StartText(current) + (answer ? " -> " + StartText(*answer) : " -> cancel"));
  return answer;
}

namespace {
std::string ObservationText(const ObservationFields& f) {
  std::string text;
  for (const std::string* field : {&f.date, &f.exposure, &f.ra, &f.dec, &f.latitude, &f.longitude, &f.height})
    text += (text.empty() ? "" : " ") + Quoted(*field);
  return text;
}
}  // namespace

std::optional<ObservationFields> RecordingWindow::ObservationDialog(const ObservationFields& current) {
  std::optional<ObservationFields> answer = inner_.ObservationDialog(current);
  t_.Line("observation-dialog " + ObservationText(current) +
          (answer ? " -> " + ObservationText(*answer) : " -> cancel"));
  return answer;
}

std::optional<std::vector<std::string>> RecordingWindow::OpenFilesDialog(std::string_view filter) {
  std::optional<std::vector<std::string>> answer = inner_.OpenFilesDialog(filter);
  std::string line = "open-files-dialog " + Quoted(filter) + " ->";
  if (!answer) line += " cancel";
  for (const std::string& path : answer.value_or(std::vector<std::string>{})) line += ' ' + Quoted(path);
  t_.Line(line);
  return answer;
}

std::optional<MastersFields> RecordingWindow::MastersDialog(const MastersFields& current) {
  std::optional<MastersFields> answer = inner_.MastersDialog(current);
  t_.Line("masters-dialog " + MastersText(current) + (answer ? " -> " + MastersText(*answer) : " -> cancel"));
  return answer;
}

std::optional<ExtractionFields> RecordingWindow::ExtractionDialog(const ExtractionFields& current) {
  std::optional<ExtractionFields> answer = inner_.ExtractionDialog(current);
  t_.Line("extraction-dialog " + ExtractionText(current) +
          (answer ? " -> " + ExtractionText(*answer) : " -> cancel"));
  return answer;
}

std::optional<ResponseFields> RecordingWindow::ResponseDialog(const ResponseFields& current) {
  std::optional<ResponseFields> answer = inner_.ResponseDialog(current);
  t_.Line("response-dialog " + ResponseText(current) + (answer ? " -> " + ResponseText(*answer) : " -> cancel"));
  return answer;
}

// As the lines table: its summary, then each row's texts (from 1).
void RecordingWindow::SetMeasurementTable(const MeasurementTable& table) {
  t_.Line("measurements " + std::to_string(table.rows.size()) + ' ' + Quoted(table.summary));
  int n = 0;
  for (const std::vector<std::string>& row : table.rows) {
    std::string line = "measurement-row " + std::to_string(++n);
    for (const std::string& cell : row) line += ' ' + Quoted(cell);
    t_.Line(line);
  }
  inner_.SetMeasurementTable(table);
}

void RecordingWindow::ShowMeasurementTable() {
  t_.Line("show-dialog measurements");
  inner_.ShowMeasurementTable();
}

// The whole table, a line for its summary and one for each row (from 1).
void RecordingWindow::SetLineTable(const LineTable& table) {
  t_.Line("table " + std::to_string(table.rows.size()) + ' ' + Quoted(table.summary));
  int n = 0;
  for (const LineTableRow& r : table.rows)
    t_.Line("table-row " + std::to_string(++n) + ' ' + Quoted(r.wavelength) + ' ' + Quoted(r.label) + ' ' +
            Quoted(r.centroid) + ' ' + Quoted(r.fitted) + ' ' + Quoted(r.residual) + ' ' +
            Quoted(r.residualPixels) + (r.used ? " used" : " unused"));
  inner_.SetLineTable(table);
}

void RecordingWindow::ShowLineTable() {
  t_.Line("show-dialog linesAndResiduals");
  inner_.ShowLineTable();
}

namespace {
// A typed text as one word: quoted when it holds a blank, a quote or a control character.
std::string Word(const std::string& text) {
  for (const char c : text)
    if (c == ' ' || c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return Quoted(text);
  return text;
}
const char* OnOff(bool on) { return on ? "on" : "off"; }
}  // namespace

// The view's controls, and its measuring row on a line of its own, each
// written when it differs from the one written last (the row's defaults
// before the first), so a session that does not measure writes none.
void RecordingWindow::SetSpectrumViewControls(const ViewControls& c) {
  MeasureControls row = c.measure;
  row.restChoices.clear();  // the same list always
  if (measureControls_ != row) {
    const MeasureControls& m = row;
    measureControls_ = m;
    t_.Line("view-measure-controls drag=" + std::string(DragModeWord(m.drag)) +
            " profile=" + std::string(ProfileWord(m.profile)) + " rest=" + Word(m.restText) +
            " shift=" + Word(m.shiftText) + " normalise=" + OnOff(m.normalise) +
            " medium=" + (m.vacuum ? "vacuum" : "air"));
  }
  ViewControls plain = c;
  plain.measure = {};
  if (viewControls_ != plain) {
    viewControls_ = plain;
    t_.Line("view-controls units=" + std::string(ViewUnitsWord(c.units)) + " from=" + Word(c.fromText) +
            " to=" + Word(c.toText) + " object=" + OnOff(c.showObject) + " lamp=" + OnOff(c.showLamp) +
            " scale=" + OnOff(c.scaleOverlays));
  }
  inner_.SetSpectrumViewControls(c);
}

void RecordingWindow::ShowSpectrumView() {
  t_.Line("show-dialog spectrumView");
  inner_.ShowSpectrumView();
}

bool RecordingWindow::RecordingPrinter::Record(bool ok, const std::string& line) {
  t_.Line(ok ? line : "printer error");
  return ok;
}

bool RecordingWindow::RecordingPrinter::Setup(int value) {
  return Record(inner_.Printer().Setup(value), "printer setup " + std::to_string(value));
}

std::optional<PageSize> RecordingWindow::RecordingPrinter::Size() {
  std::optional<PageSize> size = inner_.Printer().Size();
  Record(size.has_value(), size ? "printer size " + Nums({size->width, size->height}) : "");
  return size;
}

// A measure is a question and writes nothing, unless it fails.
std::optional<TextSize> RecordingWindow::RecordingPrinter::Measure(std::string_view text) {
  std::optional<TextSize> size = inner_.Printer().Measure(text);
  if (!size) t_.Line("printer error");
  return size;
}

bool RecordingWindow::RecordingPrinter::Text(Num x, Num y, std::string_view text) {
  return Record(inner_.Printer().Text(x, y, text), "printer text " + Nums({x, y}) + ' ' + Quoted(text));
}

bool RecordingWindow::RecordingPrinter::Line(Num x1, Num y1, Num x2, Num y2) {
  return Record(inner_.Printer().Line(x1, y1, x2, y2), "printer line " + Nums({x1, y1, x2, y2}));
}

bool RecordingWindow::RecordingPrinter::End() { return Record(inner_.Printer().End(), "printer end"); }

FileError RecordingWindow::RecordingFiles::WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  const FileError result = inner_.Files().WriteFile(path, bytes);
  if (result == FileError::None) t_.Line("write " + Quoted(path) + ' ' + std::to_string(bytes.size()));
  return result;
}

void RecordingWindow::EndProgram() {
  t_.Line("exit");
  t_.Finish();
  inner_.EndProgram();
}

}  // namespace lxr4
