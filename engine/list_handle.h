// TGLListHandle: one OpenGL display list name, deleted with the handle. Allocate and free it
// with the context that owns the list current.
#pragma once

namespace hk {

class TGLListHandle {
public:
    TGLListHandle() = default;
    TGLListHandle(const TGLListHandle&) = delete;
    TGLListHandle& operator=(const TGLListHandle&) = delete;
    ~TGLListHandle() { DestroyHandle(); }

    unsigned Handle() const { return handle_; }
    // Allocates a list name when none is held; returns it (0 when OpenGL gives none).
    unsigned AllocateHandle();
    void DestroyHandle();

private:
    unsigned handle_ = 0;
};

} // namespace hk
