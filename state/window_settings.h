// What the window keeps between runs where it can (the Qt window in the
// user's settings; a scripted window for the run only or not at all).
#pragma once

#include <optional>
#include <string>

#include "state/window_dialogs.h"

namespace lxr4 {

// An entry of File > Open Recent: a loaded image file and the slot it went to.
struct RecentFile {
  std::string path;
  bool calibration = false;  // loaded by "Load Cal", else by "Load Spectra"
};

class WindowSettings {
 public:
  // Remembers a loaded file for File > Open Recent (a note of the window's own,
  // kept between runs where the window can).
  virtual void AddRecentFile(const RecentFile& file) = 0;
  // The entry of File > Open Recent the user chose last; nullopt when none.
  [[nodiscard]] virtual std::optional<RecentFile> ChosenRecentFile() const = 0;

  // The FITS import settings the program keeps (as its words), kept between
  // runs where the window can; "" before the first.
  [[nodiscard]] virtual std::string FitsImportSetting() const = 0;
  virtual void KeepFitsImportSetting(const std::string& words) = 0;
  // The instrument settings kept between runs in the user's settings; a
  // window that keeps none (a scripted session) returns nullopt.
  [[nodiscard]] virtual std::optional<InstrumentFields> KeptInstrument() const { return std::nullopt; }
  virtual void KeepInstrument(const InstrumentFields&) {}
  // The observing site typed last in the Observation dialog (latitude,
  // longitude and height; the other fields empty), kept the same way.
  [[nodiscard]] virtual std::optional<ObservationFields> KeptSite() const { return std::nullopt; }
  virtual void KeepSite(const ObservationFields&) {}

 protected:
  ~WindowSettings() = default;
};

}  // namespace lxr4
