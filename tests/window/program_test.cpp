// The real program on the real window, where the golden cases do not look: the
// open-file dialog's filters, printing on the window's own printer or into a
// PDF file, and what the window remembers between runs. (The golden cases load
// through this dialog on the real window.)
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <gtest/gtest.h>

#include "qt/qt_window.h"
#include "qt/user_settings.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;

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

bool IsPdf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

// The golden cases print the PDF page on the scripted printer; here into the file.
TEST_F(ProgramWindow, PrintToPdfWritesThePageNamedInTheSaveDialog) {
  Load(C::cmdload, "star.km1");
  QTemporaryDir folder;
  const QString pdf = folder.filePath("page.pdf");
  ModalAnswerer user(pdf);
  window.MenuAction(MenuItem::PrintPdf)->trigger();
  EXPECT_EQ(user.fileFilters, QStringList{"PDF (*.pdf *.PDF)"});
  EXPECT_EQ(user.messages, std::vector<std::string>{"The page has been saved as " + pdf.toStdString() + "."});
  EXPECT_TRUE(IsPdf(pdf));
  EXPECT_FALSE(QFile::exists(pdf + ".part"));
}

TEST_F(ProgramWindow, PrintGraphWithoutAPrinterOffersAPdfFile) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
  Load(C::cmdload, "star.km1");
  QTemporaryDir folder;
  const QString pdf = folder.filePath("page.pdf");
  ModalAnswerer user(pdf);
  Click(C::cmdprint);
  EXPECT_EQ(user.messages,
            (std::vector<std::string>{"No printer is installed. You can save the page as a PDF file instead: "
                                      "choose its name, or Cancel.",
                                      "The page has been saved as " + pdf.toStdString() + "."}));
  EXPECT_TRUE(IsPdf(pdf));
}

// Scripts cannot choose a recent file; here one is loaded again, with no dialog.
// The list is newest first, each file once per slot, and there in the next run.
TEST_F(ProgramWindow, OpenRecentLoadsTheFileIntoItsSlotAgain) {
  UserSettings()->remove(kRecentFilesKey);
  Load(C::cmdload, "star.km1");
  Load(C::cmdload2, "lamp.km1");
  Load(C::cmdload, "star.km1");
  ASSERT_EQ(app.s.CalGraphShown, kFalse);
  const QtWindow next;  // a later run
  QStringList texts;
  for (const QAction* entry : next.MenuAction(MenuItem::OpenRecent)->menu()->actions())
    texts << entry->text();
  EXPECT_EQ(texts, (QStringList{"Spectrum: " LXR4_SAMPLES_DIR "/star.km1",
                                "Calibration: " LXR4_SAMPLES_DIR "/lamp.km1"}));
  const QList<QAction*> entries = window.MenuAction(MenuItem::OpenRecent)->menu()->actions();
  ASSERT_EQ(entries.size(), 2);
  ModalAnswerer user{QString()};
  entries.at(1)->trigger();
  EXPECT_EQ(user.fileDialogs, 0);
  EXPECT_EQ(user.messages, std::vector<std::string>{});
  EXPECT_EQ(app.s.CalGraphShown, kTrue);
  EXPECT_TRUE(app.s.Cal.FileName.ends_with("samples/lamp.km1"));
  UserSettings()->remove(kRecentFilesKey);
}

TEST_F(ProgramWindow, OpenDialogStartsInTheFolderOfTheLastFileChosen) {
  Load(C::cmdload, "star.km1");
  QtWindow next;  // a later run
  const auto program = std::make_unique<App>(next);
  next.SetEventSink(program.get());
  ModalAnswerer user{QString()};
  next.MenuAction(MenuItem::OpenCalibration)->trigger();
  ASSERT_EQ(user.fileDialogs, 1);
  EXPECT_EQ(user.directory, QDir(QStringLiteral(LXR4_SAMPLES_DIR)).absolutePath());
}

}  // namespace
}  // namespace lxr4
