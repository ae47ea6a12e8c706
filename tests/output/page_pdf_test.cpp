// The printed page through the real window's printer, sent to a PDF file:
// the same handler and page code as on paper, on the samples.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/qt/qt_window.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;

// Plays the user in the modal dialogs: the open-file dialog gets the next
// queued path, a message box is read and closed with OK.
class Answerer {
 public:
  Answerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    timer_.start(10);
  }
  std::vector<std::string> paths;     // answers for the open-file dialogs, in order
  std::vector<std::string> messages;  // texts of the message boxes shown

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* files = qobject_cast<QFileDialog*>(modal); files && !paths.empty()) {
      files->selectFile(QString::fromStdString(paths.front()));
      paths.erase(paths.begin());
      static_cast<QDialog*>(files)->accept();  // accept() is public on QDialog
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      messages.push_back(box->text().toStdString());
      box->button(QMessageBox::Ok)->click();
    }
  }
  QTimer timer_;
};

class PagePdf : public ::testing::Test {
 protected:
  PagePdf() {
    window.SetEventSink(&app);
    app.OnEvent(Control::Spectra, Event::Load);
    folder = fs::path(::testing::TempDir()) /
             ("lxr4-page-pdf-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(folder);
  }
  ~PagePdf() override { fs::remove_all(folder); }

  void Load(Control button, const char* sample) {
    answerer.paths.push_back(std::string(LXR4_SAMPLES_DIR) + "/" + sample);
    app.OnEvent(button, Event::Click);
  }
  // Calibrates on the lamp: 5460.753 at column 300, 6402.246 at column 480.
  void Calibrate() {
    Load(Control::cmdload2, "lamp.km1");
    window.SelectEntry(Control::cboscale, 3);
    window.SetValue(Control::hsbspectra, 300);
    app.OnEvent(Control::cmdmarkline1, Event::Click);
    window.SelectEntry(Control::cboscale, 22);
    window.SetValue(Control::hsbspectra, 480);
    app.OnEvent(Control::cmdmarkline2, Event::Click);
  }
  std::string Print(const char* name) {
    const fs::path pdf = folder / name;
    window.PrintToPdf(QString::fromStdString(pdf.string()));
    answerer.messages.clear();
    app.OnEvent(Control::cmdprint, Event::Click);
    if (!fs::exists(pdf)) return {};
    std::ifstream in(pdf, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  QtWindow window;
  App app{window};
  Answerer answerer;
  fs::path folder;
};

// One landscape page: the page's media box is wider than it is high.
void ExpectOneLandscapePage(const std::string& pdf) {
  ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
  const std::size_t box = pdf.find("/MediaBox [");
  ASSERT_NE(box, std::string::npos);
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  ASSERT_EQ(std::sscanf(pdf.c_str() + box, "/MediaBox [%lf %lf %lf %lf", &x0, &y0, &x1, &y1), 4);
  EXPECT_GT(x1 - x0, y1 - y0);
}

TEST_F(PagePdf, CalibratedStarPage) {
  Calibrate();
  Load(Control::cmdload, "star.km1");
  ASSERT_TRUE(app.s.CalibrationDone);
  const std::string pdf = Print("calibrated.pdf");
  EXPECT_EQ(answerer.messages, std::vector<std::string>{"One page has been sent to your printer."});
  ExpectOneLandscapePage(pdf);
}

TEST_F(PagePdf, PixelScaleStarPage) {
  Load(Control::cmdload, "star.km1");
  const std::string pdf = Print("pixels.pdf");
  EXPECT_EQ(answerer.messages, std::vector<std::string>{"One page has been sent to your printer."});
  ExpectOneLandscapePage(pdf);
}

// Before any extraction the curve has no scale: the begun page is dropped, no file is left.
TEST_F(PagePdf, FailedPageLeavesNoFile) {
  EXPECT_EQ(Print("failed.pdf"), "");
  EXPECT_EQ(answerer.messages, std::vector<std::string>{"There was a problem printing to your printer."});
  EXPECT_FALSE(fs::exists(folder / "failed.pdf"));
}

}  // namespace
}  // namespace lxr4

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no window system
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
