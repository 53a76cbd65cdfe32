// Context bookkeeping that every platform shares: activation nesting, share groups, handle
// hand-over and the manager's registry.
#include "engine/context.h"

#include <algorithm>

namespace hk {

namespace {

TGLContext* vCurrentContext = nullptr;

template <class T> void Erase(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

// ---- handles -------------------------------------------------------------------------------

TGLContextHandle::~TGLContextHandle() {
    // The subclass has already freed the resource; only the context's record is left.
    if (context_ != nullptr) {
        Erase(context_->handles_, this);
    }
}

unsigned TGLContextHandle::AllocateHandle() {
    if (handle_ != 0) {
        return handle_;
    }
    TGLContext* current = TGLContext::CurrentContext();
    if (current == nullptr) {
        return 0;
    }
    handle_ = DoAllocateHandle();
    if (handle_ != 0) {
        context_ = current;
        current->handles_.push_back(this);
    }
    return handle_;
}

void TGLContextHandle::DestroyHandle() {
    if (handle_ == 0) {
        return;
    }
    TGLContext* owner = context_;
    if (owner != nullptr && owner->IsValid()) {
        TGLContext* current = TGLContext::CurrentContext();
        if (current != nullptr && owner->SharesListsWith(current)) {
            DoDestroyHandle(handle_);
        } else {
            TGLContext::MakeCurrent(owner);
            DoDestroyHandle(handle_);
            TGLContext::MakeCurrent(current);
        }
        Erase(owner->handles_, this);
    }
    handle_ = 0;
    context_ = nullptr;
}

// ---- context -------------------------------------------------------------------------------

TGLContext::TGLContext() : shareGroup_(std::make_shared<std::vector<TGLContext*>>()) {
    shareGroup_->push_back(this);
}

TGLContext::~TGLContext() {
    // Normally DestroyContext has run in the subclass; whatever is left only loses its links.
    for (TGLContextHandle* h : handles_) {
        h->context_ = nullptr;
        h->handle_ = 0;
    }
    Erase(*shareGroup_, this);
    Erase(TGLContextManager::Instance().contexts_, this);
    if (vCurrentContext == this) {
        vCurrentContext = nullptr;
    }
}

TGLContext* TGLContext::CurrentContext() {
    return vCurrentContext;
}

void TGLContext::CheckNotActive() const {
    if (Active()) {
        throw EGLContext("Cannot alter an active context");
    }
}

template <class T> void TGLContext::SetRequested(T& field, const T& value) {
    CheckNotActive();
    field = value;
}

void TGLContext::SetColorBits(int v) {
    SetRequested(colorBits_, v);
}
void TGLContext::SetAlphaBits(int v) {
    SetRequested(alphaBits_, v);
}
void TGLContext::SetDepthBits(int v) {
    SetRequested(depthBits_, v);
}
void TGLContext::SetStencilBits(int v) {
    SetRequested(stencilBits_, v);
}
void TGLContext::SetAccumBits(int v) {
    SetRequested(accumBits_, v);
}
void TGLContext::SetAuxBuffers(int v) {
    SetRequested(auxBuffers_, v);
}
void TGLContext::SetOptions(TGLContextOptions v) {
    SetRequested(options_, v);
}
void TGLContext::SetAntiAliasing(TGLAntiAliasing v) {
    SetRequested(antiAliasing_, v);
}

void TGLContext::CreateContext(TGLDeviceContext& dc) {
    if (created_) {
        throw EGLContext("Context already created");
    }
    DoCreateContext(dc);
    FinishCreation();
}

void TGLContext::CreateMemoryContext(TGLDeviceContext& dc, int width, int height) {
    if (created_) {
        throw EGLContext("Context already created");
    }
    DoCreateMemoryContext(dc, width, height);
    FinishCreation();
}

void TGLContext::FinishCreation() {
    created_ = true;
    TGLContextManager::Instance().contexts_.push_back(this);
}

void TGLContext::DestroyContext() {
    if (!created_) {
        return;
    }
    TGLContext* previous = vCurrentContext;
    MakeCurrent(this);
    TGLContext* heir = nullptr;
    for (TGLContext* c : *shareGroup_) {
        if (c != this && c->created_) {
            heir = c;
            break;
        }
    }
    std::vector<TGLContextHandle*> handles;
    handles.swap(handles_);
    for (TGLContextHandle* h : handles) {
        if (heir != nullptr) {
            h->context_ = heir;
            heir->handles_.push_back(h);
        } else {
            h->DoDestroyHandle(h->handle_);
            h->handle_ = 0;
            h->context_ = nullptr;
        }
    }
    Erase(TGLContextManager::Instance().contexts_, this);
    Erase(*shareGroup_, this);
    shareGroup_ = std::make_shared<std::vector<TGLContext*>>(1, this);
    MakeCurrent(nullptr);
    DoDestroyContext();
    created_ = false;
    activationCount_ = 0;
    MakeCurrent(previous != this ? previous : nullptr);
}

void TGLContext::MakeCurrent(TGLContext* context) {
    if (context == vCurrentContext) {
        return;
    }
    if (vCurrentContext != nullptr) {
        vCurrentContext->DoDeactivate();
        vCurrentContext = nullptr;
    }
    if (context != nullptr && context->created_) {
        context->DoActivate();
        vCurrentContext = context;
    }
}

bool TGLContext::SharesListsWith(const TGLContext* other) const {
    return std::find(shareGroup_->begin(), shareGroup_->end(), other) != shareGroup_->end();
}

void TGLContext::ShareLists(TGLContext& other) {
    if (!created_ || !other.created_) {
        throw EGLContext("Context not created");
    }
    if (SharesListsWith(&other)) {
        return;
    }
    if (!DoShareLists(other)) {
        throw EGLContext("Cannot share display lists between these contexts");
    }
    auto merged = std::make_shared<std::vector<TGLContext*>>(*shareGroup_);
    for (TGLContext* c : *other.shareGroup_) {
        merged->push_back(c);
    }
    for (TGLContext* c : *merged) {
        c->shareGroup_ = merged;
    }
}

void TGLContext::Activate() {
    if (activationCount_ == 0) {
        if (!created_) {
            throw EGLContext("Context not created");
        }
        DoActivate();
        vCurrentContext = this;
    }
    ++activationCount_;
}

void TGLContext::Deactivate() {
    if (activationCount_ <= 0) {
        activationCount_ = 0;
        throw EGLContext("Unbalanced context activations");
    }
    if (--activationCount_ == 0) {
        DoDeactivate();
        if (vCurrentContext == this) {
            vCurrentContext = nullptr;
        }
    }
}

void TGLContext::SwapBuffers() {
    if (created_) {
        DoSwapBuffers();
    }
}

// ---- manager -------------------------------------------------------------------------------

TGLContextManager& TGLContextManager::Instance() {
    static TGLContextManager manager;
    return manager;
}

std::unique_ptr<TGLContext> TGLContextManager::CreateContext() const {
    return factory_ ? factory_() : nullptr;
}

} // namespace hk
