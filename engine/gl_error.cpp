// OpenGL error reads and their texts.
#include "engine/gl_error.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <string>

namespace hk {

namespace {

constexpr int cMaxDrainReads = 7;
bool vReportErrors = true;

} // namespace

void ClearGLErrors() {
    for (int i = 0; i < cMaxDrainReads && glGetError() != GL_NO_ERROR; ++i) {
    }
}

void CheckOpenGLError() {
    GLenum first = glGetError();
    if (first == GL_NO_ERROR) {
        return;
    }
    ClearGLErrors();
    if (!vReportErrors) {
        return;
    }
    const GLubyte* text = gluErrorString(first);
    throw EOpenGLError(text != nullptr ? reinterpret_cast<const char*>(text)
                                       : "OpenGL error " + std::to_string(first));
}

void SetOpenGLErrorReporting(bool on) {
    vReportErrors = on;
}

bool OpenGLErrorReporting() {
    return vReportErrors;
}

} // namespace hk
