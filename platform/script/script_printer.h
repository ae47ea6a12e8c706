// The scripted printer: present at start with a printable area of 1000 x 750
// units; a text measures 8 units per character (leading blanks included) by 16.
// Without a printer every operation fails.
#pragma once

#include <optional>
#include <string_view>

#include "state/printer.h"

namespace lxr4 {

class ScriptPrinter final : public Printer {
 public:
  // nullopt: from now on there is no printer.
  void SetPage(std::optional<PageSize> page) { page_ = page; }

  // Always installed: `printer none` is a printer that fails.
  [[nodiscard]] bool Installed() const override { return true; }
  [[nodiscard]] bool Setup(int) override { return Present(); }
  [[nodiscard]] std::optional<PageSize> Size() override { return page_; }
  [[nodiscard]] std::optional<TextSize> Measure(std::string_view text) override;
  [[nodiscard]] bool Text(Num, Num, std::string_view) override { return Present(); }
  [[nodiscard]] bool Line(Num, Num, Num, Num) override { return Present(); }
  [[nodiscard]] bool End() override { return Present(); }
  void Abort() override {}

 private:
  [[nodiscard]] bool Present() const { return page_.has_value(); }

  std::optional<PageSize> page_ = PageSize{std::int32_t{1000}, std::int32_t{750}};
};

}  // namespace lxr4
