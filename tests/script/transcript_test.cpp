// Transcript lines: quoting, number texts by type, and runs of points.
#include "platform/script/transcript.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/script/quoted_text.h"
#include "platform/script/recording_window.h"
#include "platform/script/script_window.h"

namespace lxr4 {
namespace {

TEST(Quoted, EscapesQuotesBackslashesAndLineBreaks) {
  const struct {
    std::string_view text, quoted;
  } cases[] = {
      {"", R"("")"},
      {"Load Spectra", R"("Load Spectra")"},
      {"Line 1\r\nLine 2", R"("Line 1\r\nLine 2")"},
      {"a\tb\"c\\d", R"("a\tb\"c\\d")"},
      {"C:\\data\\star.km1", R"("C:\\data\\star.km1")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Quoted(c.text), c.quoted);
  }
}

struct Recorder {
  std::ostringstream out;
  ScriptWindow inner;
  Transcript transcript{out};
  RecordingWindow w{inner, transcript};
  std::string Text() {
    transcript.Finish();
    return out.str();
  }
};

TEST(RecordingWindow, WritesEachNumberInTheTypeThePlatformWasGiven) {
  Recorder r;
  r.w.DrawLine(Control::Picgraph, std::int16_t{2}, std::int32_t{-7}, 88.5f, 109.99999f, kRed);
  r.w.DrawLine(Control::Spectra, 53.71068870610805, 0.1, 1e-7f, Num{}, Rgb{1, 2, 3});
  EXPECT_EQ(r.Text(),
            "line Picgraph 2 -7 88.5 109.99999 255 0 0\n"
            "line Spectra 53.71068870610805 0.1 0.0000001 0 1 2 3\n");
}

TEST(RecordingWindow, ARunOfPointsBecomesOneLineWhenItEnds) {
  Recorder r;
  for (int i = 0; i < 3; ++i) r.w.PaintPoint(std::int16_t{1}, std::int16_t{1}, kBlack);
  r.w.SetColour(Control::Shphart1, kBlack);
  r.w.PaintPoint(std::int16_t{1}, std::int16_t{1}, kBlack);
  r.w.ClearGraph();
  r.w.PaintPoint(std::int16_t{1}, std::int16_t{1}, kBlack);
  r.w.PaintPoint(std::int16_t{1}, std::int16_t{1}, kBlack);
  EXPECT_EQ(r.Text(),
            "points Spectra 3\n"
            "colour Shphart1 0 0 0\n"
            "points Spectra 1\n"
            "clear Picgraph\n"
            "points Spectra 2\n");
}

TEST(RecordingWindow, QueriesWriteNothing) {
  Recorder r;
  (void)r.w.Value(Control::hsbspectra);
  (void)r.w.Ticked(Control::chkmedian);
  (void)r.w.Text(Control::txtrange);
  (void)r.w.SelectedIndex(Control::cbobox);
  (void)r.w.GetBounds(Control::Shphart1);
  (void)r.w.PrinterMeasure("abc");
  (void)r.w.ReadFile("no such file", 10);
  EXPECT_EQ(r.Text(), "");
}

TEST(RecordingWindow, DialogLinesCarryTheirAnswers) {
  Recorder r;
  r.inner.QueueInput("star");
  r.inner.QueueInput(std::nullopt);
  r.inner.QueueOpen("samples/a b.km1");
  r.inner.QueueOpen(std::nullopt);
  r.w.MessageBox("No file was selected");
  EXPECT_EQ(r.w.InputBox("Name?", "Save", "x.km1"), "star");
  EXPECT_EQ(r.w.InputBox("P", "T", ""), std::nullopt);
  EXPECT_EQ(r.w.OpenFileDialog("All Files (*.*)|*.*", 1, 4), "samples/a b.km1");
  EXPECT_EQ(r.w.OpenFileDialog("F", 2, 0), std::nullopt);
  EXPECT_EQ(r.Text(),
            "msgbox \"No file was selected\"\n"
            "input \"Name?\" \"Save\" \"x.km1\" -> \"star\"\n"
            "input \"P\" \"T\" \"\" -> cancel\n"
            "open-dialog \"All Files (*.*)|*.*\" 1 4 -> \"samples/a b.km1\"\n"
            "open-dialog \"F\" 2 0 -> cancel\n");
}

TEST(RecordingWindow, PrinterLinesAndTheFailureOfAMissingPrinter) {
  Recorder r;
  EXPECT_TRUE(r.w.PrinterSetup(2));
  const std::optional<PageSize> page = r.w.PrinterSize();
  ASSERT_TRUE(page);
  EXPECT_EQ(page->width.AsDouble(), 1000);
  EXPECT_EQ(page->height.AsDouble(), 750);
  const std::optional<TextSize> size = r.w.PrinterMeasure(" 100");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 32);
  EXPECT_EQ(size->height, 16);
  EXPECT_TRUE(r.w.PrinterText(std::int32_t{36}, std::int32_t{67}, " 100"));
  EXPECT_TRUE(r.w.PrinterLine(std::int32_t{1}, std::int32_t{2}, std::int32_t{3}, std::int32_t{4}));
  EXPECT_TRUE(r.w.PrinterEnd());
  r.inner.SetPrinter(PageSize{std::int32_t{500}, 200.5});
  ASSERT_TRUE(r.w.PrinterSize());
  r.inner.SetPrinter(std::nullopt);
  EXPECT_FALSE(r.w.PrinterSetup(2));
  EXPECT_FALSE(r.w.PrinterMeasure("x"));
  EXPECT_FALSE(r.w.PrinterEnd());
  EXPECT_EQ(r.Text(),
            "printer setup 2\n"
            "printer size 1000 750\n"
            "printer text 36 67 \" 100\"\n"
            "printer line 1 2 3 4\n"
            "printer end\n"
            "printer size 500 200.5\n"
            "printer error\n"
            "printer error\n"
            "printer error\n");
}

}  // namespace
}  // namespace lxr4
