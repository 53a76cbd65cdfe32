// Display list names from glGenLists, released with glDeleteLists.
#include "engine/list_handle.h"

#include <GL/gl.h>

namespace hk {

unsigned TGLListHandle::AllocateHandle() {
    if (handle_ == 0) {
        handle_ = glGenLists(1);
    }
    return handle_;
}

void TGLListHandle::DestroyHandle() {
    if (handle_ != 0) {
        glDeleteLists(handle_, 1);
        handle_ = 0;
    }
}

} // namespace hk
