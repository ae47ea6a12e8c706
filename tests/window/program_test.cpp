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

// The golden cases print on the scripted printer (the calibrated page and its
// "printer setup 2" included); here the window's own prints one page. (Its
// landscape page is printer_test.)
TEST_F(ProgramWindow, PrintGraphPrintsOnePage) {
  Load(C::cmdload, "star.km1");
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
}

bool IsPdf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

// Print to PDF on the real window is the golden case print-pdf (its messages,
// the save dialog answered); here the window's own PDF through that dialog.
TEST_F(ProgramWindow, PrintGraphWithoutAPrinterOffersAPdfFile) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
  Load(C::cmdload, "star.km1");
  QTemporaryDir folder;
  const QString pdf = folder.filePath("page.pdf");
  ModalAnswerer user(pdf);
  Click(C::cmdprint);
  EXPECT_EQ(user.fileFilters, QStringList{"PDF (*.pdf *.PDF)"});
  EXPECT_EQ(user.messages,
            (std::vector<std::string>{"No printer is installed. You can save the page as a PDF file instead: "
                                      "choose its name, or Cancel.",
                                      "The page has been saved as " + pdf.toStdString() + "."}));
  EXPECT_TRUE(IsPdf(pdf));
  EXPECT_FALSE(QFile::exists(pdf + ".part"));
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
