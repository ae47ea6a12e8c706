// The printer operations, rendered into a PDF file instead of on paper. (A
// whole page drawn and ended is the window test of printing the graph.)
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "qt/qt_printer.h"

namespace lxr4 {
namespace {

class PdfPrinter : public testing::Test {
 protected:
  PdfPrinter() { printer.SendToPdf(pdf); }
  QByteArray Contents() const {
    QFile file(pdf);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir folder;
  QString pdf = folder.filePath("page.pdf");
  QtPrinter printer;
};

TEST_F(PdfPrinter, LandscapePageInPoints) {
  const auto portrait = printer.Size();
  ASSERT_TRUE(portrait);
  ASSERT_TRUE(printer.Setup(2));
  const auto landscape = printer.Size();
  ASSERT_TRUE(landscape);
  EXPECT_LT(portrait->width.AsDouble(), portrait->height.AsDouble());
  EXPECT_GT(landscape->width.AsDouble(), landscape->height.AsDouble());
  // A4 or Letter, less the margins: between 7 and 12 inches across.
  EXPECT_GT(landscape->width.AsDouble(), 7 * 72.0);
  EXPECT_LT(landscape->width.AsDouble(), 12 * 72.0);
}

TEST_F(PdfPrinter, TextMeasuresGrowWithTheText) {
  const auto one = printer.Measure(" 1");
  const auto four = printer.Measure(" 100");
  ASSERT_TRUE(one && four);
  EXPECT_GT(four->width, one->width);
  EXPECT_EQ(four->height, one->height);
  // A 10-point font: a line between 10 and 16 points high.
  EXPECT_GT(one->height, 10.0);
  EXPECT_LT(one->height, 16.0);
}

// The document is written beside the file and replaces it only once ended: a
// dropped one leaves no file, nor touches an earlier one.
TEST_F(PdfPrinter, DroppedDocumentLeavesNoFileAndKeepsAnEarlierOne) {
  ASSERT_TRUE(printer.Setup(2));
  ASSERT_TRUE(printer.Line(72, 72, 500, 300));
  printer.Abort();
  EXPECT_FALSE(QFile::exists(pdf));
  ASSERT_TRUE(printer.End());  // an empty document is a page
  const QByteArray earlier = Contents();
  EXPECT_TRUE(earlier.startsWith("%PDF-"));
  ASSERT_TRUE(printer.Setup(2));
  printer.Abort();  // dropped before drawing
  EXPECT_EQ(Contents(), earlier);
  ASSERT_TRUE(printer.Line(72, 72, 500, 300));
  printer.Abort();  // dropped after drawing
  EXPECT_EQ(Contents(), earlier);
  EXPECT_FALSE(QFile::exists(pdf + ".part"));
}

TEST_F(PdfPrinter, UnwritableFileFailsTheFirstDrawing) {
  printer.SendToPdf(folder.filePath("no-such-folder/page.pdf"));
  EXPECT_TRUE(printer.Setup(2));
  EXPECT_FALSE(printer.Text(10, 10, "x"));
  printer.Abort();
}

}  // namespace
}  // namespace lxr4
