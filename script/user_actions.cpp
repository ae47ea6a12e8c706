// The words of a question's buttons, shared by the script runner, the
// transcript and both windows' answers.
#include "script/user_actions.h"

#include <array>

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

}  // namespace lxr4
