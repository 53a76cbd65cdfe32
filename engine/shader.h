// TGLShader: a component that can take over or wrap a library material's apply/unapply pair.
// Low-level and replace shaders run before the material (replace ones instead of it),
// high-level ones after it.
#pragma once

#include "engine/component.h"
#include "engine/render_context_info.h"

namespace hk {

enum TGLShaderStyle { ssHighLevel, ssLowLevel, ssReplace };

class TGLShader : public TGLComponent {
public:
    ~TGLShader() override { NotifyFreeing(); }

    TGLShaderStyle ShaderStyle() const { return style_; }
    void SetShaderStyle(TGLShaderStyle s) { style_ = s; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }

    void Apply(TRenderContextInfo& rci) {
        if (enabled_) {
            DoApply(rci);
        }
    }
    // True when the object is to be drawn once more (a further pass).
    bool UnApply(TRenderContextInfo& rci) { return enabled_ && DoUnApply(rci); }

protected:
    virtual void DoApply(TRenderContextInfo& rci) = 0;
    virtual bool DoUnApply(TRenderContextInfo& rci) = 0;

private:
    TGLShaderStyle style_ = ssLowLevel;
    bool enabled_ = true;
};

} // namespace hk
