#pragma once
// A typed handle on one row of a window's layout table, found while the
// program compiles: a name that is not in the table, or a row of another
// kind, fails the build instead of the run. The window turns the handle into
// its control, menu item or timer once, as it is made.
#include <array>
#include <cstddef>
#include <string_view>

namespace hv::ui {

template <class T, class Design>
struct Row {
  const Design* design;
};

namespace row_errors {
// Never defined: a constant evaluation that reaches one fails, and the
// compiler's message names the fault.
void NoRowOfThisName();
void TheRowIsOfAnotherKind();
}  // namespace row_errors

template <class T, class Design, std::size_t N>
consteval Row<T, Design> RowOf(const std::array<Design, N>& table, std::string_view name) {
  for (const Design& s : table) {
    if (s.name != name) continue;
    if constexpr (requires { T::kKind; }) {
      if (s.kind != T::kKind) row_errors::TheRowIsOfAnotherKind();
    }
    return {&s};
  }
  row_errors::NoRowOfThisName();
  return {nullptr};
}

}  // namespace hv::ui
