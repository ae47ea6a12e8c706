// The real program on the real window: start-up, loading an image through the
// real button and file dialog, the contrast dialog, printing, and the end.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/number_text.h"
#include "platform/qt/qt_window.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;

const QString kStar = QStringLiteral(LXR4_SAMPLES_DIR "/star.km1");

class ProgramWindow : public testing::Test {
 protected:
  ProgramWindow() {
    window.SetEventSink(&app);
    app.OnEvent(C::Spectra, Event::Load);
    window.ShowCentred();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.Widget(C::Spectra)));
  }
  void Click(Control c) { QTest::mouseClick(window.Widget(c), Qt::LeftButton); }
  const QComboBox* Combo(Control c) const { return static_cast<const QComboBox*>(window.Widget(c)); }
  const QLabel* Label(Control c) const { return static_cast<const QLabel*>(window.Widget(c)); }
  // Loads the sample star image as the object, answering the dialog as a user would.
  void LoadStar() {
    ASSERT_TRUE(QFile::exists(kStar)) << "missing sample " << kStar.toStdString();
    ModalAnswerer user(kStar);
    Click(C::cmdload);
    ASSERT_EQ(user.fileDialogs, 1);
    ASSERT_EQ(user.messages, std::vector<std::string>{});
  }

  QtWindow window;
  App app{window};
};

TEST_F(ProgramWindow, StartUpFillsBothListsAndTheCropLabels) {
  EXPECT_EQ(Combo(C::cboscale)->count(), 55);
  EXPECT_EQ(Combo(C::cboscale)->currentIndex(), 3);
  EXPECT_EQ(Combo(C::cboscale)->currentText().toStdString(), "5460.753 (Hg)");
  EXPECT_EQ(Combo(C::cbobox)->count(), 6);
  EXPECT_EQ(Combo(C::cbobox)->currentText().toStdString(), " 5 ");
  const std::pair<Control, const char*> crops[] = {
      {C::lbldatacrop1, " 1"}, {C::lbldatacrop2, " 20"}, {C::lblcalcrop1, " 1"}, {C::lblcalcrop2, " 20"}};
  for (const auto& [label, text] : crops) {
    SCOPED_TRACE(std::string(Name(label)));
    EXPECT_EQ(window.Caption(label), text);
    EXPECT_EQ(Label(label)->text().toStdString(), text);
  }
  EXPECT_TRUE(window.Widget(C::Spectra)->isVisible());
  EXPECT_FALSE(window.Widget(C::frmcontrast)->isVisible());
}

TEST_F(ProgramWindow, LoadSpectraReadsTheFileChosenInTheDialog) {
  ASSERT_TRUE(QFile::exists(kStar)) << "missing sample " << kStar.toStdString();
  ModalAnswerer user(kStar);
  Click(C::cmdload);
  ASSERT_EQ(user.fileDialogs, 1);
  EXPECT_EQ(user.fileFilters, (QStringList{"All Files (*)", "KM1 Files (*.KM1 *.km1)", "KM2 Files (*.KM2 *.km2)",
                                           "KM3 Files (*.KM3 *.km3)", "KM4 Files (*.KM4 *.km4)"}));
  EXPECT_EQ(user.selectedFilter.toStdString(), "All Files (*)");
  EXPECT_EQ(user.messages, std::vector<std::string>{});

  EXPECT_EQ(window.Caption(C::lblfiledata1), kStar.toStdString());
  EXPECT_EQ(app.s.Object.Loaded, kTrue);
  const auto* cursor = static_cast<const QScrollBar*>(window.Widget(C::hsbspectra));
  EXPECT_EQ(cursor->maximum(), app.s.Object.Width);
  EXPECT_EQ(cursor->value(), app.s.Object.Width / 2);

  // The image and the graph are on the screen as on the surfaces.
  const QImage shown = window.Widget(C::Spectra)->grab().toImage();
  const int x = static_cast<int>(app.s.Object.OriginX.AsDouble()) + 300, y = app.s.Object.OriginY + 10;
  const Rgb painted = window.WindowSurface().At(x, y);
  EXPECT_NE(painted, kWindowGrey);
  EXPECT_EQ(shown.pixelColor(x, y), QColor(painted.r, painted.g, painted.b));
  EXPECT_EQ(shown.pixelColor(4, 8), QColor(Qt::red)) << "the object frame turns red";
  bool graphDrawn = false;
  for (int gx = 0; gx < kGraphWidth; ++gx)
    for (int gy = 0; gy < kGraphHeight; ++gy) graphDrawn |= window.GraphSurface().At(gx, gy) != kWhite;
  EXPECT_TRUE(graphDrawn);
}

TEST_F(ProgramWindow, CancelledDialogLoadsNothing) {
  ModalAnswerer user{QString()};
  Click(C::cmdload2);
  EXPECT_EQ(user.fileDialogs, 1);
  EXPECT_EQ(user.messages, std::vector<std::string>{"No file was selected"});
  EXPECT_EQ(window.Caption(C::lblfiledata2), "");
  EXPECT_EQ(app.s.Cal.Loaded, kFalse);
}

TEST_F(ProgramWindow, ContrastDialogTakesTheTypedValues) {
  LoadStar();
  auto* background = static_cast<QLineEdit*>(window.Widget(C::txtbackground));
  auto* range = static_cast<QLineEdit*>(window.Widget(C::txtrange));
  const std::string before = NumberText(static_cast<long long>(app.s.Object.Background.AsDouble()));
  std::string shown;
  ModalAnswerer user{QString()};
  user.other = [&](QWidget* dialog) {
    if (dialog != window.Widget(C::frmcontrast)) return;
    shown = background->text().toStdString();
    background->selectAll();
    QTest::keyClicks(background, "120");
    range->selectAll();
    QTest::keyClicks(range, "900");
    QTest::mouseClick(window.Widget(C::cmddone), Qt::LeftButton);
  };
  Click(C::cmdcontrast);
  EXPECT_EQ(shown, before);
  EXPECT_FALSE(window.Widget(C::frmcontrast)->isVisible());
  EXPECT_EQ(app.s.Object.Background, Num(std::int16_t{120}));
  EXPECT_EQ(app.s.Object.Range, Num(std::int16_t{900}));
}

TEST_F(ProgramWindow, PrintGraphPrintsOnePage) {
  LoadStar();
  QTemporaryDir folder;
  const QString pdf = folder.filePath("page.pdf");
  window.PrintToPdf(pdf);
  ModalAnswerer user(QString{});
  Click(C::cmdprint);
  EXPECT_EQ(user.messages, std::vector<std::string>{"One page has been sent to your printer."});
  QFile page(pdf);
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  EXPECT_TRUE(page.read(5) == "%PDF-");
}

TEST_F(ProgramWindow, ExitEndsTheProgram) {
  Click(C::cmdexit);
  EXPECT_TRUE(window.Ended());
  EXPECT_FALSE(window.Widget(C::Spectra)->isVisible());
}

}  // namespace
}  // namespace lxr4
