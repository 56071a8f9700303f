#pragma once
// Enumerators as positions in the tables that list one row per enumerator, in order.

#include <cstddef>
#include <type_traits>

namespace calc {

// The enumerator's position: Field::Text3 is 2. Its tables check that they follow this order.
template <typename Enum>
requires std::is_enum_v<Enum>
constexpr std::size_t IndexOf(Enum value) {
  return static_cast<std::size_t>(value);
}

}  // namespace calc
