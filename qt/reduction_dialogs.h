// The Reduction menu's dialogs in the real window: the modal Masters,
// Extraction and Instrument Response dialogs. Their widgets carry object
// names, so that the window driver answers them through their own fields.
#pragma once

#include <optional>

#include "base/reduction_fields.h"

class QWidget;

namespace lxr4 {

class OpenFolder;

// Object names of the dialogs' widgets. A file field's button that chooses
// its files is named as the field with kChooseSuffix added.
inline constexpr const char* kChooseSuffix = "Choose";
inline constexpr const char* kMastersDialogName = "mastersDialog";
inline constexpr const char* kBiasFramesName = "biasFrames";
inline constexpr const char* kDarkFramesName = "darkFrames";
inline constexpr const char* kFlatFramesName = "flatFrames";
inline constexpr const char* kBiasMasterName = "biasMaster";
inline constexpr const char* kDarkMasterName = "darkMaster";
inline constexpr const char* kFlatMasterName = "flatMaster";
inline constexpr const char* kMastersCombineName = "mastersCombine";
inline constexpr const char* kMastersSigmaName = "mastersSigma";
inline constexpr const char* kExtractionDialogName = "extractionDialog";
inline constexpr const char* kExtractionMethodName = "extractionMethod";
inline constexpr const char* kExtractionApertureName = "extractionAperture";
inline constexpr const char* kExtractionSkyName = "extractionSky";
inline constexpr const char* kExtractionSkyOffsetName = "extractionSkyOffset";
inline constexpr const char* kExtractionSkyWidthName = "extractionSkyWidth";
inline constexpr const char* kExtractionCosmicRaysName = "extractionCosmicRays";
inline constexpr const char* kExtractionStackName = "extractionStack";
inline constexpr const char* kResponseDialogName = "responseDialog";
inline constexpr const char* kResponseModeName = "responseMode";
inline constexpr const char* kResponseReferenceName = "responseReference";
inline constexpr const char* kResponseFileName = "responseFile";
inline constexpr const char* kResponseSmoothingName = "responseSmoothing";
inline constexpr const char* kResponseMaskLinesName = "responseMaskLines";

// Each shows its dialog modally with `current` in its fields: the fields as
// left on OK, nullopt on Cancel. The file buttons start in the folder of the
// field's file, else where `folder` says, and remember the folder chosen; a
// path chosen within the working folder is written from there. Each choice
// is a combo box whose entries come in the order its enum declares them.
std::optional<MastersFields> RunMastersDialog(QWidget* parent, OpenFolder& folder,
                                              const MastersFields& current);
std::optional<ExtractionFields> RunExtractionDialog(QWidget* parent, const ExtractionFields& current);
std::optional<ResponseFields> RunResponseDialog(QWidget* parent, OpenFolder& folder,
                                                const ResponseFields& current);

// The fields a dialog above shows now, read from its widgets by name.
[[nodiscard]] MastersFields ShownMasters(const QWidget& dialog);
[[nodiscard]] ExtractionFields ShownExtraction(const QWidget& dialog);
[[nodiscard]] ResponseFields ShownResponse(const QWidget& dialog);

}  // namespace lxr4
