// The real program on the real window, where the golden cases do not look: the
// open-file dialog's filters, and printing on the window's own printer.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/app.h"
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

// The golden cases load through this dialog; here, the filters it offers.
TEST_F(ProgramWindow, LoadSpectraOffersTheCameraFileFilters) {
  ModalAnswerer user{QString()};
  Click(C::cmdload);
  ASSERT_EQ(user.fileDialogs, 1);
  EXPECT_EQ(user.fileFilters, (QStringList{"All Files (*)", "KM1 Files (*.KM1 *.km1)", "KM2 Files (*.KM2 *.km2)",
                                           "KM3 Files (*.KM3 *.km3)", "KM4 Files (*.KM4 *.km4)"}));
  EXPECT_EQ(user.selectedFilter.toStdString(), "All Files (*)");
}

// The golden cases print on the scripted printer; the window's own prints here.
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

}  // namespace
}  // namespace lxr4
