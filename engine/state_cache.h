// TGLStateCache: the OpenGL enable bits, material colours per face, polygon modes per face,
// texture bindings and front-face winding last sent, so that redundant calls are skipped.
// Every call needs the owning context current.
#pragma once

#include "engine/flags.h"
#include "engine/vector_types.h"

#include <array>

namespace hk {

enum TGLCachedState {
    stAlphaTest,
    stAutoNormal,
    stBlend,
    stColorMaterial,
    stCullFace,
    stDepthTest,
    stDither,
    stFog,
    stLighting,
    stLineSmooth,
    stLineStipple,
    stLogicOp,
    stNormalize,
    stPointSmooth,
    stPolygonSmooth,
    stPolygonStipple,
    stScissorTest,
    stStencilTest,
    stTexture1D,
    stTexture2D,
    stTextureCubeMap,
    stTextureRect
};
inline constexpr int cCachedStateCount = stTextureRect + 1;
using TGLStates = TFlags<TGLCachedState>;

enum TPolygonMode { pmFill, pmLines, pmPoints };
enum TGLFace { cmFront, cmBack };
inline constexpr int cTextureUnits = 8;

// The OpenGL capability a cached state stands for.
unsigned GLCapabilityOf(TGLCachedState state);

class TGLStateCache {
public:
    // Starts from the OpenGL defaults: every state off except dithering.
    TGLStateCache();

    const TGLStates& States() const { return states_; }
    bool IsEnabled(TGLCachedState s) const { return states_.Contains(s); }
    void Enable(TGLCachedState s);
    void Disable(TGLCachedState s);
    void SetState(TGLCachedState s, bool on) { on ? Enable(s) : Disable(s); }
    // Sends the state to OpenGL whatever the cache holds, and records it.
    void ForceState(TGLCachedState s, bool on);

    // Each colour (and the shininess) is sent only when it differs from the cached one.
    void SetGLMaterialColors(TGLFace face, const TColorVector& emission,
                             const TColorVector& ambient, const TColorVector& diffuse,
                             const TColorVector& specular, int shininess);
    void SetGLPolygonMode(TGLFace face, TPolygonMode mode);
    // Binds `handle` to `target` on `unit` (0..7) unless already bound there.
    void SetGLCurrentTexture(int unit, unsigned target, unsigned handle);
    unsigned BoundTexture(int unit) const;
    void SetFrontFaceCW(bool cw);
    bool FrontFaceCW() const { return frontFaceCW_; }

    // Material colours back to the OpenGL defaults (sent), polygon modes unknown, texture
    // bindings forgotten, counter-clockwise front faces: the state at the start of a walk.
    void ResetForWalk();
    void ResetGLMaterialColors();
    void ResetGLPolygonModes();
    void ResetAllTextureBindings();

    struct FaceColors {
        TColorVector emission, ambient, diffuse, specular;
        int shininess = 0;
    };
    const FaceColors& MaterialColors(TGLFace face) const { return colors_[face]; }

private:
    TGLStates states_;
    std::array<FaceColors, 2> colors_{};
    // -1: unknown, the next set always sends.
    std::array<int, 2> polygonModes_{-1, -1};
    std::array<unsigned, cTextureUnits> textures_{};
    bool frontFaceCW_ = false;
};

} // namespace hk
