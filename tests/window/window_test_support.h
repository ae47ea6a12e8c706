// Helpers of the window tests: a sink that records the events the window
// delivers, an answerer that plays the user in the modal dialogs, and the
// shown window alone or with the whole program.
#pragma once

#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "qt/qt_window.h"
#include "state/window.h"

namespace lxr4 {

using Delivered = std::pair<Control, Event>;

inline void PrintTo(const Delivered& d, std::ostream* os) {
  static constexpr const char* kEvents[] = {"Load", "Unload", "Click", "Scroll", "Change"};
  *os << Name(d.first) << ' ' << kEvents[static_cast<int>(d.second)];
}

class RecordingSink final : public EventSink {
 public:
  void OnEvent(Control control, Event event) override {
    events.emplace_back(control, event);
    if (then) then(control, event);
  }
  void OnMenu(MenuItem item) override { menus.push_back(item); }
  void OnSpectrumView(const ViewInput& input) override { viewInputs.push_back(input); }
  void OnMeasurementTableEdit(const MeasurementTableEdit& edit) override { measurementEdits.push_back(edit); }
  // The events delivered since the last call, which forgets them.
  std::vector<Delivered> Take() { return std::exchange(events, {}); }

  std::vector<Delivered> events;
  std::vector<MenuItem> menus;
  std::vector<ViewInput> viewInputs;
  std::vector<MeasurementTableEdit> measurementEdits;
  std::function<void(Control, Event)> then;  // what the program does with an event
};

// While it lives, answers every modal dialog that opens, once: an open-file
// dialog with `path` (or cancels it when the path is empty), a message box with
// OK. A dialog still open kCloseSeconds after its answer fails the test.
class ModalAnswerer {
 public:
  explicit ModalAnswerer(QString path);

  std::vector<std::string> messages;  // texts of the message boxes, in order
  std::vector<std::string> messageTitles;
  QStringList fileFilters;            // filters of the last open-file dialog
  QString selectedFilter;             // the filter it showed first
  QString directory;                  // the folder it showed
  int fileDialogs = 0;

 private:
  static constexpr int kCloseSeconds = 10;
  void Answer();

  QString path_;
  QPointer<QDialog> answered_;  // the dialog answered last, until it closes
  QDeadlineTimer closing_;
  QTimer timer_;
};

// The window shown, its events recorded.
class ShownWindow : public testing::Test {
 protected:
  ShownWindow() {
    window.SetEventSink(&sink);
    window.ShowCentred();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.Widget(Control::Spectra)));
  }
  QtWindow window;
  RecordingSink sink;
};

// The program on the real window, started and shown.
class ProgramWindow : public testing::Test {
 protected:
  ProgramWindow() {
    window.SetEventSink(&app);
    app.OnEvent(Control::Spectra, Event::Load);
    window.ShowCentred();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.Widget(Control::Spectra)));
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

}  // namespace lxr4
