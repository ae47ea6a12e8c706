// The Reduction menu's dialogs and the several-file open dialog on the real
// window, answered by the driver through their own widgets: a dialog's fields
// come back as shown on OK, a named answer changes only the fields it names,
// and the open dialog gives exactly the paths typed, in their order.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "qt/driver/window_driver.h"
#include "qt/qt_window.h"
#include "script/script_error.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

// Plays `open` with each answer queued: the answer with no names (OK on the
// fields shown), `named`, a cancel, then a name the dialog lacks.
template <typename Fields, typename Open>
void ExpectRoundTrip(AnswerQueue<std::optional<FieldWords>>& queue, Open open, const Fields& shown,
                     const FieldWords& named, const Fields& changed, const std::string& lacking) {
  queue.Push(FieldWords{});
  queue.Push(named);
  queue.Push(std::nullopt);
  queue.Push(FieldWords{{"colour", "blue"}});
  EXPECT_EQ(open(shown), shown) << "OK as shown";
  EXPECT_EQ(open(shown), changed) << "the named fields";
  EXPECT_EQ(open(shown), std::nullopt) << "Cancel";
  try {  // the last: a script error ends the session
    static_cast<void>(open(shown));
    ADD_FAILURE() << "no script error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.what(), lacking + " has no field \"colour\"");
  }
}

// Every field away from its default, so that a field the dialog drops shows.
TEST_F(ShownWindow, MastersDialogRoundTripsItsFields) {
  WindowDriver driver(window);
  const MastersFields shown{"b1.fits;b2.fits",     "d1.fits",   "f1.fits",
                            "bias.fits",           "dark.fits", "flat.fits",
                            CombineChoice::Median, "2.5"};
  MastersFields changed = shown;
  changed.flatFrames = "f2.fits;f3.fits";
  changed.darkMaster = "";
  changed.combine = CombineChoice::SigmaClip;
  ExpectRoundTrip(
      driver.Answers().masters, [&](const MastersFields& f) { return driver.MastersDialog(f); }, shown,
      {{"flat-frames", "f2.fits;f3.fits"}, {"dark-master", ""}, {"combine", "sigma-clip"}}, changed,
      "the Masters dialog");
}

TEST_F(ShownWindow, ExtractionDialogRoundTripsItsFields) {
  WindowDriver driver(window);
  const ExtractionFields shown{ExtractionChoice::Optimal, "4.5", SkyChoice::Fit, "12", "8", true,
                               CombineChoice::Median};
  ExtractionFields changed = shown;
  changed.method = ExtractionChoice::Boxcar;
  changed.aperture = "";
  changed.sky = SkyChoice::None;
  changed.cosmicRays = false;
  ExpectRoundTrip(
      driver.Answers().extractions, [&](const ExtractionFields& f) { return driver.ExtractionDialog(f); },
      shown, {{"method", "boxcar"}, {"aperture", ""}, {"sky", "none"}, {"cosmic-rays", "off"}}, changed,
      "the Extraction dialog");
}

TEST_F(ShownWindow, ResponseDialogRoundTripsItsFields) {
  WindowDriver driver(window);
  const ResponseFields shown{ResponseChoice::Use, "vega.txt", "response.fits", "80", false};
  ResponseFields changed = shown;
  changed.mode = ResponseChoice::Make;
  changed.reference = "hr 5501.fits";
  changed.maskLines = true;
  ExpectRoundTrip(
      driver.Answers().responses, [&](const ResponseFields& f) { return driver.ResponseDialog(f); }, shown,
      {{"mode", "make"}, {"reference", "hr 5501.fits"}, {"mask-lines", "on"}}, changed,
      "the Instrument Response dialog");
}

// A choice the dialog does not have refuses it, as the scripted window does.
TEST_F(ShownWindow, ReductionDialogRefusesAChoiceItLacks) {
  WindowDriver driver(window);
  driver.Answers().extractions.Push(FieldWords{{"sky", "mode"}});
  try {
    static_cast<void>(driver.ExtractionDialog({}));
    ADD_FAILURE() << "no script error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(std::string(e.what()), "sky is none|median|fit, not \"mode\"");
  }
}

// The several-file open dialog of a window run in a working folder holding
// a.fits, c.fits and sub/b.fits.
class OpenFilesDialog : public testing::Test {
 protected:
  OpenFilesDialog() : previous_(QDir::currentPath()) {
    for (const QString& name :
         {QStringLiteral("a.fits"), QStringLiteral("c.fits"), QStringLiteral("sub/b.fits")}) {
      QDir(folder_.path()).mkpath(QFileInfo(folder_.filePath(name)).path());
      QFile file(folder_.filePath(name));
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir::setCurrent(folder_.path());
  }
  ~OpenFilesDialog() override { QDir::setCurrent(previous_); }

  static std::optional<std::vector<std::string>> Chosen(std::optional<std::vector<std::string>> answer) {
    QtWindow window;
    WindowDriver driver(window);
    driver.Answers().openMany.Push(std::move(answer));
    return driver.OpenFilesDialog("FITS Images (*.fits)|*.fits|All Files (*.*)|*.*");
  }

 private:
  QTemporaryDir folder_;
  QString previous_;
};

// Not the order of the dialog's list: the order the user gave.
TEST_F(OpenFilesDialog, GivesThePathsInTheOrderChosen) {
  QTemporaryDir elsewhere;
  QFile outside(elsewhere.filePath(QStringLiteral("d.fits")));
  ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
  const std::vector<std::string> paths{"c.fits", "sub/b.fits", outside.fileName().toStdString(), "a.fits"};
  EXPECT_EQ(Chosen(paths), paths);
  EXPECT_EQ(Chosen(std::vector<std::string>{"c.fits", "a.fits"}),
            (std::vector<std::string>{"c.fits", "a.fits"}));
  EXPECT_EQ(Chosen(std::vector<std::string>{"a.fits"}), std::vector<std::string>{"a.fits"});
  EXPECT_EQ(Chosen(std::nullopt), std::nullopt);
}

TEST_F(OpenFilesDialog, RefusesWhatNoUserCanChooseAsAScriptError) {
  const struct {
    const char* what;
    std::vector<std::string> answer;
    std::string error;
  } cases[] = {
      {"a missing file",
       {"a.fits", "e.fits"},
       "the open-files dialog does not take \"a.fits\" \"e.fits\" as files"},
      {"a folder", {"sub"}, "the open-files dialog does not take \"sub\" as files"},
      {"no file", {}, "the open-files dialog was given no file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      static_cast<void>(Chosen(c.answer));
      ADD_FAILURE() << "no script error";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.what(), c.error);
    }
  }
}

}  // namespace
}  // namespace lxr4
