// The one result type of the program's fallible functions: what the function
// gives (the fields of `Value`, by their own names), or an error code of the
// function's own module with the program's text for it. Each module names its
// codes in an enum whose first code, None, is success.
#pragma once

#include <string>
#include <utility>

namespace lxr4 {

template <typename Error, typename Value>
struct Result : Value {
  Error error{};        // Error::None on success
  std::string message;  // the program's text for the error, where the module has one; empty on success

  [[nodiscard]] bool ok() const { return error == Error{}; }

  // A result that gives nothing but why.
  [[nodiscard]] static Result Refused(Error code, std::string text = {}) {
    Result r;
    r.error = code;
    r.message = std::move(text);
    return r;
  }
};

}  // namespace lxr4
