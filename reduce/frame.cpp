// Frame texts: the shape for messages and the image type's common synonyms.
#include "reduce/frame.h"

#include <array>
#include <cctype>
#include <charconv>
#include <string_view>

namespace lxr4 {

std::string FrameShapeText(const Frame& f) {
  return std::to_string(f.width) + " x " + std::to_string(f.height) + " binned " + std::to_string(f.binX) + " x " +
         std::to_string(f.binY);
}

std::string ShortNumberText(double value) {
  std::array<char, 32> text{};
  const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} ? std::string(text.data(), end) : std::string("?");
}

std::string NormalImageType(const std::string& written) {
  std::string t;
  for (char c : written) t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto first = t.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  t = t.substr(first, t.find_last_not_of(' ') - first + 1);
  struct Synonym {
    std::string_view written, type;
  };
  static constexpr std::array<Synonym, 15> kSynonyms{{{"ZERO", "BIAS"},
                                                      {"BIAS FRAME", "BIAS"},
                                                      {"DARK FRAME", "DARK"},
                                                      {"FLAT FIELD", "FLAT"},
                                                      {"FLAT FRAME", "FLAT"},
                                                      {"FLATFIELD", "FLAT"},
                                                      {"DOMEFLAT", "FLAT"},
                                                      {"SKYFLAT", "FLAT"},
                                                      {"LIGHT", "OBJECT"},
                                                      {"LIGHT FRAME", "OBJECT"},
                                                      {"SCIENCE", "OBJECT"},
                                                      {"COMP", "ARC"},
                                                      {"COMPARISON", "ARC"},
                                                      {"LAMP", "ARC"},
                                                      {"CALIB", "ARC"}}};
  for (const Synonym& s : kSynonyms)
    if (t == s.written) return std::string(s.type);
  return t;
}

}  // namespace lxr4
