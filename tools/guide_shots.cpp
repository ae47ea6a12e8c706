// lxr4-guide-shots SCRIPT FOLDER: plays a session script on the real window,
// as `lxr4-script --window` does, and takes the pictures of the user guide:
//   # shot NAME                     the main window as it stands, with its menu
//                                   bar, FOLDER/NAME.png
//   # shot NAME LEFT TOP WIDTH HEIGHT SCALE
//                                   a part of its client area (the pixels of
//                                   save-window), magnified SCALE times
//   # shot-dialog NAME              the next dialog the program opens, as it opens
//   # shot-page NAME                the next printed page
//   # shot-lines NAME               the Lines and Residuals dialog as it stands
//   # shot-view NAME                the Spectrum view as it stands
//   # shot-measurements NAME        the Measurements table as it stands
// These are comment lines, which lxr4-script itself skips, so the guide's
// session is also a golden session script. The transcript goes to standard
// output, to be compared with that session's expected transcript.
//
// The window prints on a picture of the page with the scripted printer's
// measures (so the transcript stays that of lxr4-script); `printer` lines of
// the script have no effect here.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QPixmap>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include "app/app.h"
#include "qt/calibration_dialogs.h"
#include "qt/measure_dialogs.h"
#include "qt/look.h"
#include "qt/spectrum_view_window.h"
#include "qt/qt_window.h"
#include "qt/driver/window_driver.h"
#include "script/recording_window.h"
#include "script/script_printer.h"
#include "script/script_runner.h"

namespace lxr4 {
namespace {

// Hands the script runner its script one line at a time. The runner reads a
// line only once the line before it has run, so `seen` meets each line with
// the window showing everything the lines above it did.
class LineByLine final : public std::streambuf {
 public:
  LineByLine(std::istream& script, std::function<void(const std::string&)> seen)
      : script_(script), seen_(std::move(seen)) {}

 protected:
  int_type underflow() override {
    if (!std::getline(script_, line_)) return traits_type::eof();
    seen_(line_);
    line_ += '\n';
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(line_.front());
  }

 private:
  std::istream& script_;
  std::function<void(const std::string&)> seen_;
  std::string line_;
};

// Saves pictures of widgets into one folder; remembers whether any failed.
class Camera final : public QObject {
 public:
  explicit Camera(QString folder) : folder_(std::move(folder)) { qApp->installEventFilter(this); }
  ~Camera() override { qApp->removeEventFilter(this); }
  Camera(const Camera&) = delete;
  Camera& operator=(const Camera&) = delete;

  // The whole widget, or the part `area` magnified `scale` times with sharp
  // pixel edges.
  void Take(QWidget* widget, const QString& name, QRect area = QRect(), int scale = 1) {
    QPixmap picture = area.isNull() ? widget->grab() : widget->grab(area);
    if (scale > 1) picture = picture.scaled(picture.size() * scale);
    Save(picture, name);
  }
  void Save(const QPixmap& picture, const QString& name) {
    const QString path = QDir(folder_).filePath(name + ".png");
    if (!picture.save(path, "PNG")) {
      std::cerr << "lxr4-guide-shots: cannot write " << path.toStdString() << '\n';
      failed_ = true;
    }
  }
  // The next modal dialog is taken once its own event loop runs. This filter
  // is installed after the window driver's, so it sees the dialog first and
  // takes it before the driver answers it.
  void TakeNextDialog(const QString& name) { dialogName_ = name; }
  [[nodiscard]] bool Failed() const { return failed_; }

  bool eventFilter(QObject* object, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(object);
    if (event->type() == QEvent::Show && dialog != nullptr && dialog->isModal() && !dialogName_.isEmpty()) {
      QTimer::singleShot(0, dialog, [this, dialog, name = dialogName_] { Take(dialog, name); });
      dialogName_.clear();
    }
    return false;
  }

 private:
  QString folder_;
  QString dialogName_;
  bool failed_ = false;
};

// The scripted printer, which also draws each page in page units (one pixel
// each), a text in cells of 8 x 16, and saves it once armed with a name.
class PagePicture final : public Printer {
 public:
  explicit PagePicture(Camera& camera) : camera_(camera) {}

  void TakeNextPage(const QString& name) { name_ = name; }

  [[nodiscard]] bool Setup(int value) override { return printer_.Setup(value); }
  [[nodiscard]] std::optional<PageSize> Size() override {
    const std::optional<PageSize> size = printer_.Size();
    if (size && page_.isNull()) {
      page_ = QImage(static_cast<int>(size->width.AsDouble()), static_cast<int>(size->height.AsDouble()),
                     QImage::Format_RGB32);
      page_.fill(Qt::white);
    }
    return size;
  }
  [[nodiscard]] std::optional<TextSize> Measure(std::string_view text) override { return printer_.Measure(text); }
  [[nodiscard]] bool Text(Num x, Num y, std::string_view text) override {
    QPainter painter(&page_);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(13);
    painter.setFont(font);
    const QString characters = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (qsizetype i = 0; i < characters.size(); ++i)
      painter.drawText(QRectF(x.AsDouble() + 8.0 * static_cast<double>(i), y.AsDouble(), 8.0, 16.0),
                       Qt::AlignCenter, characters.mid(i, 1));
    return printer_.Text(x, y, text);
  }
  [[nodiscard]] bool Line(Num x1, Num y1, Num x2, Num y2) override {
    QPainter(&page_).drawLine(QPointF(x1.AsDouble(), y1.AsDouble()), QPointF(x2.AsDouble(), y2.AsDouble()));
    return printer_.Line(x1, y1, x2, y2);
  }
  [[nodiscard]] bool End() override {
    if (!name_.isEmpty()) camera_.Save(QPixmap::fromImage(page_), name_);
    name_.clear();
    page_ = QImage();
    return printer_.End();
  }
  void Abort() override { page_ = QImage(); }

 private:
  Camera& camera_;
  ScriptPrinter printer_;
  QImage page_;
  QString name_;
};

}  // namespace
}  // namespace lxr4

int main(int argc, char** argv) {
  using namespace lxr4;
  if (argc != 3) {
    std::cerr << "usage: lxr4-guide-shots SCRIPT FOLDER\n";
    return kScriptFailed;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::cerr << "lxr4-guide-shots: cannot read " << argv[1] << '\n';
    return kScriptFailed;
  }
  QApplication application(argc, argv);
  ApplyClassicLook();
  QtWindow window;
  WindowDriver driver(window);
  Transcript transcript(std::cout);
  RecordingWindow recording(driver, transcript);
  const auto app = std::make_unique<App>(recording);  // the state is large: keep it off the stack
  driver.SetProgram(*app);
  Camera camera(QString::fromLocal8Bit(argv[2]));
  PagePicture page(camera);
  window.UsePrinter(&page);

  LineByLine lines(file, [&](const std::string& line) {
    std::istringstream words(line);
    std::string hash, kind, name;
    words >> hash >> kind >> name;
    if (hash != "#" || name.empty()) return;
    int left = 0, top = 0, width = 0, height = 0, scale = 1;
    words >> left >> top >> width >> height >> scale;
    // The whole main window shows its menu bar; a part is taken in the client area's pixels.
    if (kind == "shot" && width <= 0)
      camera.Take(window.Widget(Control::Spectra), QString::fromStdString(name));
    else if (kind == "shot")
      camera.Take(window.ClientArea(), QString::fromStdString(name), QRect(left, top, width, height), scale);
    if (kind == "shot-dialog") camera.TakeNextDialog(QString::fromStdString(name));
    if (kind == "shot-page") page.TakeNextPage(QString::fromStdString(name));
    if (kind == "shot-lines") camera.Take(window.LinesDialog(), QString::fromStdString(name));
    if (kind == "shot-view") camera.Take(window.SpectrumView(), QString::fromStdString(name));
    if (kind == "shot-measurements") camera.Take(window.MeasurementsDialog(), QString::fromStdString(name));
  });
  std::istream script(&lines);
  window.ShowCentred();
  const int status = RunScript(script, *app, driver, transcript, std::cerr);
  return status != kScriptOk ? status : camera.Failed() ? kProgramFailed : kScriptOk;
}
