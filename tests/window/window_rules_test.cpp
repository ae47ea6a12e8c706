// The window rules that the golden cases, played on this window, do not reach:
// a lower maximum (a settled step of the bar, as by an arrow, is the cursor
// keys of first_run_test), the dialogs' other ways out,
// the end, and what reaches the screen. A sink of the test stands for the program.
// (Where each control lies and what it says is the control table itself; the
// golden case startup shows every control's state on this window.)
#include <QApplication>
#include <QInputDialog>
#include <QPrinterInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "qt/qt_window.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;
using E = Event;
using Events = std::vector<Delivered>;

using WindowRules = ShownWindow;

// A lower maximum moves the value, a change; set, clamped and same values are
// played on this window by the golden case script-window-rules.
TEST_F(WindowRules, AMaximumBelowTheValueMovesItAsAChange) {
  window.SetValue(C::hsbspectra, 700);
  sink.Take();
  window.SetMaximum(C::hsbspectra, 765);
  EXPECT_EQ(sink.Take(), Events{});
  window.SetMaximum(C::hsbspectra, 500);
  EXPECT_EQ(window.Value(C::hsbspectra), 500);
  EXPECT_EQ(sink.Take(), (Events{{C::hsbspectra, E::Change}}));
}

// Done is pressed in the golden cases; the close box and Escape act as Done.
TEST_F(WindowRules, ContrastDialogReturnsOnceTheProgramHidesIt) {
  sink.then = [&](Control c, Event) {
    if (c == C::cmddone) window.HideDialog(C::frmcontrast);
  };
  QWidget* dialog = window.Widget(C::frmcontrast);
  const struct {
    const char* how;
    std::function<void()> finish;
  } cases[] = {
      {"close box", [&] { dialog->close(); }},
      {"Escape", [&] { QTest::keyClick(dialog, Qt::Key_Escape); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    bool shown = false;
    QTimer::singleShot(0, [&] {
      shown = dialog->isVisible() && QApplication::activeModalWidget() == dialog;
      c.finish();
    });
    window.ShowDialog(C::frmcontrast);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(sink.Take(), (Events{{C::cmddone, E::Click}}));
  }
}

// What the input box shows; its OK and Cancel are pressed in the golden cases.
TEST_F(WindowRules, InputBoxShowsThePromptTitleAndDefaultText) {
  std::string prompt, title, shown;
  QTimer::singleShot(0, [&] {
    auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(input, nullptr);
    prompt = input->labelText().toStdString();
    title = input->windowTitle().toStdString();
    shown = input->textValue().toStdString();
    input->setTextValue("6562.8");
    input->accept();
  });
  EXPECT_EQ(window.InputBox("Enter the wavelength", "Manual Entry", "5000"), "6562.8");
  EXPECT_EQ(prompt, "Enter the wavelength");
  EXPECT_EQ(title, "Manual Entry");
  EXPECT_EQ(shown, "5000");
}

TEST_F(WindowRules, MessageBoxIsTitledWithTheProgramsName) {
  ModalAnswerer user{QString()};
  window.MessageBox("File not loaded successfully");
  EXPECT_EQ(user.messages, std::vector<std::string>{"File not loaded successfully"});
  EXPECT_EQ(user.messageTitles, std::vector<std::string>{"LXR4"});
}

TEST_F(WindowRules, PrinterIsThereExactlyWhenTheSystemHasADefaultPrinter) {
  // Only asks; nothing is drawn, so no page reaches a real printer.
  EXPECT_EQ(window.Printer().Setup(2), !QPrinterInfo::defaultPrinter().isNull());
  window.Printer().Abort();
}

// The golden cases close the window; after that nothing reaches the program.
TEST_F(WindowRules, AnEndedProgramTakesNoEvents) {
  window.Widget(C::Spectra)->close();
  EXPECT_EQ(sink.Take(), (Events{{C::Spectra, E::Unload}}));
  QTest::mouseClick(window.Widget(C::cmdload), Qt::LeftButton);
  EXPECT_EQ(sink.Take(), Events{});
}

// The golden cases compare the surfaces; these are the pixels the screen shows:
// as built from the control table (the surface under the controls, grey labels
// and check boxes, the read-out in the face colour, black outlines and line, a
// white graph), then with drawings and colours.
TEST_F(WindowRules, BuiltWindowDrawingAndColoursReachTheScreen) {
  const QImage built = window.ClientArea()->grab().toImage();
  const PaintedPoint point{10.5f, 20.5f, kRed};  // halves to even: (10, 20)
  window.PaintPoints({&point, 1});
  window.DrawLine(C::Spectra, Num(std::int16_t{100}), Num(std::int16_t{5}), Num(std::int16_t{103}),
                  Num(std::int16_t{5}), kGreen);
  window.DrawLine(C::Picgraph, Num(0.0), Num(0.0), Num(257.0), Num(109.0), kRed);
  window.SetColour(C::Shape2, kGreen);
  window.SetColour(C::Line1, kRed);
  const QImage drawn = window.ClientArea()->grab().toImage();
  window.ClearGraph();
  const QImage cleared = window.ClientArea()->grab().toImage();
  const QColor grey(192, 192, 192);
  const struct {
    const char* what;
    const QImage& shown;
    int x, y;
    QColor colour;
  } cases[] = {
      {"window surface", built, 1, 1, grey},
      {"object frame", built, 4, 8, Qt::black},
      {"data crop frame", built, 48, 300, Qt::black},
      {"separator line", built, 712, 200, Qt::black},
      {"check box background", built, 478, 80, grey},
      {"option button background", built, 310, 94, grey},
      {"label background", built, 190, 110, grey},
      {"read-out", built, 470, 366, QApplication::palette().color(QPalette::Button)},
      {"graph box client, top left", built, 226, 146, Qt::white},
      {"point", drawn, 10, 20, Qt::red},
      {"line", drawn, 103, 5, Qt::green},
      {"graph's far corner", drawn, 224 + 2 + 257, 144 + 2 + 109, Qt::red},
      {"calibration crop frame", drawn, 536, 300, Qt::green},
      {"separator line in colour", drawn, 712, 300, Qt::red},
      {"cleared graph", cleared, 224 + 2 + 257, 144 + 2 + 109, Qt::white},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.shown.pixelColor(c.x, c.y).name().toStdString(), c.colour.name().toStdString()) << c.what;
  EXPECT_NE(built.pixelColor(224, 144), QColor(Qt::white)) << "the graph box's sunken border";
}

}  // namespace
}  // namespace lxr4
