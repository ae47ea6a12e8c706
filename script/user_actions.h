// What a session script asks of a window: the user's actions, the answers
// queued for modal dialogs, the printer set-up, and the questions about the
// controls and surfaces. The script runner talks only to this interface, so the
// same scripts can drive the scripted window or a real one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/controls.h"
#include "platform/surface.h"
#include "script/view_actions.h"
#include "state/window.h"

namespace lxr4 {

// A control as it stands, for `show`; only the members of its kind matter.
struct ControlView {
  std::string text;  // caption of a label or button, text of a text box, selected combo entry
  Rgb colour;        // text colour of a label, border colour of a rectangle
  int index = -1;    // selected combo entry, -1 when none
  int entryCount = 0;
  int value = 0, minimum = 0, maximum = 0;  // scroll bar
  bool on = false;                          // check box ticked, option button selected
};

// The texts the user types into the contrast dialog before pressing Done.
struct ContrastAnswer {
  std::string background, range;
};

// The button pressed in a question (Window::Ask).
enum class QuestionButton : std::uint8_t { Yes, No, Ok, Cancel };

// The button's word in scripts and transcripts: "yes", "no", "ok", "cancel".
[[nodiscard]] std::string_view ButtonWord(QuestionButton button);
[[nodiscard]] std::optional<QuestionButton> FindButton(std::string_view word);
// Whether a question with `buttons` has `button`; true means Yes or OK.
[[nodiscard]] bool Offers(Buttons buttons, QuestionButton button);
[[nodiscard]] bool IsYes(QuestionButton button);
// What is wrong with `edit` on a Lines and Residuals table of `rows` rows: a
// row it names that the table does not have; nullopt when nothing is.
[[nodiscard]] std::optional<std::string> LineTableEditProblem(const LineTableEdit& edit, int rows);
// The same for the Measurements table.
[[nodiscard]] std::optional<std::string> MeasurementTableEditProblem(const MeasurementTableEdit& edit, int rows);

struct DialogAnswers;

class UserActions {
 public:
  // The runner has checked that each control is of the kind the action needs,
  // lies on the main window, and (for Select) has that entry.
  virtual void Click(Control control) = 0;
  virtual void Select(Control combo, int index) = 0;
  virtual void Drag(Control scrollBar, int value) = 0;
  virtual void Release(Control scrollBar) = 0;
  virtual void Set(Control scrollBar, int value) = 0;
  virtual void Close() = 0;
  // Chooses a menu item (the runner has checked that it is no submenu): a
  // checkable item toggles its tick, then the program gets the item.
  virtual void ChooseMenu(MenuItem item) = 0;
  // In the open Lines and Residuals dialog: ticks or clears a row's "used"
  // box (nothing happens when it is so already), selects the rows and
  // presses Remove, or presses Clear. The runner has checked nothing about
  // the dialog or the rows.
  virtual void EditLineTable(const LineTableEdit& edit) = 0;
  // In the open Measurements table: selects the rows and presses Remove, or
  // presses Clear. A table not open or a row it does not have is a script error.
  virtual void EditMeasurementTable(const MeasurementTableEdit& edit) = 0;
  // In the open Spectrum view: the user's action (view_actions.h), which
  // hands the program the input InputOfAction gives, if any. The runner has
  // checked the line's words only; a view not open is a script error.
  virtual void ActInView(const ViewAction& action) = 0;
  // The open Spectrum view made `width` x `height` (the program gets a Resize
  // input when that is a new size, and answers with a new picture), then its
  // latest picture painted at that size (PaintedView).
  [[nodiscard]] virtual Surface ViewPicture(int width, int height) = 0;

  // The answers queued for the dialogs still to open (dialog_answers.h).
  [[nodiscard]] virtual DialogAnswers& Answers() = 0;
  // nullopt: from now on there is no printer.
  virtual void SetPrinter(std::optional<PageSize> page) = 0;

  [[nodiscard]] virtual ControlView View(Control control) const = 0;
  [[nodiscard]] virtual const Surface& WindowSurface() const = 0;
  [[nodiscard]] virtual const Surface& GraphSurface() const = 0;

  // Throws again a script error or an end of the program that a handler caught
  // and dropped during the last action, so that it still stops the session.
  virtual void RaiseDropped() = 0;

 protected:
  ~UserActions() = default;
};

}  // namespace lxr4
