// OpenGL error checks of the render pass: EOpenGLError carries the utility library's text for
// the first pending error. Reporting can be switched off for the whole process.
#pragma once

#include "engine/errors.h"

namespace hk {

class EOpenGLError : public Exception {
public:
    using Exception::Exception;
};

// Reads the pending error; when there is one, drains up to 7 more and throws EOpenGLError with
// the text of the first, unless reporting is off. Needs a current context.
void CheckOpenGLError();
// Discards pending errors (at most 7 reads).
void ClearGLErrors();
// On by default.
void SetOpenGLErrorReporting(bool on);
bool OpenGLErrorReporting();

} // namespace hk
