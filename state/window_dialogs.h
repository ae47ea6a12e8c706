// The modal dialogs the program opens: messages, questions, input boxes, the
// file dialogs and its own settings dialogs. Each returns once it is closed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fits_import_fields.h"
#include "base/observation_fields.h"
#include "base/reduction_fields.h"

namespace lxr4 {

// The answer of a save-file dialog: the chosen path and the chosen file type,
// counted from 1 in the order of the dialog's filter.
struct SaveAnswer {
  std::string path;
  int type = 1;
};

// The two buttons of a question: Yes and No, or OK and Cancel.
enum class Buttons : std::uint8_t { YesNo, OkCancel };

// The fields of the Instrument dialog as typed; the pixel size empty for
// "the image header's".
struct InstrumentFields {
  std::string grooveDensity, deviationAngle, referenceColumn;
  bool correction = true;
  std::string pixelSize;

  friend bool operator==(const InstrumentFields&, const InstrumentFields&) = default;
};

// The Lamp dialog: a check box for each name offered (the gases, then the
// line list files loaded), those chosen ticked, and air or vacuum wavelengths.
struct LampFields {
  std::vector<std::string> offered, chosen;
  bool vacuum = false;

  friend bool operator==(const LampFields&, const LampFields&) = default;
};

// The automatic calibration's start as typed: the central wavelength (A), the
// dispersion (A per pixel, negative when the wavelength falls with the pixel)
// and how far either may be off (percent).
struct AutoStartFields {
  std::string centre, dispersion, tolerance = "20";

  friend bool operator==(const AutoStartFields&, const AutoStartFields&) = default;
};

class WindowDialogs {
 public:
  virtual void MessageBox(std::string_view text) = 0;
  // The typed text, or nullopt when cancelled.
  virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                              std::string_view defaultText) = 0;
  // A message box asking `text` with two buttons: true for Yes or OK, false
  // for No or Cancel (also when it is closed).
  [[nodiscard]] virtual bool Ask(std::string_view text, Buttons buttons) = 0;
  // The chosen path, or nullopt when cancelled.
  virtual std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex,
                                                    int flags) = 0;
  // The save-file dialog; `filter` as the open-file dialog's ("PDF (*.pdf)|*.pdf|..."),
  // its first type chosen at first. An existing file is replaced only once the
  // user has agreed to it. nullopt when cancelled.
  virtual std::optional<SaveAnswer> SaveFileDialog(std::string_view filter) = 0;
  // The FITS import settings dialog, showing `shown`: the fields as the user
  // left them, or nullopt when cancelled.
  virtual std::optional<FitsImportFields> FitsImportDialog(const FitsImportFields& shown) = 0;
  // The Instrument dialog, modal, its fields filled from `current`: the
  // fields as the user left them on OK, nullopt on Cancel. The program opens
  // it again with the fields as typed when it refuses them.
  virtual std::optional<InstrumentFields> InstrumentDialog(const InstrumentFields& current) = 0;
  // The Lamp dialog showing `current`: the names ticked and the air/vacuum
  // choice on OK (`offered` as shown), nullopt on Cancel.
  virtual std::optional<LampFields> LampDialog(const LampFields& current) = 0;
  // The automatic calibration's start dialog, filled from `current`: the
  // fields as typed on OK, nullopt on Cancel. Opened again when refused.
  virtual std::optional<AutoStartFields> AutoStartDialog(const AutoStartFields& current) = 0;
  // The Observation dialog, filled from `current`: the fields as typed on OK,
  // nullopt on Cancel. Opened again when refused.
  virtual std::optional<ObservationFields> ObservationDialog(const ObservationFields& current) = 0;
  // The open-file dialog choosing several files at once (the frames of a
  // stack): their paths in the order chosen, nullopt when cancelled.
  virtual std::optional<std::vector<std::string>> OpenFilesDialog(std::string_view filter) = 0;
  // The Masters, Extraction and Instrument Response dialogs, filled from
  // `current`: the fields as left on OK, nullopt on Cancel. Each is opened
  // again with the fields as typed when the program refuses them.
  virtual std::optional<MastersFields> MastersDialog(const MastersFields& current) = 0;
  virtual std::optional<ExtractionFields> ExtractionDialog(const ExtractionFields& current) = 0;
  virtual std::optional<ResponseFields> ResponseDialog(const ResponseFields& current) = 0;

 protected:
  ~WindowDialogs() = default;
};

}  // namespace lxr4
