// The menu bar of the main window: its menus and items, their object names,
// captions, shortcuts and whether they carry a tick. Both window
// implementations build their menus from this table; choosing an item
// delivers it to the program (EventSink::OnMenu), which routes it to its
// handler in app/routing.cpp. Adding an item is one enumerator, one row of
// the table (menus.cpp) and one case in the routing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lxr4 {

enum class MenuItem : std::uint8_t {
  OpenObject, OpenCalibration, OpenStack, OpenSpectrumFile, OpenRecent, FitsImport, ExportSpectrum, PrintGraph, PrintPdf, Exit,
  UserGuide, About,
  Instrument, LinesAndResiduals, AddLine, LineList, Lamp, IdentifyLines, AutoCalibrate, Reidentify, FitGrating,
  FitPolynomial1, FitPolynomial2, FitPolynomial3, FitPolynomial4, ClipOutliers, UseFit,
  OpenCalibrationFile, SaveCalibration, ViewSpectrum,
  Measurements, Observation, ExportMeasurements,
  Masters, Extraction, InstrumentResponse,
};

// The menus of the bar, left to right; a menu without items is not shown.
enum class Menu : std::uint8_t { File, View, Reduction, Calibration, Measure, Help };

struct MenuItemInfo {
  MenuItem id;
  std::string_view name;     // object name, as scripts choose it (`menu NAME`)
  Menu menu;
  std::string_view caption;  // '&' marks the access key
  std::string_view shortcut = {};  // portable key text ("Ctrl+O"), empty for none
  bool checkable = false;    // choosing it toggles its tick before its handler runs
  bool separatorBefore = false;
  bool recentFiles = false;  // a submenu of the recently loaded files, not an item
};

std::span<const MenuItemInfo> AllMenuItems();
const MenuItemInfo& Info(MenuItem item);
std::string_view Name(MenuItem item);
std::optional<MenuItem> FindMenuItem(std::string_view name);
// The menu's caption ("&File").
std::string_view MenuCaption(Menu menu);

}  // namespace lxr4
