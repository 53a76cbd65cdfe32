// Heavy invariant checks, compiled in only when the build defines HK_VALIDATE (the CMake option
// of that name, on in the sanitizer build): whole structures checked against a plain
// recomputation, too slow for a normal build. A failing check says what failed and where on
// stderr, then aborts, so that no test can pass over it.
#pragma once

#if defined(HK_VALIDATE)

#include <cstdio>
#include <cstdlib>

namespace hk {

[[noreturn]] inline void ValidationFailed(const char* what, const char* condition, const char* file,
                                          int line) {
    std::fprintf(stderr, "%s:%d: validation failed: %s (%s)\n", file, line, what, condition);
    std::fflush(stderr);
    std::abort();
}

} // namespace hk

#define HK_VALIDATE_CHECK(condition, what)                                                         \
    ((condition) ? void(0) : ::hk::ValidationFailed(what, #condition, __FILE__, __LINE__))

#else

#define HK_VALIDATE_CHECK(condition, what) void(0)

#endif
