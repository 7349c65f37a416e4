// What the web build's C++ library lacks of C++20, given to every web source by a forced include:
// Emscripten 3.1.6 ships libc++ 13, whose <bit> has no std::bit_cast. The compiler has the cast
// built in; with a newer libc++ this header adds nothing.
#pragma once

#include <type_traits>
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {

template <class To, class From>
  requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>)
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}

}  // namespace std
#endif
