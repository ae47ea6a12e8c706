#include "qt/driver/window_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QItemSelectionModel>
#include <QTableWidget>

#include "qt/calibration_dialogs.h"
#include "qt/measure_dialogs.h"
#include "qt/widgets.h"
#include "script/script_error.h"

namespace lxr4 {

namespace {

using K = ControlKind;

Rgb ToRgb(const QColor& c) {
  return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue())};
}

// A caption as the program gave it: the window shows its CR LF line breaks as line feeds.
std::string ProgramText(QString shown) {
  return shown.replace(QLatin1Char('\n'), QLatin1String("\r\n")).toStdString();
}

}  // namespace

// --- the window's events

void WindowDriver::OnEvent(Control control, Event event) {
  if (stop_ || program_ == nullptr) return;  // a stopping session runs nothing more
  try {
    program_->OnEvent(control, event);
  } catch (...) {
    Stop(std::current_exception());
  }
}

void WindowDriver::OnMenu(MenuItem item) {
  if (stop_ || program_ == nullptr) return;
  try {
    program_->OnMenu(item);
  } catch (...) {
    Stop(std::current_exception());
  }
}

void WindowDriver::OnLineTableEdit(const LineTableEdit& edit) {
  if (stop_ || program_ == nullptr) return;
  try {
    program_->OnLineTableEdit(edit);
  } catch (...) {
    Stop(std::current_exception());
  }
}

void WindowDriver::OnSpectrumView(const ViewInput& input) {
  if (stop_ || program_ == nullptr) return;
  try {
    program_->OnSpectrumView(input);
  } catch (...) {
    Stop(std::current_exception());
  }
}

void WindowDriver::OnMeasurementTableEdit(const MeasurementTableEdit& edit) {
  if (stop_ || program_ == nullptr) return;
  try {
    program_->OnMeasurementTableEdit(edit);
  } catch (...) {
    Stop(std::current_exception());
  }
}

std::optional<InstrumentFields> WindowDriver::InstrumentDialog(const InstrumentFields& current) {
  std::optional<InstrumentFields> answer = window_.InstrumentDialog(current);
  RaiseStop();
  return answer;
}

std::optional<LampFields> WindowDriver::LampDialog(const LampFields& current) {
  lampShown_ = current;
  std::optional<LampFields> answer = window_.LampDialog(current);
  RaiseStop();
  return answer;
}

std::optional<AutoStartFields> WindowDriver::AutoStartDialog(const AutoStartFields& current) {
  std::optional<AutoStartFields> answer = window_.AutoStartDialog(current);
  RaiseStop();
  return answer;
}

std::optional<ObservationFields> WindowDriver::ObservationDialog(const ObservationFields& current) {
  std::optional<ObservationFields> answer = window_.ObservationDialog(current);
  RaiseStop();
  return answer;
}

std::optional<std::vector<std::string>> WindowDriver::OpenFilesDialog(std::string_view filter) {
  std::optional<std::vector<std::string>> answer = window_.OpenFilesDialog(filter);
  RaiseStop();
  return answer;
}

std::optional<MastersFields> WindowDriver::MastersDialog(const MastersFields& current) {
  std::optional<MastersFields> answer = window_.MastersDialog(current);
  RaiseStop();
  return answer;
}

std::optional<ExtractionFields> WindowDriver::ExtractionDialog(const ExtractionFields& current) {
  std::optional<ExtractionFields> answer = window_.ExtractionDialog(current);
  RaiseStop();
  return answer;
}

std::optional<ResponseFields> WindowDriver::ResponseDialog(const ResponseFields& current) {
  std::optional<ResponseFields> answer = window_.ResponseDialog(current);
  RaiseStop();
  return answer;
}

namespace {
// The rows selected as a user's hand does: the first clicked, each other one added with Ctrl.
void SelectRows(QTableWidget* table, const std::vector<int>& rows) {
  table->clearSelection();
  for (const int row : rows)
    table->selectionModel()->select(table->model()->index(row, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
}  // namespace

// The rows selected and Remove pressed, or Clear pressed (which does nothing
// on an empty table).
void WindowDriver::EditMeasurementTable(const MeasurementTableEdit& edit) {
  MeasurementTableDialog* dialog = window_.MeasurementsDialog();
  if (!dialog->isVisible()) throw ScriptError("the Measurements table is not open");
  QTableWidget* table = dialog->Table();
  if (const auto problem = MeasurementTableEditProblem(edit, table->rowCount())) throw ScriptError(*problem);
  const bool remove = edit.kind == MeasurementTableEdit::Kind::Remove;
  if (remove) SelectRows(table, edit.rows);
  const char* button = remove ? kMeasurementRemoveName : kMeasurementClearName;
  dialog->findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
  Settle();
  RaiseStop();
}

// As a user's hand: the row's check box ticked or cleared, the rows selected
// and Remove pressed, or Clear pressed.
void WindowDriver::EditLineTable(const LineTableEdit& edit) {
  LineTableDialog* dialog = window_.LinesDialog();
  if (!dialog->isVisible()) throw ScriptError("the Lines and Residuals dialog is not open");
  QTableWidget* table = dialog->Table();
  if (const auto problem = LineTableEditProblem(edit, table->rowCount())) throw ScriptError(*problem);
  const auto press = [dialog](const char* name) {
    dialog->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
  };
  switch (edit.kind) {
    case LineTableEdit::Kind::Used: {
      QTableWidgetItem* used = table->item(edit.row, kUsedColumn);
      if ((used->checkState() == Qt::Checked) == edit.used) return;
      used->setCheckState(edit.used ? Qt::Checked : Qt::Unchecked);
      break;
    }
    case LineTableEdit::Kind::Remove:
      SelectRows(table, edit.rows);
      press(kRemoveLineName);
      break;
    case LineTableEdit::Kind::Clear:
      press(kClearLinesName);
      break;
  }
  Settle();
  RaiseStop();
}

void WindowDriver::Stop(std::exception_ptr reason) {
  if (!stop_) stop_ = std::move(reason);
}

void WindowDriver::RaiseStop() const {
  if (stop_) std::rethrow_exception(stop_);
}

void WindowDriver::RaiseDropped() { RaiseStop(); }

void WindowDriver::Settle() { QCoreApplication::processEvents(); }

// --- window calls that can run handlers: a handler that stopped the session
// stops its caller too, as it would have by unwinding through it.

void WindowDriver::SelectEntry(Control combo, int index) {
  window_.SelectEntry(combo, index);
  RaiseStop();
}

void WindowDriver::SetValue(Control scrollBar, int value) {
  window_.SetValue(scrollBar, value);
  RaiseStop();
}

void WindowDriver::SetMaximum(Control scrollBar, int maximum) {
  window_.SetMaximum(scrollBar, maximum);
  RaiseStop();
}

void WindowDriver::ShowDialog(Control form) {
  window_.ShowDialog(form);
  RaiseStop();
}

void WindowDriver::MessageBox(std::string_view text) {
  window_.MessageBox(text);
  RaiseStop();
}

bool WindowDriver::Ask(std::string_view text, Buttons buttons) {
  const bool yes = window_.Ask(text, buttons);
  RaiseStop();
  return yes;
}

std::optional<std::string> WindowDriver::InputBox(std::string_view prompt, std::string_view title,
                                                  std::string_view defaultText) {
  std::optional<std::string> answer = window_.InputBox(prompt, title, defaultText);
  RaiseStop();
  return answer;
}

std::optional<std::string> WindowDriver::OpenFileDialog(std::string_view filter, int filterIndex, int flags) {
  std::optional<std::string> answer = window_.OpenFileDialog(filter, filterIndex, flags);
  RaiseStop();
  return answer;
}

std::optional<SaveAnswer> WindowDriver::SaveFileDialog(std::string_view filter) {
  std::optional<SaveAnswer> answer = window_.SaveFileDialog(filter);
  RaiseStop();
  return answer;
}

std::optional<FitsImportFields> WindowDriver::FitsImportDialog(const FitsImportFields& shown) {
  std::optional<FitsImportFields> answer = window_.FitsImportDialog(shown);
  RaiseStop();
  return answer;
}

void WindowDriver::EndProgram() {
  window_.EndProgram();
  throw ProgramEnded{};
}

// --- the user's actions

void WindowDriver::Click(Control control) {
  static_cast<QAbstractButton*>(window_.Widget(control))->click();
  Settle();
}

void WindowDriver::Select(Control combo, int index) {
  ChooseEntry(static_cast<QComboBox*>(window_.Widget(combo)), index);
  Settle();
}

void WindowDriver::ChooseEntry(QComboBox* box, int index) {
  box->showPopup();
  QAbstractItemView* list = box->view();
  list->setCurrentIndex(box->model()->index(index, box->modelColumn()));
  for (const QEvent::Type type : {QEvent::ShortcutOverride, QEvent::KeyPress}) {
    if (!list->isVisible()) break;
    QKeyEvent enter(type, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &enter);
  }
}

void WindowDriver::Drag(Control scrollBar, int value) {
  auto* bar = static_cast<ScrollBar*>(window_.Widget(scrollBar));
  bar->setSliderDown(true);
  bar->DragThumbTo(value);
  Settle();
}

// Lets go of the thumb; one that is not held is taken and let go.
void WindowDriver::Release(Control scrollBar) {
  auto* bar = static_cast<ScrollBar*>(window_.Widget(scrollBar));
  bar->setSliderDown(true);
  bar->setSliderDown(false);
  Settle();
}

// An arrow or trough step that lands on `value`.
void WindowDriver::Set(Control scrollBar, int value) {
  static_cast<ScrollBar*>(window_.Widget(scrollBar))->setSliderPosition(value);
  Settle();
}

// The menu is opened from the menu bar, the item made current and taken with
// the Enter key; a checkable item toggles its tick on the way.
void WindowDriver::ChooseMenu(MenuItem item) {
  QMenu* menu = window_.MenuOf(item);
  window_.MenuBar()->setActiveAction(menu->menuAction());
  menu->setActiveAction(window_.MenuAction(item));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(menu, &enter);
  Settle();
}

void WindowDriver::Close() {
  window_.Widget(Control::Spectra)->close();
  Settle();
}

// --- the controls as they stand on the screen

ControlView WindowDriver::View(Control control) const {
  ControlView v;
  QWidget* widget = window_.Widget(control);
  switch (Info(control).kind) {
    case K::Label: {
      const auto* label = static_cast<const QLabel*>(widget);
      v.text = ProgramText(label->text());
      v.colour = ToRgb(label->palette().color(QPalette::WindowText));
      break;
    }
    case K::Button:
      v.text = ProgramText(static_cast<const QAbstractButton*>(widget)->text());
      break;
    case K::CheckBox:
    case K::OptionButton:
      v.on = static_cast<const QAbstractButton*>(widget)->isChecked();
      break;
    case K::ScrollBar: {
      const auto* bar = static_cast<const ScrollBar*>(widget);
      v.value = bar->value();
      v.minimum = bar->minimum();
      v.maximum = bar->maximum();
      break;
    }
    case K::ComboBox: {
      const auto* box = static_cast<const QComboBox*>(widget);
      v.index = box->currentIndex();
      v.entryCount = box->count();
      if (v.index >= 0) v.text = box->itemText(v.index).toStdString();
      break;
    }
    case K::TextBox:
      v.text = static_cast<const QLineEdit*>(widget)->text().toStdString();
      break;
    case K::Rectangle:
      v.colour = ToRgb(static_cast<const Outline*>(widget)->Colour());
      break;
    default:
      break;
  }
  return v;
}

}  // namespace lxr4
