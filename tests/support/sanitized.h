// Whether this build runs under AddressSanitizer, whose own memory and
// address space would be measured or limited instead of the program's.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool SANITIZED = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool SANITIZED = true;
#else
inline constexpr bool SANITIZED = false;
#endif
#else
inline constexpr bool SANITIZED = false;
#endif
