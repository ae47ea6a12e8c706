// FITS files built card by card for the reader tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lxr4::fits_cards {

using Bytes = std::vector<std::uint8_t>;

inline std::string CardText(std::string text) {
  text.resize(80, ' ');
  return text;
}

// A header of `cards` padded to 2880 bytes, then `dataBytes` bytes of `fill`
// padded to whole records.
inline Bytes Header(const std::vector<std::string>& cards, std::size_t dataBytes, std::uint8_t fill = 0) {
  std::string text;
  for (const std::string& card : cards) text += CardText(card);
  text += CardText("END");
  text.resize((text.size() + 2879) / 2880 * 2880, ' ');
  Bytes bytes(text.begin(), text.end());
  bytes.resize(bytes.size() + (dataBytes + 2879) / 2880 * 2880, fill);
  return bytes;
}

inline Bytes Concatenated(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace lxr4::fits_cards
