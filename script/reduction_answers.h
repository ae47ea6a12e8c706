// The night reduction's dialogs answered by name: a script line gives some of
// a dialog's fields as `name=value` words, and the dialog takes them over
// what it shows, every other field as shown. The scripted window and the
// window driver both answer through these, and the transcript writes the
// fields by the same names.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/reduction_fields.h"

namespace lxr4 {

using FieldWords = std::vector<std::pair<std::string, std::string>>;

// The `name=value` words of a script line from its second word on; throws
// ScriptError on a word without '='.
[[nodiscard]] FieldWords ParseFieldWords(const std::vector<std::string>& words);

template <typename Fields>
struct FieldsAnswer {
  Fields fields;
  std::optional<std::string> problem;  // the script error of a name or choice the dialog does not have
};

[[nodiscard]] FieldsAnswer<MastersFields> AnswerMasters(const MastersFields& shown, const FieldWords& answer);
[[nodiscard]] FieldsAnswer<ExtractionFields> AnswerExtraction(const ExtractionFields& shown,
                                                              const FieldWords& answer);
[[nodiscard]] FieldsAnswer<ResponseFields> AnswerResponse(const ResponseFields& shown, const FieldWords& answer);

// Every field as `name=value`, texts quoted, for the transcript.
[[nodiscard]] std::string MastersText(const MastersFields& f);
[[nodiscard]] std::string ExtractionText(const ExtractionFields& f);
[[nodiscard]] std::string ResponseText(const ResponseFields& f);

}  // namespace lxr4
