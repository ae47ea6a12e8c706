#include "qt/qt_printer.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <filesystem>
#include <system_error>

namespace lxr4 {

namespace {
QString ToQt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The page's own font: a plain sans of 10 points, whatever the screen uses.
QFont PageFont() {
  QFont font;
  font.setFamilies({"Nimbus Sans", "Liberation Sans", "Arial", "Helvetica", "DejaVu Sans"});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(10.0);
  return font;
}
}  // namespace

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() { Abort(); }

void QtPrinter::SendToPdf(const QString& path) { pdfPath_ = path; }
void QtPrinter::SendToPdf(const std::string& path) { SendToPdf(QFile::decodeName(path.c_str())); }

// A PDF file stands in for the printer.
bool QtPrinter::Installed() const {
  return !pdfPath_.isEmpty() || !QPrinterInfo::availablePrinters().isEmpty();
}

QString QtPrinter::PartPath() const { return pdfPath_ + QStringLiteral(".part"); }

bool QtPrinter::Open() {
  if (printer_) return Healthy();
  if (pdfPath_.isEmpty()) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  } else {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(PartPath());
  }
  return Healthy();
}

bool QtPrinter::Paint() {
  if (!Open()) return false;
  if (painter_) return Healthy();
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_.get())) {
    painter_.reset();
    return false;
  }
  painter_->setFont(PageFont());
  // A hairline of half a point, visible on any printer.
  painter_->setPen(QPen(Qt::black, 0.5 * Scale()));
  return Healthy();
}

bool QtPrinter::Healthy() const { return printer_ && printer_->printerState() != QPrinter::Error; }

double QtPrinter::Scale() const { return printer_->resolution() / 72.0; }

bool QtPrinter::Setup(int value) {
  if (!Open()) return false;
  if (value == 2) printer_->setPageOrientation(QPageLayout::Landscape);
  return Healthy();
}

std::optional<PageSize> QtPrinter::Size() {
  if (!Open()) return std::nullopt;
  const QRectF area = printer_->pageLayout().paintRect(QPageLayout::Point);
  return PageSize{Num(static_cast<float>(area.width())), Num(static_cast<float>(area.height()))};
}

std::optional<TextSize> QtPrinter::Measure(std::string_view text) {
  if (!Open()) return std::nullopt;
  const QFontMetricsF metrics(PageFont(), printer_.get());
  return TextSize{metrics.horizontalAdvance(ToQt(text)) / Scale(), metrics.height() / Scale()};
}

bool QtPrinter::Text(Num x, Num y, std::string_view text) {
  if (!Paint()) return false;
  const double k = Scale();
  // The program places a text by its top-left corner; Qt by its baseline.
  painter_->drawText(QPointF(x.AsDouble() * k, y.AsDouble() * k + painter_->fontMetrics().ascent()),
                     ToQt(text));
  return Healthy();
}

bool QtPrinter::Line(Num x1, Num y1, Num x2, Num y2) {
  if (!Paint()) return false;
  const double k = Scale();
  painter_->drawLine(QPointF(x1.AsDouble() * k, y1.AsDouble() * k),
                     QPointF(x2.AsDouble() * k, y2.AsDouble() * k));
  return Healthy();
}

bool QtPrinter::End() {
  if (!Paint()) return false;
  bool sent = painter_->end() && Healthy();
  painter_.reset();
  printer_.reset();
  if (!pdfPath_.isEmpty()) {
    // The finished document replaces an older file in one step.
    std::error_code error;
    if (sent)
      std::filesystem::rename(QFile::encodeName(PartPath()).toStdString(),
                              QFile::encodeName(pdfPath_).toStdString(), error);
    sent = sent && !error;
    QFile::remove(PartPath());
  }
  return sent;
}

void QtPrinter::Abort() {
  const bool begun = painter_ != nullptr;
  if (begun) {
    printer_->abort();
    painter_->end();
  }
  painter_.reset();
  printer_.reset();
  // A PDF document that was begun and dropped leaves no file behind.
  if (begun && !pdfPath_.isEmpty()) QFile::remove(PartPath());
}

}  // namespace lxr4
