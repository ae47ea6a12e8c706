// The Spectrum view's window: the controls (the measuring row too) hand on
// what the user does and nothing the program sets; the canvas shows the picture pixel for pixel;
// the view first opens with its canvas at the start size, and is silent once
// the program has ended. (The golden case view-frame plays the mouse, wheel,
// keys and new sizes on the real window against the scripted one.)
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "qt/spectrum_view_window.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using K = ViewInput::Kind;

class ViewWindow : public testing::Test {
 protected:
  ViewWindow() : view(nullptr, [this](const ViewInput& in) { inputs.push_back(in); }) {
    view.resize(view.sizeHint());
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    inputs.clear();  // whatever size the test's screen gave it
  }
  QWidget* Canvas() { return view.Canvas(); }
  template <class W = QAbstractButton>
  W* Part(const char* name) {
    return view.findChild<W*>(QString::fromLatin1(name));
  }

  std::vector<ViewInput> inputs;
  SpectrumViewWindow view;
};

TEST_F(ViewWindow, ControlsSetByTheProgramHandNothingOnAndTheUsersDo) {
  const ViewControls set{ViewUnits::Nanometre, "400", "700.5", false, true, false, {}};
  view.SetControls(set);
  EXPECT_TRUE(inputs.empty());
  EXPECT_EQ(view.Controls(), set);
  EXPECT_EQ(Part<QComboBox>(kViewUnitsName)->currentText().toStdString(), "nm");

  Part<QLineEdit>(kViewToName)->setText(QStringLiteral("650"));
  Part(kViewApplyName)->click();
  QTest::keyClick(Part<QLineEdit>(kViewFromName), Qt::Key_Return);
  Part(kViewResetName)->click();
  Part(kViewLampName)->click();
  Part<QComboBox>(kViewUnitsName)->setCurrentIndex(0);  // as the list does when the user takes an entry
  ASSERT_EQ(inputs.size(), 5u);
  EXPECT_EQ(inputs[0].kind, K::Range);
  EXPECT_EQ(inputs[0].fromText, "400");
  EXPECT_EQ(inputs[0].toText, "650");
  EXPECT_EQ(inputs[1].kind, K::Range) << "Enter in a box applies";
  EXPECT_EQ(inputs[2].kind, K::Reset);
  EXPECT_EQ(inputs[3].kind, K::Show);
  EXPECT_FALSE(inputs[3].showObject);
  EXPECT_FALSE(inputs[3].showLamp);
  EXPECT_FALSE(inputs[3].scaleOverlays);
  EXPECT_EQ(inputs[4].kind, K::Units);
  EXPECT_EQ(inputs[4].units, ViewUnits::Angstrom);
}

// The measuring row as the program sets it hands nothing on and reads back
// the same. Enter in the rest box hands on its text once, whether or not it
// is an entry's; an entry stepped to is handed on too. (The driver's test
// works the row's other widgets.)
TEST_F(ViewWindow, TheMeasuringRowHandsOnTheUsersChangesOnly) {
  ViewControls set;
  set.measure = {DragMode::Continuum, MeasureProfile::Voigt, "4861.33", "-12.5", true, true,
                 {"6562.80 H-alpha", "4861.33 H-beta"}};
  view.SetControls(set);
  EXPECT_TRUE(inputs.empty());
  EXPECT_EQ(view.Controls(), set);
  EXPECT_EQ(Part<QComboBox>(kViewDragName)->currentText().toStdString(), "Mark continuum");

  auto* rest = Part<QComboBox>(kViewRestName);
  for (const QString& typed : {QStringLiteral("4861.33 H-beta"), QStringLiteral("5000")}) {
    rest->clearEditText();
    QTest::keyClicks(rest, typed);  // the box passes its keys to its text
    QTest::keyClick(rest, Qt::Key_Return);
  }
  QTest::keyClick(rest, Qt::Key_Up);  // from the entry typed to the one above
  std::vector<std::string> texts;
  for (const ViewInput& in : inputs) texts.push_back(in.kind == K::Rest ? in.restText : "not rest");
  EXPECT_EQ(texts, (std::vector<std::string>{"4861.33 H-beta", "5000", "6562.80 H-alpha"}));
}

// The picture's pixels on the screen are the painter's own, unscaled.
TEST_F(ViewWindow, TheCanvasShowsThePicturePixelForPixel) {
  PlotPicture p;
  p.width = 300;
  p.height = 200;
  p.background = Rgb{200, 210, 220};
  p.rects.push_back({10, 20, 5, 4, Rgb{255, 0, 0}});
  p.lines.push_back({0, 100, 299, 100, Rgb{0, 0, 255}});
  view.SetPicture(p);
  const QImage shown = Canvas()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(10, 20), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(14, 23), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(15, 23), QColor(200, 210, 220));
  EXPECT_EQ(shown.pixelColor(150, 100), QColor(0, 0, 255));
  EXPECT_EQ(shown.pixelColor(150, 101), QColor(200, 210, 220));
  EXPECT_EQ(shown.pixelColor(299, 199), QColor(200, 210, 220));
}

// The view opens with its canvas at the start size, which needs no new
// picture; after the program ends the view's inputs are dropped.
TEST_F(ShownWindow, TheViewOpensAtTheStartSizeAndFallsSilentWhenTheProgramEnds) {
  struct ViewSink final : EventSink {
    void OnEvent(Control, Event) override {}
    void OnMenu(MenuItem) override {}
    void OnSpectrumView(const ViewInput& in) override { inputs.push_back(in); }
    std::vector<ViewInput> inputs;
  } viewSink;
  window.SetEventSink(&viewSink);
  window.ShowSpectrumView();
  SpectrumViewWindow* view = window.SpectrumView();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  QCoreApplication::processEvents();
  EXPECT_EQ(view->Canvas()->size(), QSize(kViewStartWidth, kViewStartHeight));
  EXPECT_EQ(view->windowTitle().toStdString(), "Spectrum");
  EXPECT_EQ(window.SpectrumViewSize().width, kViewStartWidth);
  EXPECT_EQ(window.SpectrumViewSize().height, kViewStartHeight);
  EXPECT_TRUE(viewSink.inputs.empty());
  QTest::mouseClick(view->Canvas(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(viewSink.inputs.size(), 1u);
  window.EndProgram();
  QTest::mouseClick(view->Canvas(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(viewSink.inputs.size(), 1u);
  EXPECT_FALSE(view->isVisible());
}

}  // namespace
}  // namespace lxr4
