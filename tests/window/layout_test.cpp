// The two windows as built from the control table, before the program starts.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <map>
#include <gtest/gtest.h>

#include "platform/qt/qt_window.h"

namespace lxr4 {
namespace {

std::string Text(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height());
}

QColor Pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Where every control lies and how it starts. (The golden case startup shows
// the labels' and buttons' texts and every control's state after start-up.)
TEST(WindowLayout, EveryControlIsTheWidgetOfItsKindWhereTheTablePutsIt) {
  const QtWindow window;
  const std::map<ControlKind, const char*> classes{
      {ControlKind::Label, "QLabel"},         {ControlKind::Button, "QPushButton"},
      {ControlKind::CheckBox, "QCheckBox"},   {ControlKind::OptionButton, "QRadioButton"},
      {ControlKind::ScrollBar, "QScrollBar"}, {ControlKind::ComboBox, "QComboBox"},
      {ControlKind::TextBox, "QLineEdit"},    {ControlKind::Picture, "QFrame"},
      {ControlKind::Form, "QWidget"}};
  for (const ControlInfo& info : AllControls()) {
    SCOPED_TRACE(std::string(info.name));
    const QWidget* widget = window.Widget(info.id);
    ASSERT_NE(widget, nullptr);
    if (classes.count(info.kind)) {
      EXPECT_TRUE(widget->inherits(classes.at(info.kind)));
    }
    if (info.kind == ControlKind::Form) {
      EXPECT_TRUE(widget->isWindow());
      EXPECT_EQ(widget->windowTitle().toStdString(), info.caption);
      continue;
    }
    EXPECT_EQ(widget->objectName().toStdString(), info.name);
    EXPECT_EQ(widget->window(), window.Widget(info.form));
    const QRect expected = info.kind == ControlKind::Line
                               ? QRect(QPoint(info.left, info.top), QPoint(info.width, info.height))
                               : QRect(info.left, info.top, info.width, info.height);
    EXPECT_EQ(Text(widget->geometry()), Text(expected));
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text().toStdString(), info.caption);
    }
    if (const auto* bar = qobject_cast<const QScrollBar*>(widget)) {
      EXPECT_EQ(bar->orientation(), Qt::Horizontal);
      EXPECT_EQ(bar->minimum(), info.minimum);
      EXPECT_EQ(bar->maximum(), info.maximum);
      EXPECT_EQ(bar->value(), info.value);
      EXPECT_EQ(bar->singleStep(), 1);
      EXPECT_EQ(bar->pageStep(), info.largeStep);
    }
    if (const auto* option = qobject_cast<const QRadioButton*>(widget)) {
      EXPECT_EQ(option->isChecked(), info.selected);
      EXPECT_FALSE(option->autoExclusive());
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      EXPECT_EQ(label->font().bold(), info.bold);
      EXPECT_EQ(label->alignment() & Qt::AlignHCenter, info.centred ? Qt::AlignHCenter : Qt::Alignment());
    }
  }
}

// The menu bar lies above the main window's client area, which keeps its size.
TEST(WindowLayout, FormsHaveTheirFixedClientSizesAndOnlyTheMainWindowAnIcon) {
  const QtWindow window;
  const QWidget* main = window.Widget(Control::Spectra);
  const QWidget* dialog = window.Widget(Control::frmcontrast);
  const QWidget* client = window.ClientArea();
  const QWidget* bar = window.MenuBar();
  EXPECT_EQ(client->minimumSize(), QSize(775, 379));
  EXPECT_EQ(client->maximumSize(), QSize(775, 379));
  EXPECT_GT(bar->height(), 0);
  EXPECT_EQ(bar->geometry().bottom() + 1, client->geometry().top());
  EXPECT_EQ(main->minimumSize(), QSize(775, 379 + client->geometry().top()));
  EXPECT_EQ(main->maximumSize(), main->minimumSize());
  EXPECT_EQ(dialog->minimumSize(), QSize(250, 65));
  EXPECT_EQ(dialog->maximumSize(), QSize(250, 65));
  EXPECT_FALSE(main->isVisible());
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(main->windowIcon().isNull());
  EXPECT_TRUE(dialog->windowIcon().isNull());
}

// What the screen shows: the surface under the controls, grey labels and check
// boxes, the read-out in the face colour, black outlines and line, a white graph.
TEST(WindowLayout, RendersSurfacesOutlinesAndBackgrounds) {
  QtWindow window;
  const QImage shown = window.ClientArea()->grab().toImage();
  const QColor grey(192, 192, 192);
  const struct {
    const char* what;
    int x, y;
    QColor colour;
  } cases[] = {
      {"window surface", 1, 1, grey},
      {"inside the object frame", 100, 20, grey},
      {"object frame", 4, 8, Qt::black},
      {"calibration frame, far corner", 771, 61, Qt::black},
      {"data crop frame", 48, 300, Qt::black},
      {"separator line", 712, 200, Qt::black},
      {"check box background", 478, 80, grey},
      {"option button background", 310, 94, grey},
      {"label background", 190, 110, grey},
      {"read-out", 470, 366, QApplication::palette().color(QPalette::Button)},
      {"graph box client, top left", 226, 146, Qt::white},
      {"graph box client, bottom right", 483, 255, Qt::white},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Pixel(shown, c.x, c.y).name().toStdString(), c.colour.name().toStdString());
  }
  EXPECT_NE(Pixel(shown, 224, 144), QColor(Qt::white)) << "the graph box's sunken border";
}

}  // namespace
}  // namespace lxr4
