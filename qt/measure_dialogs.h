// The Measure menu's dialogs in the real window: the non-modal Measurements
// table and the modal Observation dialog. Their widgets carry object names,
// so that the window driver works them through their own widgets.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "base/measurement_table.h"
#include "base/observation_fields.h"

class QLabel;
class QTableWidget;

namespace lxr4 {

// Object names of the dialogs' widgets.
inline constexpr const char* kMeasurementsName = "measurements";
inline constexpr const char* kMeasurementTableName = "measurementTable";
inline constexpr const char* kMeasurementSummaryName = "measurementSummary";
inline constexpr const char* kMeasurementRemoveName = "measurementRemove";
inline constexpr const char* kMeasurementClearName = "measurementClear";
inline constexpr const char* kMeasurementExportName = "measurementExport";
inline constexpr const char* kObservationDialogName = "observationDialog";
inline constexpr const char* kObservationDateName = "observationDate";
inline constexpr const char* kObservationExposureName = "observationExposure";
inline constexpr const char* kObservationRaName = "observationRa";
inline constexpr const char* kObservationDecName = "observationDec";
inline constexpr const char* kObservationLatitudeName = "observationLatitude";
inline constexpr const char* kObservationLongitudeName = "observationLongitude";
inline constexpr const char* kObservationHeightName = "observationHeight";

// Shows the Observation dialog modally with `current` in its seven fields;
// the fields as left on OK, nullopt on Cancel.
std::optional<ObservationFields> RunObservationDialog(QWidget* parent, const ObservationFields& current);

class MeasurementTableDialog final : public QDialog {
 public:
  // `edit` receives the user's removals and Clear, `exportTable` the Export
  // button. Rows are selected as in a file list (Shift for a range, Ctrl for
  // one more); Remove takes every selected row at once; Clear on an empty
  // table does nothing.
  MeasurementTableDialog(QWidget* parent, std::function<void(const MeasurementTableEdit&)> edit,
                         std::function<void()> exportTable);
  // Shows `table` in place of what was shown.
  void SetTable(const MeasurementTable& table);
  [[nodiscard]] QTableWidget* Table() const { return table_; }

 private:
  std::function<void(const MeasurementTableEdit&)> edit_;
  QTableWidget* table_ = nullptr;
  QLabel* summary_ = nullptr;
};

}  // namespace lxr4
