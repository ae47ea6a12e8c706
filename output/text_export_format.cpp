#include "output/text_export_format.h"

#include "base/number_text.h"

namespace lxr4 {

std::string TextExportRow(int pixel, float value) {
  return FormatNumber(pixel, "##0") + '\t' + FormatNumber(value, "######0");
}

std::string TextExportRow(int pixel, float wavelength, float value) {
  return FormatNumber(pixel, "##0") + '\t' + FormatNumber(wavelength, "###0.00") + '\t' +
         FormatNumber(value, "######0");
}

std::string TextExportFile(std::string_view rows) {
  // The rows start after a CR LF and end with one more, and the whole text
  // is written as one quoted item followed by CR LF.
  std::string text = "\"\r\n";
  text += rows;
  text += "\r\n\"\r\n";
  return text;
}

std::string TextExportPath(std::string_view sourcePath) {
  const std::size_t slash = sourcePath.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = sourcePath.find('.', nameStart);
  return std::string(sourcePath.substr(0, dot)) + ".txt";
}

}  // namespace lxr4
