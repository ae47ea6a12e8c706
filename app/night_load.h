// Loading a FITS frame through the night's reduction: the frame calibrated by
// the masters in force, cleaned of cosmic rays, and an object's spectrum
// taken along its trace less the sky, before the import makes the camera
// image every other step works on. Also the stack of several object frames.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "night/night_frame.h"
#include "state/program.h"

namespace lxr4 {

inline constexpr std::string_view kLoadFailed = "File not loaded successfully";
inline constexpr std::string_view kFitsUnavailable =
    "FITS support is unavailable: the FITS decoder (lxr4-fits-decoder) is missing beside the program "
    "or cannot be started";
// A FITS frame is read whole, up to 1 GiB.
inline constexpr std::size_t kMaxFrameFileBytes = std::size_t{1} << 30;

// The file's name without its folders, as messages and provenance name it.
[[nodiscard]] inline std::string LeafName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// Why `path` could not be read, for a message.
[[nodiscard]] inline std::string ReadProblem(const FileRead& read, const std::string& path, std::size_t maxBytes) {
  const std::string refusal = ReadRefusal(read, path, maxBytes);
  return refusal.empty() ? path + " could not be read." : refusal;
}

// The camera image file of a load: its bytes, or the bytes the FITS frame in
// it imports to, with the label of the slot; a message when it cannot be had.
struct ImageBytes {
  std::optional<std::vector<std::uint8_t>> file;
  std::string label, refusal;
  int columnBin = 1;  // frame pixels per image column
  // A FITS frame's swath at full resolution and where the image's columns lie on it.
  DetectorMap detector;
  std::vector<float> swath;
  // The night's reduction of it (CameraImage's fields of the same names).
  std::vector<std::string> reduction;
  int stacked = 0;
  std::vector<double> reduced;
  ApertureDrawing aperture;
};

// True when a FITS frame loaded into `slot` goes through the night's reduction:
// masters are in force, or an object is to be traced or cleaned.
[[nodiscard]] bool NightReductionOn(const AppState& s, Slot slot);

// The masters and the extraction as the dialogs left them.
[[nodiscard]] NightMasters MastersInForce(const AppState& s);
[[nodiscard]] NightExtraction ExtractionInForce(const AppState& s);

// The FITS frame `bytes` of `path` reduced and imported.
[[nodiscard]] ImageBytes ReadNightImage(const AppState& s, Slot slot, Window& w, const std::string& path,
                                        std::span<const std::uint8_t> bytes);

// A reduced frame (or stack) imported; `label` names it in the slot's caption.
[[nodiscard]] ImageBytes ImportNightFrame(const NightFrame& frame, const Window& w, std::string label);

// Puts the image `read` gives into the slot, as File > Open does (load.cpp).
void PlaceImage(Program& app, Slot slot, const std::string& path, const std::function<ImageBytes()>& read);

}  // namespace lxr4
