#include "app/procedures.h"

namespace lxr4 {

void measurements_Click(Program&) {}
void observation_Click(Program&) {}
void exportMeasurements_Click(Program&) {}
void MeasurementTable_Edit(Program&, const MeasurementTableEdit&) {}

}  // namespace lxr4
