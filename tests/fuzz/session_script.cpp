#include "tests/fuzz/session_script.h"

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "base/quoted_text.h"
#include "script/script_runner.h"
#include "tests/script/run_session.h"

namespace lxr4 {

namespace fs = std::filesystem;

unsigned ByteChoices::Pick(unsigned n) {
  unsigned value = 0;
  for (unsigned range = 1; range < n && at_ < bytes_.size(); range *= 256)
    value = value * 256 + bytes_[at_++];
  return value % n;
}

unsigned SeededChoices::Pick(unsigned n) {
  if (left_ > 0) --left_;
  return std::uniform_int_distribution<unsigned>(0, n - 1)(random_);
}

namespace {

void Put(const std::string& name, std::string_view bytes) {
  std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A header of the camera image format followed by `pixels`.
std::string Image(const std::string& lines, std::size_t pixels) {
  std::string header = "KM-1 Image\n\r" + lines + "End\n\r";
  header.resize(2048, ' ');
  return header + std::string(pixels, '\x10');
}

constexpr std::array kOpenPaths{"star.km1", "lamp.km1", "img.txt", "short.km1", "empty.km1", "tiny.km1",
                                "tiny.px", "dir", "fifo.km1", "missing.km1", "/dev/null", "", "readonly.km1",
                                "out.km1"};
constexpr std::array kStripNames{"out", "dir/out", "fifo", "readonly", "missing/out", "", "dir", "x/../out"};
constexpr std::array kClicks{"cmdload", "cmdload2", "cmdcontrast", "cmdcontrast2", "cmdcalcspectra",
                             "Cmdcalccal", "cmdemission", "cmdmarkline1", "cmdmarkline2", "cmdtext",
                             "cmdstrip", "cmdprint", "Lingraph", "loggraph", "autograph", "pushgraph",
                             "smoothing", "chkexpand", "chkfilter", "chkmedian"};
constexpr std::array kBars{"hsbspectra", "hsbcropdata1", "hsbcropdata2", "hsbcropcal1", "hsbcropcal2"};
constexpr std::array kNumbers{"0", "1", "-1", "20", "768", "32767", "32768", "-32769", "6563", "1e308",
                              "-1e308", "1e-320", "2147483648", "99999999999999999999", "0.5", "2.5", "nan",
                              "inf", " 12 ", "1,5", "abc", "", "0x10", "1e5"};
constexpr std::array kStates{"FocalLength", "AlphaAngle", "PixelWidth", "ReadoutWavelength", "CursorPixel",
                             "SpectrumMax", "CalibrationDone", "SelectedFileName"};

template <typename T, std::size_t N>
std::string_view OneOf(Choices& c, const std::array<T, N>& items) {
  return items[c.Pick(static_cast<unsigned>(N))];
}

// A typed answer: a number of the list, a random text, or a very long one.
std::string Typed(Choices& c) {
  switch (c.Pick(4)) {
    case 0: {
      std::string text;
      for (unsigned n = c.Pick(12); n > 0; --n) text += static_cast<char>(1 + c.Pick(255));
      return text;
    }
    case 1:
      return std::string(250 + c.Pick(10), 'n');
    default:
      return std::string(OneOf(c, kNumbers));
  }
}

// `name` within `folder`; an empty or absolute name as it is.
std::string In(const std::string& folder, std::string_view name) {
  if (name.empty() || name.front() == '/') return std::string(name);
  return folder + "/" + std::string(name);
}

// The answers a click may need, queued before it.
std::string Answers(Choices& c, const std::string& folder) {
  std::string lines;
  lines += c.Pick(8) == 0 ? "open-cancel\n" : "open " + Quoted(In(folder, OneOf(c, kOpenPaths))) + "\n";
  switch (c.Pick(4)) {
    case 0:
      lines += "input-cancel\n";
      break;
    case 1:
      lines += "input " + Quoted(In(folder, OneOf(c, kStripNames))) + "\n";
      break;
    case 2:
      lines += "input " + Quoted(In(folder, std::string(250, 's'))) + "\n";
      break;
    default:
      lines += "input " + Quoted(Typed(c)) + "\n";
      break;
  }
  for (unsigned n = 1 + c.Pick(2); n > 0; --n)
    lines +=
        c.Pick(4) == 0 ? "contrast-done\n" : "contrast " + Quoted(Typed(c)) + " " + Quoted(Typed(c)) + "\n";
  return lines;
}

std::string Line(Choices& c, const std::string& folder) {
  switch (c.Pick(16)) {
    case 0:
    case 1:
      return "select cboscale " + std::to_string(c.Pick(51)) + "\n";
    case 2:
      return "select cbobox " + std::to_string(c.Pick(4)) + "\n";
    case 3:
    case 4: {
      const std::string bar(OneOf(c, kBars));
      const char* how = c.Pick(2) == 0 ? "drag " : "set ";
      return how + bar + " " + std::to_string(static_cast<int>(c.Pick(1600)) - 400) + "\n" +
             (c.Pick(2) == 0 ? "release " + bar + "\n" : "");
    }
    case 5:
      return c.Pick(3) == 0
                 ? "printer none\n"
                 : "printer page " + std::to_string(c.Pick(3000)) + " " + std::to_string(c.Pick(3000)) + "\n";
    case 6:
      return "state " + std::string(OneOf(c, kStates)) + "\n";
    case 7:
      return c.Pick(16) == 0 ? "save-graph " + Quoted(In(folder, "graph.png")) + "\n"
                             : "show Lblwavelength\n";
    default:
      return Answers(c, folder) + "click " + std::string(OneOf(c, kClicks)) + "\n";
  }
}

}  // namespace

std::string MakeSessionFolder(const std::string& samplesDir) {
  std::string folder = (fs::temp_directory_path() / "lxr4-session-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) std::abort();
  const auto at = [&](const char* name) { return folder + "/" + name; };
  const std::string star = Contents(fs::path(samplesDir) / "star.km1");
  Put(at("star.km1"), star);
  Put(at("lamp.km1"), Contents(fs::path(samplesDir) / "lamp.km1"));
  Put(at("img.txt"), star);
  Put(at("short.km1"), star.substr(0, 3000));
  Put(at("empty.km1"), "");
  Put(at("tiny.km1"), Image("Height = 3\n\rWidth = 6\n\rRange = 0\n\rX_pixel_size = 0.009\n\r", 36));
  Put(at("tiny.px"), Image("Height = 2\n\rWidth = 8\n\rX_pixel_size = 1e-44\n\r", 32));
  Put(at("readonly.km1"), star);
  ::chmod(at("readonly.km1").c_str(), 0444);
  fs::create_directory(at("dir"));
  ::mkfifo(at("fifo.km1").c_str(), 0644);
  return folder;
}

std::string RandomSession(Choices& choices, const std::string& folder) {
  std::string script;
  for (int lines = 0; lines < 60 && !choices.Done(); ++lines) script += Line(choices, folder);
  if (choices.Pick(8) == 0) script += "close\n";
  return script;
}

int PlaySession(const std::string& script, const std::string& folder, std::string* errorText) {
  const std::filesystem::path before = fs::current_path();
  fs::current_path(folder);
  const Session session = RunSession(script);
  fs::current_path(before);
  if (session.status == kProgramFailed) {
    std::fputs((script + session.errors).c_str(), stderr);
    std::abort();
  }
  if (errorText) *errorText = session.errors;
  return session.status;
}

}  // namespace lxr4
