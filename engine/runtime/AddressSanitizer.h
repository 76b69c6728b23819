#pragma once
// LUMENARK_ASAN is defined when the engine is built with AddressSanitizer (GCC or clang).

#if defined(__SANITIZE_ADDRESS__)
#define LUMENARK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMENARK_ASAN 1
#endif
#endif
