// The night file's small TOML: lines of sections, keys and values, each value
// checked against the key's kind as it is read.
#include "batch/night_file.h"

#include <charconv>
#include <cmath>
#include <set>
#include <tuple>
#include <variant>

namespace lxr4 {
namespace {

using List = std::vector<std::string>;
struct Value {
  std::variant<std::string, List, double, bool> v;
};

struct Fault {
  NightFileError code;
  std::string text;
};

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
  return t;
}

// A quoted string at the start of `t` ("..." with \" and \\, or '...' as
// written); `t` moves past it.
std::optional<std::string> QuotedAt(std::string_view& t) {
  if (t.empty() || (t.front() != '"' && t.front() != '\'')) return std::nullopt;
  const char quote = t.front();
  std::string out;
  for (std::size_t i = 1; i < t.size(); ++i) {
    char c = t[i];
    if (c == quote) {
      t.remove_prefix(i + 1);
      return out;
    }
    if (quote == '"' && c == '\\' && i + 1 < t.size()) {
      c = t[++i];
      if (c != '"' && c != '\\') return std::nullopt;
    }
    out += c;
  }
  return std::nullopt;
}

// The text before a comment that stands outside any quotes.
std::string_view WithoutComment(std::string_view line) {
  char quote = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote) {
      if (c == '\\' && quote == '"') ++i;
      else if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '#') {
      return line.substr(0, i);
    }
  }
  return line;
}

std::optional<Value> ParseValue(std::string_view t) {
  t = Trim(t);
  if (t == "true") return Value{true};
  if (t == "false") return Value{false};
  if (t.empty()) return std::nullopt;
  if (t.front() == '[') {
    t.remove_prefix(1);
    List items;
    for (;;) {
      t = Trim(t);
      if (!t.empty() && t.front() == ']') break;
      std::optional<std::string> item = QuotedAt(t);
      if (!item) return std::nullopt;
      items.push_back(std::move(*item));
      t = Trim(t);
      if (!t.empty() && t.front() == ',') t.remove_prefix(1);
      else if (t.empty() || t.front() != ']') return std::nullopt;
    }
    if (Trim(t.substr(1)).empty()) return Value{std::move(items)};
    return std::nullopt;
  }
  if (t.front() == '"' || t.front() == '\'') {
    std::optional<std::string> s = QuotedAt(t);
    if (!s || !Trim(t).empty()) return std::nullopt;
    return Value{std::move(*s)};
  }
  double number = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), number);
  if (ec != std::errc{} || end != t.data() + t.size() || !std::isfinite(number)) return std::nullopt;
  return Value{number};
}

// The keys of each section and what their values must be.
class Reader {
 public:
  explicit Reader(NightPlan& plan) : plan_(plan) {}

  std::optional<std::string> Set(const std::string& section, const std::string& key, Value value) {
    const std::string where = "\"" + key + "\" in [" + section + "]";
    auto list = [&](List& to) -> std::optional<std::string> {
      if (auto* s = std::get_if<std::string>(&value.v)) to = {*s};
      else if (auto* l = std::get_if<List>(&value.v)) to = *l;
      else return where + " takes a list of files, such as [\"raw/bias*.fits\"].";
      return std::nullopt;
    };
    auto text = [&](std::string& to) -> std::optional<std::string> {
      auto* s = std::get_if<std::string>(&value.v);
      if (!s || s->empty()) return where + " takes a file name in quotes.";
      to = *s;
      return std::nullopt;
    };
    auto number = [&](double& to, double above) -> std::optional<std::string> {
      auto* d = std::get_if<double>(&value.v);
      if (!d || !(*d > above)) return where + " takes a number above " + ShortNumberText(above) + ".";
      to = *d;
      return std::nullopt;
    };
    auto choice = [&](std::initializer_list<const char*> words) -> std::optional<std::string> {
      auto* s = std::get_if<std::string>(&value.v);
      std::string all;
      for (const char* w : words) {
        if (s && *s == w) return std::nullopt;
        all += std::string(all.empty() ? "" : " or ") + "\"" + w + "\"";
      }
      return where + " takes " + all + ".";
    };
    NightExtraction& e = plan_.extraction;
    if (section == "masters") {
      if (key == "bias") return list(plan_.biasFrames);
      if (key == "dark") return list(plan_.darkFrames);
      if (key == "flat") return list(plan_.flatFrames);
      if (key == "bias-master") return text(plan_.biasMaster);
      if (key == "dark-master") return text(plan_.darkMaster);
      if (key == "flat-master") return text(plan_.flatMaster);
      if (key == "sigma") return number(plan_.sigma, 0);
      if (key == "combine") {
        if (auto bad = choice({"sigma-clip", "median"})) return bad;
        plan_.combine = std::get<std::string>(value.v) == "median" ? CombineChoice::Median : CombineChoice::SigmaClip;
        return std::nullopt;
      }
    } else if (section == "calibration") {
      if (key == "file") return text(plan_.calibrationFile);
      if (key == "lamps") return list(plan_.lamps);
    } else if (section == "response") {
      if (key == "file") return text(plan_.responseFile);
    } else if (section == "extraction") {
      if (key == "method") {
        if (auto bad = choice({"optimal", "boxcar"})) return bad;
        e.method = std::get<std::string>(value.v) == "boxcar" ? ExtractionChoice::Boxcar : ExtractionChoice::Optimal;
        return std::nullopt;
      }
      if (key == "aperture") {
        double d = 0;
        if (auto bad = number(d, 0)) return bad;
        e.halfWidth = d;
        return std::nullopt;
      }
      if (key == "sky") {
        if (auto bad = choice({"median", "fit", "none"})) return bad;
        const std::string& s = std::get<std::string>(value.v);
        e.sky.method = s == "median" ? SkyMethod::Median : s == "fit" ? SkyMethod::Fit : SkyMethod::None;
        return std::nullopt;
      }
      if (key == "sky-offset") return number(e.sky.offset, 0);
      if (key == "sky-width") return number(e.sky.width, 0);
      if (key == "gain") return number(e.gain, 0);
      if (key == "read-noise") return number(e.readNoise, -1e-300);
      if (key == "cosmic-rays") {
        auto* b = std::get_if<bool>(&value.v);
        if (!b) return where + " takes true or false.";
        e.cosmicRays = *b;
        return std::nullopt;
      }
      if (key == "dispersion") {
        if (auto bad = choice({"rows", "columns"})) return bad;
        plan_.alongColumns = std::get<std::string>(value.v) == "columns";
        return std::nullopt;
      }
    } else if (section == "objects") {
      if (key == "frames") return list(plan_.objects);
      if (key == "output") return text(plan_.output);
    }
    return std::string("unknown key ") + where + ".";
  }

 private:
  NightPlan& plan_;
};

bool IsList(std::string_view text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(WithoutComment(text.substr(start, end - start)));
    if (!line.empty() && (line.front() == '[' || line.find('=') != std::string_view::npos)) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

NightFileResult ParseNightFile(std::string_view text) {
  NightFileResult r;
  NightPlan& plan = r.plan;
  const bool list = IsList(text);
  static const std::set<std::string, std::less<>> kSections = {"masters", "calibration", "response", "extraction",
                                                               "objects"};
  std::string section;
  std::set<std::string> seen;
  int number = 0;
  std::size_t start = 0;
  Reader reader(plan);
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(WithoutComment(text.substr(start, end - start)));
    start = end + 1;
    ++number;
    const std::string at = "line " + std::to_string(number) + ": ";
    if (line.empty()) continue;
    if (list) {
      plan.objects.emplace_back(line);
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']')
        return NightFileResult::Refused(NightFileError::Syntax, at + "a section is written [name].");
      section = std::string(Trim(line.substr(1, line.size() - 2)));
      if (!kSections.contains(section))
        return NightFileResult::Refused(NightFileError::UnknownKey,
                                        at + "unknown section [" + section +
                                            "]; a night file has [masters], [calibration], [response], "
                                            "[extraction] and [objects].");
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      return NightFileResult::Refused(NightFileError::Syntax, at + "expected key = value.");
    const std::string key(Trim(line.substr(0, equals)));
    if (key.empty()) return NightFileResult::Refused(NightFileError::Syntax, at + "a key is missing before \"=\".");
    if (section.empty())
      return NightFileResult::Refused(NightFileError::Syntax,
                                      at + "\"" + key + "\" comes before any section such as [objects].");
    std::optional<Value> value = ParseValue(line.substr(equals + 1));
    if (!value)
      return NightFileResult::Refused(NightFileError::BadValue,
                                      at + "the value of \"" + key +
                                          "\" is no \"text\", [\"list\", ...], number, true or false.");
    if (!seen.insert(section + "." + key).second)
      return NightFileResult::Refused(NightFileError::Repeated,
                                      at + "\"" + key + "\" is given twice in [" + section + "].");
    if (std::optional<std::string> bad = reader.Set(section, key, std::move(*value)))
      return NightFileResult::Refused(
          bad->starts_with("unknown") ? NightFileError::UnknownKey : NightFileError::BadValue, at + *bad);
  }
  for (const auto& [frames, master, word] :
       {std::tuple{&plan.biasFrames, &plan.biasMaster, "bias"}, std::tuple{&plan.darkFrames, &plan.darkMaster, "dark"},
        std::tuple{&plan.flatFrames, &plan.flatMaster, "flat"}}) {
    if (!frames->empty() && !master->empty())
      return NightFileResult::Refused(NightFileError::BadValue, std::string("[masters] gives both ") + word +
                                                                    " frames and a " + word + "-master; give one.");
  }
  if (plan.objects.empty())
    return NightFileResult::Refused(NightFileError::NoObjects,
                                    list ? "The list names no object frames."
                                         : "The night file names no object frames: [objects] frames = [...].");
  return r;
}

}  // namespace lxr4
