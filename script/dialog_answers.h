// The answers a session script queues for the modal dialogs, one queue per
// kind of dialog, taken in order as the dialogs open. The scripted window and
// the window driver both answer from it, so a dialog with no answer queued is
// refused the same way on either.
#pragma once

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/reduction_answers.h"
#include "script/user_actions.h"
#include "state/window.h"

namespace lxr4 {

template <typename T>
class AnswerQueue {
 public:
  // `dialog` names the dialog in the script error, as "the save-file dialog".
  explicit AnswerQueue(std::string_view dialog) : dialog_(dialog) {}

  void Push(T answer) { queue_.push_back(std::move(answer)); }
  // The next answer; nullopt when none is queued.
  [[nodiscard]] std::optional<T> Pop() {
    if (queue_.empty()) return std::nullopt;
    std::optional<T> answer(std::move(queue_.front()));
    queue_.pop_front();
    return answer;
  }
  // The script error of a dialog that opened with no answer queued.
  [[nodiscard]] std::string NoneQueued() const { return std::string(dialog_) + " opened with no answer queued"; }

 private:
  std::string_view dialog_;
  std::deque<T> queue_;
};

// A cancel is queued as nullopt (for the contrast dialog: Done without editing).
struct DialogAnswers {
  AnswerQueue<std::optional<std::string>> opens{"the open-file dialog"};
  AnswerQueue<std::optional<std::string>> inputs{"an input box"};
  AnswerQueue<std::optional<ContrastAnswer>> contrasts{"the contrast dialog"};
  // A type the dialog does not have is a script error when the dialog opens.
  AnswerQueue<std::optional<SaveAnswer>> saves{"the save-file dialog"};
  AnswerQueue<std::optional<FitsImportFields>> fitsImports{"the FITS import dialog"};
  // The fields, then OK; nullopt presses Cancel.
  AnswerQueue<std::optional<InstrumentFields>> instruments{"the Instrument dialog"};
  // The names to tick (every other box cleared) and air or vacuum.
  AnswerQueue<std::optional<LampFields>> lamps{"the Lamp dialog"};
  AnswerQueue<std::optional<AutoStartFields>> autoStarts{"the automatic calibration dialog"};
  AnswerQueue<std::optional<ObservationFields>> observations{"the Observation dialog"};
  AnswerQueue<std::optional<std::vector<std::string>>> openMany{"the open-files dialog"};
  // The fields named, over what the dialog shows (script/reduction_answers.h).
  AnswerQueue<std::optional<FieldWords>> masters{"the Masters dialog"};
  AnswerQueue<std::optional<FieldWords>> extractions{"the Extraction dialog"};
  AnswerQueue<std::optional<FieldWords>> responses{"the Instrument Response dialog"};
  AnswerQueue<QuestionButton> questions{"a question"};
};

// The Lamp dialog as `answer` leaves it: the names ticked in the order the
// dialog offers them; or the script error of a name it does not offer.
struct LampAnswer {
  LampFields fields;
  std::optional<std::string> problem;
};
[[nodiscard]] inline LampAnswer AnswerLamp(const LampFields& shown, const LampFields& answer) {
  LampAnswer out{shown, std::nullopt};
  out.fields.chosen.clear();
  out.fields.vacuum = answer.vacuum;
  for (const std::string& name : answer.chosen)
    if (std::find(shown.offered.begin(), shown.offered.end(), name) == shown.offered.end())
      out.problem = "the Lamp dialog offers no \"" + name + "\"";
  for (const std::string& name : shown.offered)
    if (std::find(answer.chosen.begin(), answer.chosen.end(), name) != answer.chosen.end())
      out.fields.chosen.push_back(name);
  return out;
}

}  // namespace lxr4
