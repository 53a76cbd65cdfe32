// The one exception base of hkviewer. Exceptions are raised only at input boundaries (data
// files, settings, 3DS models, scripts, fonts) and by the OpenGL context; each carries the text
// shown to the user.
#pragma once

#include <stdexcept>

namespace hk {

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace hk
