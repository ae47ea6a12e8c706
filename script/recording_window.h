// RecordingWindow: wraps any Window, forwards every call to it, and writes the
// transcript line of each thing the program does. Questions the program asks
// (values, ticks, texts, bounds, text measures, file reads) are not written.
// Give the App this window, so that the lines of nested handlers come between
// the line that caused them and the caller's next line.
#pragma once

#include <optional>

#include "script/transcript.h"
#include "state/window.h"

namespace lxr4 {

class RecordingWindow final : public Window {
 public:
  RecordingWindow(Window& inner, Transcript& transcript) : inner_(inner), t_(transcript) {}

  void SetCaption(Control label, std::string_view text) override;
  void SetColour(Control control, Rgb colour) override;
  void AppendEntry(Control combo, std::string_view text) override;
  void SelectEntry(Control combo, int index) override;
  [[nodiscard]] int SelectedIndex(Control combo) const override { return inner_.SelectedIndex(combo); }
  [[nodiscard]] int Value(Control scrollBar) const override { return inner_.Value(scrollBar); }
  void SetValue(Control scrollBar, int value) override;
  void SetMaximum(Control scrollBar, int maximum) override;
  [[nodiscard]] bool Ticked(Control checkBox) const override { return inner_.Ticked(checkBox); }
  void SetOption(Control optionButton, bool selected) override;
  [[nodiscard]] std::string Text(Control textBox) const override { return inner_.Text(textBox); }
  void SetText(Control textBox, std::string_view text) override;
  [[nodiscard]] Bounds GetBounds(Control control) const override { return inner_.GetBounds(control); }
  void ShowDialog(Control form) override;
  void HideDialog(Control form) override;
  void PaintPoints(std::span<const PaintedPoint> points) override;
  void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) override;
  void ClearGraph() override;
  void MessageBox(std::string_view text) override;
  [[nodiscard]] bool Ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex, int flags) override;
  std::optional<SaveAnswer> SaveFileDialog(std::string_view filter) override;
  std::optional<FitsImportFields> FitsImportDialog(const FitsImportFields& shown) override;
  [[nodiscard]] std::string FitsImportSetting() const override { return inner_.FitsImportSetting(); }
  void KeepFitsImportSetting(const std::string& words) override { inner_.KeepFitsImportSetting(words); }
  // The menus' ticks, the recent files and the documents are the window's own
  // business and write nothing.
  [[nodiscard]] bool MenuTicked(MenuItem item) const override { return inner_.MenuTicked(item); }
  void AddRecentFile(const RecentFile& file) override { inner_.AddRecentFile(file); }
  [[nodiscard]] std::optional<RecentFile> ChosenRecentFile() const override {
    return inner_.ChosenRecentFile();
  }
  std::optional<InstrumentFields> InstrumentDialog(const InstrumentFields& current) override;
  std::optional<LampFields> LampDialog(const LampFields& current) override;
  std::optional<AutoStartFields> AutoStartDialog(const AutoStartFields& current) override;
  std::optional<ObservationFields> ObservationDialog(const ObservationFields& current) override;
  std::optional<std::vector<std::string>> OpenFilesDialog(std::string_view filter) override;
  std::optional<MastersFields> MastersDialog(const MastersFields& current) override;
  std::optional<ExtractionFields> ExtractionDialog(const ExtractionFields& current) override;
  std::optional<ResponseFields> ResponseDialog(const ResponseFields& current) override;
  void SetMeasurementTable(const MeasurementTable& table) override;
  void ShowMeasurementTable() override;
  // The kept settings are the window's own business, as the recent files.
  [[nodiscard]] std::optional<InstrumentFields> KeptInstrument() const override {
    return inner_.KeptInstrument();
  }
  void KeepInstrument(const InstrumentFields& fields) override { inner_.KeepInstrument(fields); }
  [[nodiscard]] std::optional<ObservationFields> KeptSite() const override { return inner_.KeptSite(); }
  void KeepSite(const ObservationFields& fields) override { inner_.KeepSite(fields); }
  void SetLineTable(const LineTable& table) override;
  void ShowLineTable() override;
  // Pictures write nothing (save-view checks them); controls write a line
  // only when they differ from the last ones written.
  void SetSpectrumView(const PlotPicture& picture) override { inner_.SetSpectrumView(picture); }
  void SetSpectrumViewControls(const ViewControls& controls) override;
  void ShowSpectrumView() override;
  [[nodiscard]] ViewSize SpectrumViewSize() const override { return inner_.SpectrumViewSize(); }
  [[nodiscard]] std::string UserGuidePath() const override { return inner_.UserGuidePath(); }
  [[nodiscard]] bool OpenDocument(const std::string& path) override { return inner_.OpenDocument(path); }
  [[nodiscard]] lxr4::Printer& Printer() override { return printer_; }
  [[nodiscard]] FileStore& Files() override { return files_; }
  void EndProgram() override;

 private:
  // The inner window's printer (asked each time: a driven window can change it),
  // writing the line of each operation after it.
  class RecordingPrinter final : public lxr4::Printer {
   public:
    RecordingPrinter(Window& inner, Transcript& transcript) : inner_(inner), t_(transcript) {}
    [[nodiscard]] bool Setup(int value) override;
    [[nodiscard]] std::optional<PageSize> Size() override;
    [[nodiscard]] std::optional<TextSize> Measure(std::string_view text) override;
    [[nodiscard]] bool Text(Num x, Num y, std::string_view text) override;
    [[nodiscard]] bool Line(Num x1, Num y1, Num x2, Num y2) override;
    [[nodiscard]] bool End() override;
    void Abort() override { inner_.Printer().Abort(); }
    [[nodiscard]] bool Installed() const override { return inner_.Printer().Installed(); }
    void SendToPdf(const std::string& path) override { inner_.Printer().SendToPdf(path); }

   private:
    // Writes `line`, or "printer error" when the operation failed; passes `ok` on.
    bool Record(bool ok, const std::string& line);

    Window& inner_;
    Transcript& t_;
  };

  // The inner window's files, writing the line of each file written.
  class RecordingFiles final : public FileStore {
   public:
    RecordingFiles(Window& inner, Transcript& transcript) : inner_(inner), t_(transcript) {}
    [[nodiscard]] FileRead ReadFile(const std::string& path, std::size_t maxBytes) override {
      return inner_.Files().ReadFile(path, maxBytes);
    }
    [[nodiscard]] FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    [[nodiscard]] bool SameFile(const std::string& a, const std::string& b) const override {
      return inner_.Files().SameFile(a, b);
    }

   private:
    Window& inner_;
    Transcript& t_;
  };

  Window& inner_;
  Transcript& t_;
  std::optional<ViewControls> viewControls_;  // the view's controls written last (without the measuring row)
  MeasureControls measureControls_;           // the measuring row written last
  RecordingPrinter printer_{inner_, t_};
  RecordingFiles files_{inner_, t_};
};

}  // namespace lxr4
