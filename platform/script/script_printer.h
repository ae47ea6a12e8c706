// The scripted printer: present at start with a printable area of 1000 x 750
// units; a text measures 8 units per character (leading blanks included) by 16.
// Without a printer every operation fails.
#pragma once

#include <optional>
#include <string_view>

#include "platform/window.h"

namespace lxr4 {

class ScriptPrinter {
 public:
  // nullopt: from now on there is no printer.
  void SetPage(std::optional<PageSize> page) { page_ = page; }

  [[nodiscard]] bool Present() const { return page_.has_value(); }
  [[nodiscard]] std::optional<PageSize> Size() const { return page_; }
  [[nodiscard]] std::optional<TextSize> Measure(std::string_view text) const;

 private:
  std::optional<PageSize> page_ = PageSize{std::int32_t{1000}, std::int32_t{750}};
};

}  // namespace lxr4
