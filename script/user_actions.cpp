// The words of a question's buttons and the checks of a table edit, shared by
// the script runner, the transcript and both windows.
#include "script/user_actions.h"

#include <array>
#include <string>
#include <vector>

namespace lxr4 {

namespace {
constexpr std::array<std::string_view, 4> kButtonWords{"yes", "no", "ok", "cancel"};
}  // namespace

std::string_view ButtonWord(QuestionButton button) { return kButtonWords[static_cast<std::size_t>(button)]; }

std::optional<QuestionButton> FindButton(std::string_view word) {
  for (std::size_t i = 0; i < kButtonWords.size(); ++i)
    if (kButtonWords[i] == word) return static_cast<QuestionButton>(i);
  return std::nullopt;
}

bool Offers(Buttons buttons, QuestionButton button) {
  const bool yesNo = button == QuestionButton::Yes || button == QuestionButton::No;
  return yesNo == (buttons == Buttons::YesNo);
}

bool IsYes(QuestionButton button) { return button == QuestionButton::Yes || button == QuestionButton::Ok; }

std::optional<std::string> LineTableEditProblem(const LineTableEdit& edit, int rows) {
  std::vector<int> named;
  if (edit.kind == LineTableEdit::Kind::Used) named.push_back(edit.row);
  if (edit.kind == LineTableEdit::Kind::Remove) named = edit.rows;
  for (const int row : named)
    if (row < 0 || row >= rows)
      return "the Lines and Residuals table has no row " + std::to_string(row + 1) + " (it has " +
             std::to_string(rows) + ")";
  return std::nullopt;
}

std::optional<std::string> MeasurementTableEditProblem(const MeasurementTableEdit& edit, int rows) {
  for (const int row : edit.rows)
    if (row < 0 || row >= rows)
      return "the Measurements table has no row " + std::to_string(row + 1) + " (it has " + std::to_string(rows) +
             ")";
  return std::nullopt;
}

}  // namespace lxr4
