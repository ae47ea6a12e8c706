// The script runner: the script errors that the golden cases (script-*) do not
// show, with their line numbers, and CR LF line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "script/script_runner.h"
#include "tests/script/run_session.h"

namespace lxr4 {
namespace {

// Runs `script` against the real program, keeping only what follows start-up.
Session RunOf(const std::string& script) {
  Session r = RunSession(script);
  const std::size_t startUp = r.transcript.find("select cbobox 1\n");
  if (startUp != std::string::npos) r.transcript.erase(0, startUp + 16);
  return r;
}

TEST(RunScript, ScriptErrorsNameTheirLine) {
  const struct {
    std::string script, error;
  } cases[] = {
      {"select cbobox 6", "line 1: cbobox has no entry 6 (it has 6)"},
      {"select cbobox -1", "line 1: cbobox has no entry -1 (it has 6)"},
      {"click Label3", "line 1: Label3 is a label, not a button, check box or option button"},
      {"drag cbobox 3", "line 1: cbobox is a combo box, not a scroll bar"},
      {"click cmddone", "line 1: cmddone lies on a dialog that is not open"},
      {"show Picgraph", "line 1: Picgraph cannot be shown"},
      {"show", "line 1: expected: show NAME"},
      {"click cmdload cmdload2", "line 1: expected: click NAME"},
      {"printer page 10", "line 1: expected: printer none, or printer page W H"},
      {"printer page wide 10", "line 1: bad number \"wide\""},
      {"state CurrentSpectrum 0 3",
       "line 1: state CurrentSpectrum: columns must satisfy 1 <= FIRST <= LAST <= 768"},
      {"input \"open", "line 1: unterminated quoted text"},
      {"save-window no-such-folder/w.png", "line 1: cannot write \"no-such-folder/w.png\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const Session r = RunOf(c.script);
    EXPECT_EQ(r.status, kScriptFailed);
    EXPECT_EQ(r.errors, "lxr4-script: " + c.error + "\n");
  }
}

TEST(RunScript, QuestionsAnswerInOrderAndCrLfEndsAreAccepted) {
  const Session r = RunOf("show cbobox\r\n  # comment\r\nstate FocalLength\r\n");
  EXPECT_EQ(r.status, kScriptOk);
  EXPECT_EQ(r.errors, "");
  EXPECT_EQ(r.transcript, "show cbobox 1 \" 5 \"\nstate FocalLength 50\n");
}

// This test program has no FITS decoder beside it: a FITS load says so, and
// the slot stays as it was.
TEST(RunScript, AFitsLoadWithoutItsDecoderSaysFitsSupportIsUnavailable) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "lxr4-runner-no-decoder.fits";
  std::string text = "SIMPLE  = T";
  text.resize(2880, ' ');
  std::ofstream(file, std::ios::binary) << text;
  const Session r = RunOf("open " + file.string() + "\nclick cmdload\nstate ObjectLoaded\n");
  std::filesystem::remove(file);
  EXPECT_NE(r.transcript.find("msgbox \"FITS support is unavailable: "), std::string::npos) << r.transcript;
  EXPECT_NE(r.transcript.find("state ObjectLoaded 0"), std::string::npos) << r.transcript;
}

}  // namespace
}  // namespace lxr4
