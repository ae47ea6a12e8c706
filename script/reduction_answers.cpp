#include "script/reduction_answers.h"

#include <array>
#include <string_view>

#include "base/quoted_text.h"
#include "script/script_error.h"

namespace lxr4 {

namespace {

// A field of a dialog: its script name and where its text or choice lives.
template <typename Fields>
struct TextField {
  std::string_view name;
  std::string Fields::*text;
};

template <typename Choice, std::size_t N>
struct ChoiceNames {
  std::array<std::pair<Choice, std::string_view>, N> names;

  [[nodiscard]] std::optional<Choice> Find(std::string_view word) const {
    for (const auto& [choice, name] : names)
      if (name == word) return choice;
    return std::nullopt;
  }
  [[nodiscard]] std::string_view Of(Choice c) const {
    for (const auto& [choice, name] : names)
      if (choice == c) return name;
    return {};
  }
  [[nodiscard]] std::string List() const {
    std::string text;
    for (const auto& [choice, name] : names) text += (text.empty() ? "" : "|") + std::string(name);
    return text;
  }
};

constexpr ChoiceNames<CombineChoice, 2> kCombine{{{{CombineChoice::Median, "median"},
                                                    {CombineChoice::SigmaClip, "sigma-clip"}}}};
constexpr ChoiceNames<ExtractionChoice, 3> kMethod{{{{ExtractionChoice::Swath, "swath"},
                                                      {ExtractionChoice::Boxcar, "boxcar"},
                                                      {ExtractionChoice::Optimal, "optimal"}}}};
constexpr ChoiceNames<SkyChoice, 3> kSky{{{{SkyChoice::None, "none"}, {SkyChoice::Median, "median"},
                                           {SkyChoice::Fit, "fit"}}}};
constexpr ChoiceNames<ResponseChoice, 3> kMode{{{{ResponseChoice::None, "none"}, {ResponseChoice::Make, "make"},
                                                  {ResponseChoice::Use, "use"}}}};
constexpr ChoiceNames<bool, 2> kOnOff{{{{true, "on"}, {false, "off"}}}};

template <typename Fields, std::size_t N>
bool SetText(Fields& f, const std::array<TextField<Fields>, N>& texts, const std::string& name,
             const std::string& value) {
  for (const TextField<Fields>& t : texts)
    if (t.name == name) {
      f.*(t.text) = value;
      return true;
    }
  return false;
}

// Sets `target` from `value` when `name` is `field`; a problem when the value is no choice of it.
template <typename Choice, std::size_t N>
bool SetChoice(Choice& target, const ChoiceNames<Choice, N>& names, std::string_view field, const std::string& name,
               const std::string& value, std::optional<std::string>& problem) {
  if (name != field) return false;
  if (const std::optional<Choice> c = names.Find(value))
    target = *c;
  else
    problem = std::string(field) + " is " + names.List() + ", not \"" + value + "\"";
  return true;
}

template <typename Fields, std::size_t N>
std::string TextsOf(const Fields& f, const std::array<TextField<Fields>, N>& texts) {
  std::string out;
  for (const TextField<Fields>& t : texts) out += (out.empty() ? "" : " ") + std::string(t.name) + '=' + Quoted(f.*(t.text));
  return out;
}

std::string Unknown(std::string_view dialog, const std::string& name) {
  return std::string(dialog) + " has no field \"" + name + "\"";
}

constexpr std::array<TextField<MastersFields>, 7> kMastersTexts{{
    {"bias-frames", &MastersFields::biasFrames},
    {"dark-frames", &MastersFields::darkFrames},
    {"flat-frames", &MastersFields::flatFrames},
    {"bias-master", &MastersFields::biasMaster},
    {"dark-master", &MastersFields::darkMaster},
    {"flat-master", &MastersFields::flatMaster},
    {"sigma", &MastersFields::sigma},
}};
constexpr std::array<TextField<ExtractionFields>, 3> kExtractionTexts{{
    {"aperture", &ExtractionFields::aperture},
    {"sky-offset", &ExtractionFields::skyOffset},
    {"sky-width", &ExtractionFields::skyWidth},
}};
constexpr std::array<TextField<ResponseFields>, 3> kResponseTexts{{
    {"reference", &ResponseFields::reference},
    {"file", &ResponseFields::file},
    {"smoothing", &ResponseFields::smoothing},
}};

}  // namespace

FieldWords ParseFieldWords(const std::vector<std::string>& words) {
  FieldWords out;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::size_t eq = words[i].find('=');
    if (eq == std::string::npos || eq == 0)
      throw ScriptError("expected NAME=VALUE, not \"" + words[i] + "\"");
    out.emplace_back(words[i].substr(0, eq), words[i].substr(eq + 1));
  }
  return out;
}

FieldsAnswer<MastersFields> AnswerMasters(const MastersFields& shown, const FieldWords& answer) {
  FieldsAnswer<MastersFields> out{shown, std::nullopt};
  for (const auto& [name, value] : answer)
    if (!SetText(out.fields, kMastersTexts, name, value) &&
        !SetChoice(out.fields.combine, kCombine, "combine", name, value, out.problem))
      out.problem = Unknown("the Masters dialog", name);
  return out;
}

FieldsAnswer<ExtractionFields> AnswerExtraction(const ExtractionFields& shown, const FieldWords& answer) {
  FieldsAnswer<ExtractionFields> out{shown, std::nullopt};
  ExtractionFields& f = out.fields;
  for (const auto& [name, value] : answer)
    if (!SetText(f, kExtractionTexts, name, value) && !SetChoice(f.method, kMethod, "method", name, value, out.problem) &&
        !SetChoice(f.sky, kSky, "sky", name, value, out.problem) &&
        !SetChoice(f.cosmicRays, kOnOff, "cosmic-rays", name, value, out.problem) &&
        !SetChoice(f.stack, kCombine, "stack", name, value, out.problem))
      out.problem = Unknown("the Extraction dialog", name);
  return out;
}

FieldsAnswer<ResponseFields> AnswerResponse(const ResponseFields& shown, const FieldWords& answer) {
  FieldsAnswer<ResponseFields> out{shown, std::nullopt};
  ResponseFields& f = out.fields;
  for (const auto& [name, value] : answer)
    if (!SetText(f, kResponseTexts, name, value) && !SetChoice(f.mode, kMode, "mode", name, value, out.problem) &&
        !SetChoice(f.maskLines, kOnOff, "mask-lines", name, value, out.problem))
      out.problem = Unknown("the Instrument Response dialog", name);
  return out;
}

std::string MastersText(const MastersFields& f) {
  return TextsOf(f, kMastersTexts) + " combine=" + std::string(kCombine.Of(f.combine));
}

std::string ExtractionText(const ExtractionFields& f) {
  return "method=" + std::string(kMethod.Of(f.method)) + ' ' + TextsOf(f, kExtractionTexts) +
         " sky=" + std::string(kSky.Of(f.sky)) + " cosmic-rays=" + std::string(kOnOff.Of(f.cosmicRays)) +
         " stack=" + std::string(kCombine.Of(f.stack));
}

std::string ResponseText(const ResponseFields& f) {
  return "mode=" + std::string(kMode.Of(f.mode)) + ' ' + TextsOf(f, kResponseTexts) +
         " mask-lines=" + std::string(kOnOff.Of(f.maskLines));
}

}  // namespace lxr4
