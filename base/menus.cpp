#include "base/menus.h"

#include <array>
#include <cstddef>

namespace lxr4 {

namespace {

using I = MenuItem;
using M = Menu;

constexpr MenuItemInfo Item(I id, std::string_view name, M menu, std::string_view caption,
                            std::string_view shortcut = {}) {
  return MenuItemInfo{.id = id, .name = name, .menu = menu, .caption = caption, .shortcut = shortcut};
}
constexpr MenuItemInfo Separated(MenuItemInfo item) {
  item.separatorBefore = true;
  return item;
}
constexpr MenuItemInfo Checkable(MenuItemInfo item) {
  item.checkable = true;
  return item;
}
constexpr MenuItemInfo RecentFiles(MenuItemInfo item) {
  item.recentFiles = true;
  return item;
}

// In the order of the enumeration. Within a menu, items show in this order;
// rows of different menus may follow each other in any order, so the
// Calibration menu's items can simply be appended.
constexpr std::array kItems{
    Item(I::OpenObject, "openObject", M::File, "&Open Spectrum Image...", "Ctrl+O"),
    Item(I::OpenCalibration, "openCalibration", M::File, "Open &Calibration Image...", "Ctrl+Shift+O"),
    Item(I::OpenStack, "openStack", M::File, "Open Stac&k of Spectrum Images..."),
    Item(I::OpenSpectrumFile, "openSpectrum", M::File, "Open Spectr&um..."),
    RecentFiles(Item(I::OpenRecent, "openRecent", M::File, "Open &Recent")),
    Item(I::FitsImport, "fitsImport", M::File, "FITS &Import..."),
    Separated(Item(I::ExportSpectrum, "exportSpectrum", M::File, "&Export Spectrum...", "Ctrl+E")),
    Separated(Item(I::PrintGraph, "printGraph", M::File, "&Print Graph", "Ctrl+P")),
    Item(I::PrintPdf, "printPdf", M::File, "Print to P&DF...", "Ctrl+Shift+P"),
    Separated(Item(I::Exit, "exit", M::File, "E&xit", "Ctrl+Q")),
    Item(I::UserGuide, "userGuide", M::Help, "&User Guide", "F1"),
    Item(I::About, "about", M::Help, "&About"),
    Item(I::Instrument, "instrument", M::Calibration, "&Instrument..."),
    Item(I::LinesAndResiduals, "linesAndResiduals", M::Calibration, "Lines and &Residuals..."),
    Separated(Item(I::AddLine, "addLine", M::Calibration, "&Add Line at Cursor", "Ctrl+M")),
    Item(I::LineList, "lineList", M::Calibration, "Line &List..."),
    Item(I::Lamp, "lamp", M::Calibration, "La&mp..."),
    Item(I::IdentifyLines, "identifyLines", M::Calibration, "I&dentify Lines"),
    Item(I::AutoCalibrate, "autoCalibrate", M::Calibration, "Calibrate Au&tomatically", "Ctrl+Shift+A"),
    Item(I::Reidentify, "reidentify", M::Calibration, "R&e-identify on This Lamp"),
    Separated(Item(I::FitGrating, "fitGrating", M::Calibration, "Fit &Grating")),
    Item(I::FitPolynomial1, "fitPolynomial1", M::Calibration, "Fit Polynomial, Order &1"),
    Item(I::FitPolynomial2, "fitPolynomial2", M::Calibration, "Fit Polynomial, Order &2"),
    Item(I::FitPolynomial3, "fitPolynomial3", M::Calibration, "Fit Polynomial, Order &3"),
    Item(I::FitPolynomial4, "fitPolynomial4", M::Calibration, "Fit Polynomial, Order &4"),
    Checkable(Item(I::ClipOutliers, "clipOutliers", M::Calibration, "&Clip Outliers")),
    Item(I::UseFit, "useFit", M::Calibration, "&Use This Fit"),
    Separated(Item(I::OpenCalibrationFile, "openCalibrationFile", M::Calibration, "&Open Calibration...")),
    Item(I::SaveCalibration, "saveCalibration", M::Calibration, "&Save Calibration..."),
    Item(I::ViewSpectrum, "viewSpectrum", M::View, "&Spectrum", "Ctrl+Shift+S"),
    Item(I::Measurements, "measurements", M::Measure, "&Measurements", "Ctrl+Shift+M"),
    Item(I::Observation, "observation", M::Measure, "&Observation..."),
    Item(I::ExportMeasurements, "exportMeasurements", M::Measure, "&Export Measurements..."),
    Item(I::Masters, "masters", M::Reduction, "&Masters..."),
    Item(I::Extraction, "extraction", M::Reduction, "&Extraction..."),
    Item(I::InstrumentResponse, "instrumentResponse", M::Reduction, "Instrument &Response..."),
};

constexpr bool InEnumOrder() {
  for (std::size_t i = 0; i < kItems.size(); ++i)
    if (static_cast<std::size_t>(kItems[i].id) != i) return false;
  return true;
}
static_assert(InEnumOrder(), "the menu table must follow the enumeration");

}  // namespace

std::span<const MenuItemInfo> AllMenuItems() { return kItems; }
const MenuItemInfo& Info(MenuItem item) { return kItems[static_cast<std::size_t>(item)]; }
std::string_view Name(MenuItem item) { return Info(item).name; }

std::optional<MenuItem> FindMenuItem(std::string_view name) {
  for (const MenuItemInfo& item : kItems)
    if (item.name == name) return item.id;
  return std::nullopt;
}

std::string_view MenuCaption(Menu menu) {
  switch (menu) {
    case Menu::File:
      return "&File";
    case Menu::View:
      return "&View";
    case Menu::Reduction:
      return "&Reduction";
    case Menu::Calibration:
      return "&Calibration";
    case Menu::Measure:
      return "&Measure";
    case Menu::Help:
      return "&Help";
  }
  return {};
}

}  // namespace lxr4
