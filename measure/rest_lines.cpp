#include "measure/rest_lines.h"

#include <array>
#include <cctype>
#include <cmath>

#include "base/number_text.h"
#include "calibration/air_vacuum.h"

namespace lxr4 {

namespace {

constexpr std::array<RestLine, 30> kLines{{
    {3933.663, "Ca II K"},     {3968.468, "Ca II H"},     {3970.074, "H-epsilon"},  {4101.742, "H-delta"},
    {4340.471, "H-gamma"},     {4471.479, "He I 4471"},   {4685.710, "He II 4686"}, {4861.333, "H-beta"},
    {4958.911, "[O III] 4959"}, {5006.843, "[O III] 5007"}, {5167.321, "Mg I b4"},   {5172.684, "Mg I b2"},
    {5183.604, "Mg I b1"},     {5577.339, "[O I] 5577"},  {5875.621, "He I 5876"},  {5889.951, "Na I D2"},
    {5895.924, "Na I D1"},     {6300.304, "[O I] 6300"},  {6548.050, "[N II] 6548"}, {6562.800, "H-alpha"},
    {6583.460, "[N II] 6583"}, {6678.152, "He I 6678"},   {6707.760, "Li I 6708"},  {6716.440, "[S II] 6716"},
    {6730.816, "[S II] 6731"}, {7065.190, "He I 7065"},   {7771.944, "O I 7772"},   {8498.020, "Ca II 8498"},
    {8542.090, "Ca II 8542"},  {8662.140, "Ca II 8662"},
}};

// A name for matching: letters and digits only, lower case.
std::string Key(std::string_view text) {
  std::string key;
  for (const char c : text)
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

double InMedium(double air, bool vacuum) { return vacuum ? AirToVacuum(air) : air; }

}  // namespace

std::span<const RestLine> RestLines() { return kLines; }

std::vector<std::string> RestChoices(bool vacuum) {
  std::vector<std::string> choices;
  for (const RestLine& line : kLines)
    choices.push_back(FormatNumber(InMedium(line.air, vacuum), "0.00") + " " + std::string(line.name));
  return choices;
}

std::optional<double> ReadRestWavelength(std::string_view text, bool vacuum) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  text.remove_prefix(start);
  const std::size_t blank = text.find(' ');
  const std::optional<double> number = ParseDecimal(text.substr(0, blank));
  const std::string name = Key(number ? (blank == std::string_view::npos ? "" : text.substr(blank)) : text);
  if (!name.empty())
    for (const RestLine& line : kLines)
      if (Key(line.name) == name) return InMedium(line.air, vacuum);
  if (number && *number > 0 && std::isfinite(*number) && name.empty()) return number;
  return std::nullopt;
}

}  // namespace lxr4
