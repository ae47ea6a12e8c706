// A text in double quotes as transcripts and `state` answers write it, with the
// escapes \" \\ \r \n \t (the same escapes a script line may use).
#pragma once

#include <string>
#include <string_view>

namespace lxr4 {

inline std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace lxr4
