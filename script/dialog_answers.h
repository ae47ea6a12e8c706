// The answers a session script queues for the modal dialogs, one queue per
// kind of dialog, taken in order as the dialogs open. The scripted window and
// the window driver both answer from it, so a dialog with no answer queued is
// refused the same way on either.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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
  AnswerQueue<QuestionButton> questions{"a question"};
};

}  // namespace lxr4
