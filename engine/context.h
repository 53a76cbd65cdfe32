// TGLContext: a platform-independent OpenGL rendering context with its requested pixel format,
// nested activation, share group and the handles allocated in it; TGLContextManager keeps every
// context and makes new ones of the registered platform class; TGLContextHandle is the base of
// the named OpenGL resources a context tracks. The platform supplies a TGLContext subclass (Qt
// in the window, GLX in the tests) and its TGLDeviceContext.
#pragma once

#include "engine/errors.h"
#include "engine/flags.h"

#include <functional>
#include <memory>
#include <vector>

namespace hk {

// Misuse of a context: "Cannot alter an active context", "Context already created", "Context not
// created", "Unbalanced context activations", "Failed to create RenderingContext.".
class EGLContext : public Exception {
public:
    using Exception::Exception;
};

enum TGLContextOption { coDoubleBuffered, coStereo };
using TGLContextOptions = TFlags<TGLContextOption>;

enum TGLAntiAliasing { aaDefault, aaNone, aa2x, aa2xHQ, aa4x, aa4xHQ };

// What a window (or an off-screen surface) offers a context to be created on. Each platform
// derives its own and checks the kind it is given.
class TGLDeviceContext {
public:
    virtual ~TGLDeviceContext() = default;
};

class TGLContext;

// A named OpenGL resource (display list, texture, ...) remembered by the context that was
// current when it was allocated. When that context goes away the handle moves to another
// member of its share group, or is freed.
class TGLContextHandle {
public:
    TGLContextHandle() = default;
    TGLContextHandle(const TGLContextHandle&) = delete;
    TGLContextHandle& operator=(const TGLContextHandle&) = delete;
    // Frees the resource (activating its own context when an unrelated one is current).
    virtual ~TGLContextHandle();

    unsigned Handle() const { return handle_; }
    TGLContext* RenderingContext() const { return context_; }
    // Allocates in the current context when no name is held; returns the name (0 when there
    // is no current context or OpenGL gives none).
    unsigned AllocateHandle();
    void DestroyHandle();

protected:
    virtual unsigned DoAllocateHandle() = 0;
    virtual void DoDestroyHandle(unsigned handle) = 0;
    // Must be called by the destructor of every subclass: the virtual calls are gone after it.
    void ReleaseInDestructor() { DestroyHandle(); }

private:
    friend class TGLContext;
    unsigned handle_ = 0;
    TGLContext* context_ = nullptr;
};

class TGLContext {
public:
    TGLContext();
    TGLContext(const TGLContext&) = delete;
    TGLContext& operator=(const TGLContext&) = delete;
    // Subclasses call DestroyContext in their own destructor (the platform calls need them).
    virtual ~TGLContext();

    // ---- requested pixel format; each setter throws EGLContext while the context is active
    int ColorBits() const { return colorBits_; }
    void SetColorBits(int v);
    int AlphaBits() const { return alphaBits_; }
    void SetAlphaBits(int v);
    int DepthBits() const { return depthBits_; }
    void SetDepthBits(int v);
    int StencilBits() const { return stencilBits_; }
    void SetStencilBits(int v);
    int AccumBits() const { return accumBits_; }
    void SetAccumBits(int v);
    int AuxBuffers() const { return auxBuffers_; }
    void SetAuxBuffers(int v);
    TGLContextOptions Options() const { return options_; }
    void SetOptions(TGLContextOptions v);
    TGLAntiAliasing AntiAliasing() const { return antiAliasing_; }
    void SetAntiAliasing(TGLAntiAliasing v);

    // ---- life ------------------------------------------------------------------------------
    // Throws EGLContext "Context already created" when created, or the platform's EGLContext;
    // the context is then left not created.
    void CreateContext(TGLDeviceContext& dc);
    // An off-screen context of the given size; same failures.
    void CreateMemoryContext(TGLDeviceContext& dc, int width, int height);
    bool IsValid() const { return created_; }
    // Hands its handles to another member of the share group (or frees them with this context
    // current), leaves the manager and the group, deletes the platform context and makes the
    // previously current context current again. Nothing when not created.
    void DestroyContext();

    // Shares display lists with `other`; throws "Context not created" when either is not
    // created, EGLContext when the platform cannot share the two.
    void ShareLists(TGLContext& other);
    // The contexts sharing lists with this one, itself included (one list for the group).
    const std::vector<TGLContext*>& ShareGroup() const { return *shareGroup_; }
    bool SharesListsWith(const TGLContext* other) const;

    // Nested: the first activation makes the context current (throws "Context not created"
    // when it is not), the last deactivation releases it; one deactivation too many throws
    // "Unbalanced context activations" and leaves the count at 0.
    void Activate();
    void Deactivate();
    bool Active() const { return activationCount_ > 0; }
    void SwapBuffers();

    // The context current in this process (made current through Activate), or none.
    static TGLContext* CurrentContext();

protected:
    // Throw EGLContext on failure, leaving nothing allocated.
    virtual void DoCreateContext(TGLDeviceContext& dc) = 0;
    virtual void DoCreateMemoryContext(TGLDeviceContext& dc, int width, int height) = 0;
    // False when the platform cannot make the two share.
    virtual bool DoShareLists(TGLContext& other) = 0;
    virtual void DoDestroyContext() = 0;
    virtual void DoActivate() = 0;
    virtual void DoDeactivate() = 0;
    virtual void DoSwapBuffers() = 0;

private:
    friend class TGLContextHandle;
    // Switches the platform's current context without touching activation counts (none:
    // release the current one).
    static void MakeCurrent(TGLContext* context);
    void CheckNotActive() const;
    void FinishCreation();
    template <class T> void SetRequested(T& field, const T& value);

    int colorBits_ = 32;
    int alphaBits_ = 0;
    int depthBits_ = 0;
    int stencilBits_ = 0;
    int accumBits_ = 0;
    int auxBuffers_ = 0;
    TGLContextOptions options_;
    TGLAntiAliasing antiAliasing_ = aaDefault;
    bool created_ = false;
    int activationCount_ = 0;
    std::shared_ptr<std::vector<TGLContext*>> shareGroup_;
    std::vector<TGLContextHandle*> handles_;
};

// Every context of the process, and the factory of the platform's context class.
class TGLContextManager {
public:
    using TContextFactory = std::function<std::unique_ptr<TGLContext>()>;

    static TGLContextManager& Instance();

    // The platform registers its class once; a later registration replaces the earlier one.
    void RegisterContextClass(TContextFactory factory) { factory_ = std::move(factory); }
    // A new context of the registered class; none when no class is registered.
    std::unique_ptr<TGLContext> CreateContext() const;
    const std::vector<TGLContext*>& Contexts() const { return contexts_; }

private:
    friend class TGLContext;
    TContextFactory factory_;
    std::vector<TGLContext*> contexts_;
};

} // namespace hk
