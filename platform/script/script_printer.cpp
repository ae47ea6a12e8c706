#include "platform/script/script_printer.h"

namespace lxr4 {

std::optional<TextSize> ScriptPrinter::Measure(std::string_view text) {
  if (!Present()) return std::nullopt;
  // Characters, not bytes: UTF-8 continuation bytes do not start a character.
  int characters = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xc0u) != 0x80u) ++characters;
  return TextSize{8.0 * characters, 16.0};
}

}  // namespace lxr4
