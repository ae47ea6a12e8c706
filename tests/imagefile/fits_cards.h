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
inline Bytes Concatenated(const Bytes& a, const Bytes& b, const Bytes& c) {
  return Concatenated(Concatenated(a, b), c);
}

// "KEY     = value": the key padded to the eight columns of a card's name.
inline std::string Card(std::string key, const std::string& value) {
  key.resize(8, ' ');
  return key + "= " + value;
}

// `first`, BITPIX and the NAXIS cards of `axes` (NAXIS1 first), then `extra`.
inline std::vector<std::string> AxisCards(const std::string& first, int bitpix,
                                          const std::vector<long long>& axes,
                                          const std::vector<std::string>& extra) {
  std::vector<std::string> cards = {first, Card("BITPIX", std::to_string(bitpix)),
                                    Card("NAXIS", std::to_string(axes.size()))};
  for (std::size_t i = 0; i < axes.size(); ++i)
    cards.push_back(Card("NAXIS" + std::to_string(i + 1), std::to_string(axes[i])));
  cards.insert(cards.end(), extra.begin(), extra.end());
  return cards;
}

// A primary HDU of `bitpix` data shaped by `axes`, with `extra` cards and
// `dataBytes` bytes of `fill`.
inline Bytes Primary(int bitpix, const std::vector<long long>& axes,
                     const std::vector<std::string>& extra = {}, std::size_t dataBytes = 0,
                     std::uint8_t fill = 0) {
  return Header(AxisCards("SIMPLE  = T", bitpix, axes, extra), dataBytes, fill);
}

// A primary HDU of no data that announces extensions.
inline Bytes EmptyPrimary() { return Primary(8, {}, {"EXTEND  = T"}); }

// An extension of `type` (IMAGE, BINTABLE, ...): its axes, PCOUNT `heap` and
// GCOUNT 1, then `extra`, and `dataBytes` bytes of `fill`.
inline Bytes Extension(std::string type, int bitpix, const std::vector<long long>& axes,
                       std::vector<std::string> extra = {}, std::size_t dataBytes = 0, long long heap = 0,
                       std::uint8_t fill = 0) {
  type.resize(8, ' ');
  extra.insert(extra.begin(), {Card("PCOUNT", std::to_string(heap)), "GCOUNT  = 1"});
  return Header(AxisCards("XTENSION= '" + type + "'", bitpix, axes, extra), dataBytes, fill);
}

}  // namespace lxr4::fits_cards
