// The Calibration menu's dialogs in the real window: the modal Instrument,
// Lamp and automatic calibration dialogs, and the non-modal Lines and Residuals dialog. Their widgets carry
// object names, so that the window driver answers them through their fields.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "base/line_table.h"
#include "state/window.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace lxr4 {

// Object names of the dialogs' widgets.
inline constexpr const char* kInstrumentDialogName = "instrumentDialog";
inline constexpr const char* kGrooveDensityName = "grooveDensity";
inline constexpr const char* kDeviationAngleName = "deviationAngle";
inline constexpr const char* kReferenceColumnName = "referenceColumn";
inline constexpr const char* kCorrectionName = "correction";
inline constexpr const char* kPixelSizeName = "pixelSize";
inline constexpr const char* kLineTableName = "lineTable";
inline constexpr const char* kRemoveLineName = "removeLine";
inline constexpr const char* kClearLinesName = "clearLines";
inline constexpr int kUsedColumn = 6;
inline constexpr const char* kLampDialogName = "lampDialog";
inline constexpr const char* kLampBoxPrefix = "lamp_";  // + the name: each name's check box
inline constexpr const char* kVacuumName = "vacuumWavelengths";
inline constexpr const char* kAutoStartDialogName = "autoStartDialog";
inline constexpr const char* kAutoCentreName = "autoCentre";
inline constexpr const char* kAutoDispersionName = "autoDispersion";
inline constexpr const char* kAutoToleranceName = "autoTolerance";

// Shows the Instrument dialog modally with `current` in its fields; the fields
// as left on OK, nullopt on Cancel.
std::optional<InstrumentFields> RunInstrumentDialog(QWidget* parent, const InstrumentFields& current);

// The Lamp dialog: a check box for each name offered, and air or vacuum.
std::optional<LampFields> RunLampDialog(QWidget* parent, const LampFields& current);
// The automatic calibration's start: central wavelength, dispersion, tolerance.
std::optional<AutoStartFields> RunAutoStartDialog(QWidget* parent, const AutoStartFields& current);

class LineTableDialog final : public QDialog {
 public:
  // `edit` receives the user's ticks, removals and Clear. Rows are selected
  // as in a file list (Shift for a range, Ctrl for one more); Remove takes
  // every selected row at once.
  LineTableDialog(QWidget* parent, std::function<void(const LineTableEdit&)> edit);
  // Shows `table`, changing rows in place (an edit's own row is not replaced under it).
  void SetTable(const LineTable& table);
  [[nodiscard]] QTableWidget* Table() const { return table_; }

 private:
  std::function<void(const LineTableEdit&)> edit_;
  QTableWidget* table_ = nullptr;
  QLabel* summary_ = nullptr;
  bool filling_ = false;
};

}  // namespace lxr4
