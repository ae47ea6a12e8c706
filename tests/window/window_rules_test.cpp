// The window rules, with a sink of the test standing for the program: what the
// user's actions deliver, and what the program's own changes run nested.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QPrinterInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/qt/qt_window.h"
#include "platform/qt/widgets.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;
using E = Event;
using Events = std::vector<Delivered>;

class WindowRules : public testing::Test {
 protected:
  WindowRules() {
    window.SetEventSink(&sink);
    window.ShowCentred();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.Widget(Control::Spectra)));
  }
  QScrollBar* Bar(Control c) { return static_cast<QScrollBar*>(window.Widget(c)); }
  QAbstractButton* Button(Control c) { return static_cast<QAbstractButton*>(window.Widget(c)); }

  QtWindow window;
  RecordingSink sink;
};

TEST_F(WindowRules, ScrollBarSetFromCodeRunsItsChangeOnceAndTheSameValueNothing) {
  const struct {
    const char* what;
    std::function<void()> act;
    int value;
    Events events;
  } steps[] = {
      {"a new value", [&] { window.SetValue(C::hsbspectra, 100); }, 100, {{C::hsbspectra, E::Change}}},
      {"the same value", [&] { window.SetValue(C::hsbspectra, 100); }, 100, {}},
      {"above the maximum", [&] { window.SetValue(C::hsbspectra, 5000); }, 768, {{C::hsbspectra, E::Change}}},
      {"clamped to the same", [&] { window.SetValue(C::hsbspectra, 769); }, 768, {}},
      {"below the minimum", [&] { window.SetValue(C::hsbspectra, -3); }, 1, {{C::hsbspectra, E::Change}}},
      {"maximum above the value", [&] { window.SetMaximum(C::hsbspectra, 765); }, 1, {}},
      {"new value", [&] { window.SetValue(C::hsbspectra, 700); }, 700, {{C::hsbspectra, E::Change}}},
      {"maximum below the value", [&] { window.SetMaximum(C::hsbspectra, 500); }, 500, {{C::hsbspectra, E::Change}}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(window.Value(C::hsbspectra), step.value);
    EXPECT_EQ(sink.Take(), step.events);
  }
}

TEST_F(WindowRules, ChangeRunsNestedInsideTheCallThatSetTheValue) {
  std::vector<int> seen;
  sink.then = [&](Control, Event) { seen.push_back(window.Value(C::hsbcropdata1)); };
  window.SetValue(C::hsbcropdata1, 7);
  EXPECT_EQ(seen, std::vector<int>{7});
}

TEST_F(WindowRules, DraggedThumbScrollsAtEachValueAndChangesWhenLetGo) {
  auto* bar = static_cast<ScrollBar*>(Bar(C::hsbspectra));
  bar->setSliderDown(true);
  bar->DragThumbTo(200);
  bar->DragThumbTo(201);
  bar->setSliderDown(false);
  EXPECT_EQ(sink.Take(), (Events{{C::hsbspectra, E::Scroll}, {C::hsbspectra, E::Scroll}, {C::hsbspectra, E::Change}}));
  EXPECT_EQ(window.Value(C::hsbspectra), 201);
}

TEST_F(WindowRules, ArrowAndTroughClicksChangeOnce) {
  QScrollBar* bar = Bar(C::hsbcropdata1);  // 1..20, trough step 5
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
  EXPECT_EQ(window.Value(C::hsbcropdata1), 2);
  EXPECT_EQ(sink.Take(), (Events{{C::hsbcropdata1, E::Change}}));
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(window.Value(C::hsbcropdata1), 7);
  EXPECT_EQ(sink.Take(), (Events{{C::hsbcropdata1, E::Change}}));
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);  // at the minimum already
  EXPECT_EQ(sink.Take(), (Events{{C::hsbcropdata1, E::Change}}));
}

TEST_F(WindowRules, CheckBoxClickTicksThenReports) {
  std::vector<bool> tickedWhenRun;
  sink.then = [&](Control c, Event) { tickedWhenRun.push_back(window.Ticked(c)); };
  QTest::mouseClick(Button(C::chkexpand), Qt::LeftButton);
  QTest::mouseClick(Button(C::chkexpand), Qt::LeftButton);
  EXPECT_EQ(sink.Take(), (Events{{C::chkexpand, E::Click}, {C::chkexpand, E::Click}}));
  EXPECT_EQ(tickedWhenRun, (std::vector<bool>{true, false}));
}

TEST_F(WindowRules, OptionButtonClickSelectsItAloneAndTheSelectedOneIgnoresClicks) {
  QTest::mouseClick(Button(C::autograph), Qt::LeftButton);
  EXPECT_EQ(sink.Take(), Events{});
  EXPECT_TRUE(Button(C::autograph)->isChecked());

  QTest::mouseClick(Button(C::loggraph), Qt::LeftButton);
  EXPECT_EQ(sink.Take(), (Events{{C::loggraph, E::Click}}));
  for (const Control c : {C::Lingraph, C::loggraph, C::autograph, C::pushgraph}) {
    SCOPED_TRACE(std::string(Name(c)));
    EXPECT_EQ(Button(c)->isChecked(), c == C::loggraph);
  }
}

TEST_F(WindowRules, OptionSetFromCodeRunsNothing) {
  window.SetOption(C::pushgraph, true);
  window.SetOption(C::autograph, false);
  EXPECT_EQ(sink.Take(), Events{});
  EXPECT_TRUE(Button(C::pushgraph)->isChecked());
  EXPECT_FALSE(Button(C::autograph)->isChecked());
}

TEST_F(WindowRules, EntrySelectedFromCodeRunsTheClickEveryTime) {
  for (const char* text : {" 3 ", " 5 ", " 7 "}) window.AppendEntry(C::cbobox, text);
  EXPECT_EQ(window.SelectedIndex(C::cbobox), -1) << "appending selects nothing";
  window.SelectEntry(C::cbobox, 1);
  window.SelectEntry(C::cbobox, 1);
  EXPECT_EQ(sink.Take(), (Events{{C::cbobox, E::Click}, {C::cbobox, E::Click}}));
  EXPECT_EQ(window.SelectedIndex(C::cbobox), 1);
}

TEST_F(WindowRules, EntryChosenByTheUserRunsTheClick) {
  for (const char* text : {"3650.150 (Hg)", "4046.572 (Hg)"}) window.AppendEntry(C::cboscale, text);
  window.SelectEntry(C::cboscale, 0);
  sink.Take();
  auto* combo = static_cast<QComboBox*>(window.Widget(C::cboscale));
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(sink.Take(), (Events{{C::cboscale, E::Click}}));
  EXPECT_EQ(window.SelectedIndex(C::cboscale), 1);
  EXPECT_EQ(combo->currentText().toStdString(), "4046.572 (Hg)");
}

TEST_F(WindowRules, LabelCaptionsShowLineBreaksAndKeepTheirText) {
  window.SetCaption(C::Lblwavelength, "Line 1\r\nLine 2");
  EXPECT_EQ(window.Caption(C::Lblwavelength), "Line 1\r\nLine 2");
  EXPECT_EQ(static_cast<QLabel*>(window.Widget(C::Lblwavelength))->text().toStdString(), "Line 1\nLine 2");
}

TEST_F(WindowRules, ReadersAnswerForEveryKindTheProgramAsks) {
  window.SetText(C::txtrange, " 2000");
  EXPECT_EQ(window.Text(C::txtrange), " 2000");
  EXPECT_EQ(window.Text(C::cbobox), "") << "no entry selected";
  window.AppendEntry(C::cbobox, " 3 ");
  window.SelectEntry(C::cbobox, 0);
  EXPECT_EQ(window.Text(C::cbobox), " 3 ");
  EXPECT_TRUE(window.Ticked(C::autograph)) << "an option button's selection";
  EXPECT_FALSE(window.Ticked(C::Lingraph));
}

TEST_F(WindowRules, CaptionsAndColoursOfEveryKindShow) {
  window.SetCaption(C::cmdexit, "Quit");
  window.SetCaption(C::Spectra, "Title");
  window.SetColour(C::Label2, kRed);
  window.SetColour(C::Shape2, kGreen);
  window.SetColour(C::Line1, kRed);
  EXPECT_EQ(Button(C::cmdexit)->text().toStdString(), "Quit");
  EXPECT_EQ(window.Widget(C::Spectra)->windowTitle().toStdString(), "Title");
  EXPECT_EQ(window.Colour(C::Label2), kRed);
  EXPECT_EQ(window.Colour(C::Label3), kBlack);
  const QImage shown = window.Widget(C::Spectra)->grab().toImage();
  EXPECT_EQ(shown.pixelColor(536, 300), QColor(0, 255, 0)) << "calibration crop frame";
  EXPECT_EQ(shown.pixelColor(712, 300), QColor(255, 0, 0)) << "separator line";
  EXPECT_EQ(static_cast<QLabel*>(window.Widget(C::Label2))->palette().color(QPalette::WindowText),
            QColor(255, 0, 0));
}

TEST_F(WindowRules, ContrastDialogReturnsOnceTheProgramHidesIt) {
  sink.then = [&](Control c, Event) {
    if (c == C::cmddone) window.HideDialog(C::frmcontrast);
  };
  QWidget* dialog = window.Widget(C::frmcontrast);
  const struct {
    const char* how;
    std::function<void()> finish;
  } cases[] = {
      {"Done", [&] { QTest::mouseClick(window.Widget(C::cmddone), Qt::LeftButton); }},
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

TEST_F(WindowRules, InputBoxReturnsTheTypedTextOrNothingWhenCancelled) {
  const struct {
    const char* what;
    bool accept;
    std::optional<std::string> expected;
  } cases[] = {{"OK", true, "6562.8"}, {"Cancel", false, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string prompt, title, shown;
    QTimer::singleShot(0, [&] {
      auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(input, nullptr);
      prompt = input->labelText().toStdString();
      title = input->windowTitle().toStdString();
      shown = input->textValue().toStdString();
      input->setTextValue("6562.8");
      c.accept ? input->accept() : input->reject();
    });
    EXPECT_EQ(window.InputBox("Enter the wavelength", "Manual Entry", "5000"), c.expected);
    EXPECT_EQ(prompt, "Enter the wavelength");
    EXPECT_EQ(title, "Manual Entry");
    EXPECT_EQ(shown, "5000");
  }
}

TEST_F(WindowRules, MessageBoxIsTitledWithTheProgramsName) {
  ModalAnswerer user{QString()};
  window.MessageBox("File not loaded successfully");
  EXPECT_EQ(user.messages, std::vector<std::string>{"File not loaded successfully"});
  EXPECT_EQ(user.messageTitles, std::vector<std::string>{"LXR4"});
}

TEST_F(WindowRules, PrinterIsThereExactlyWhenTheSystemHasADefaultPrinter) {
  // Only asks; nothing is drawn, so no page reaches a real printer.
  EXPECT_EQ(window.PrinterSetup(2), !QPrinterInfo::defaultPrinter().isNull());
  window.PrinterAbort();
}

TEST_F(WindowRules, ClosingTheMainWindowUnloadsAndEnds) {
  window.Widget(C::Spectra)->close();
  EXPECT_EQ(sink.Take(), (Events{{C::Spectra, E::Unload}}));
  EXPECT_TRUE(window.Ended());
  EXPECT_FALSE(window.Widget(C::Spectra)->isVisible());
  QTest::mouseClick(Button(C::cmdload), Qt::LeftButton);
  EXPECT_EQ(sink.Take(), Events{}) << "an ended program takes no events";
}

TEST_F(WindowRules, DrawingGoesToTheSurfacesAndOntoTheScreen) {
  window.PaintPoint(Num(10.5f), Num(20.5f), kRed);  // halves to even: (10, 20)
  window.DrawLine(C::Spectra, Num(std::int16_t{100}), Num(std::int16_t{5}), Num(std::int16_t{103}),
                  Num(std::int16_t{5}), kGreen);
  window.DrawLine(C::Picgraph, Num(0.0), Num(0.0), Num(257.0), Num(109.0), kRed);
  EXPECT_EQ(window.WindowSurface().At(10, 20), kRed);
  EXPECT_EQ(window.WindowSurface().At(103, 5), kGreen);
  EXPECT_EQ(window.GraphSurface().At(257, 109), kRed);

  const QImage shown = window.Widget(C::Spectra)->grab().toImage();
  EXPECT_EQ(shown.pixelColor(10, 20), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(103, 5), QColor(0, 255, 0));
  EXPECT_EQ(shown.pixelColor(224 + 2, 144 + 2), QColor(255, 0, 0)) << "graph origin inside the border";
  EXPECT_EQ(shown.pixelColor(224 + 2 + 257, 144 + 2 + 109), QColor(255, 0, 0));

  window.ClearGraph();
  EXPECT_EQ(window.GraphSurface().At(257, 109), kWhite);
}

}  // namespace
}  // namespace lxr4
