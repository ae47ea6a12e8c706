// The real program on the real window, where the golden cases do not look: the
// open-file dialog's filters and printing on the window's own printer. (The
// golden cases load through this dialog on the real window.)
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

#include "app/app.h"
#include "platform/qt/qt_window.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;

class ProgramWindow : public testing::Test {
 protected:
  ProgramWindow() {
    window.SetEventSink(&app);
    app.OnEvent(C::Spectra, Event::Load);
    window.ShowCentred();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.Widget(C::Spectra)));
  }
  void Click(Control c) { QTest::mouseClick(window.Widget(c), Qt::LeftButton); }
  // Loads a sample through `button` and the dialog, as a user would.
  void Load(Control button, const char* sample) {
    const QString path = QStringLiteral(LXR4_SAMPLES_DIR "/") + sample;
    ASSERT_TRUE(QFile::exists(path)) << "missing sample " << path.toStdString();
    ModalAnswerer user(path);
    Click(button);
    ASSERT_EQ(user.fileDialogs, 1);
    ASSERT_EQ(user.messages, std::vector<std::string>{});
  }

  QtWindow window;
  App app{window};
};

TEST_F(ProgramWindow, LoadSpectraOffersTheCameraFileFilters) {
  ModalAnswerer user{QString()};
  Click(C::cmdload);
  ASSERT_EQ(user.fileDialogs, 1);
  EXPECT_EQ(user.fileFilters, (QStringList{"All Files (*)", "KM1 Files (*.KM1 *.km1)", "KM2 Files (*.KM2 *.km2)",
                                           "KM3 Files (*.KM3 *.km3)", "KM4 Files (*.KM4 *.km4)"}));
  EXPECT_EQ(user.selectedFilter.toStdString(), "All Files (*)");
}

// The golden cases print on the scripted printer; here the window's own prints
// the calibrated star (lamp lines 5460.753 at column 300, 6402.246 at 480).
TEST_F(ProgramWindow, PrintGraphPrintsOneLandscapePage) {
  Load(C::cmdload2, "lamp.km1");
  {
    ModalAnswerer user{QString()};
    window.SelectEntry(C::cboscale, 3);
    window.SetValue(C::hsbspectra, 300);
    Click(C::cmdmarkline1);
    window.SelectEntry(C::cboscale, 22);
    window.SetValue(C::hsbspectra, 480);
    Click(C::cmdmarkline2);
    ASSERT_EQ(user.messages, std::vector<std::string>{});
  }
  Load(C::cmdload, "star.km1");
  ASSERT_TRUE(app.s.CalibrationDone);

  QTemporaryDir folder;
  const QString pdf = folder.filePath("page.pdf");
  window.PrintToPdf(pdf);
  ModalAnswerer user{QString()};
  Click(C::cmdprint);
  EXPECT_EQ(user.messages, std::vector<std::string>{"One page has been sent to your printer."});
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const std::string page = file.readAll().toStdString();
  ASSERT_EQ(page.rfind("%PDF-", 0), 0u);
  EXPECT_NE(page.find("/Count 1"), std::string::npos);
  const std::size_t box = page.find("/MediaBox [");
  ASSERT_NE(box, std::string::npos);
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  ASSERT_EQ(std::sscanf(page.c_str() + box, "/MediaBox [%lf %lf %lf %lf", &x0, &y0, &x1, &y1), 4);
  EXPECT_GT(x1 - x0, y1 - y0) << "landscape";
}

}  // namespace
}  // namespace lxr4
