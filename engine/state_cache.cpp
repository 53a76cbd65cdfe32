// Redundant-call filtering in front of the fixed-function OpenGL state.
#include "engine/state_cache.h"

#include "engine/vector_geometry.h"

#include <GL/gl.h>

#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#endif
#ifndef GL_TEXTURE_RECTANGLE
#define GL_TEXTURE_RECTANGLE 0x84F5
#endif
#ifndef GL_TEXTURE0
#define GL_TEXTURE0 0x84C0
#endif

namespace hk {

namespace {

constexpr TColorVector cDefaultAmbient{0.2f, 0.2f, 0.2f, 1};
constexpr TColorVector cDefaultDiffuse{0.8f, 0.8f, 0.8f, 1};
constexpr TColorVector cDefaultBlack{0, 0, 0, 1};

GLenum GLFace(TGLFace face) {
    return face == cmFront ? GL_FRONT : GL_BACK;
}

GLenum GLPolygonMode(TPolygonMode m) {
    switch (m) {
    case pmLines:
        return GL_LINE;
    case pmPoints:
        return GL_POINT;
    case pmFill:
        break;
    }
    return GL_FILL;
}

} // namespace

unsigned GLCapabilityOf(TGLCachedState state) {
    static constexpr GLenum caps[cCachedStateCount] = {
        GL_ALPHA_TEST,       GL_AUTO_NORMAL,      GL_BLEND,          GL_COLOR_MATERIAL,
        GL_CULL_FACE,        GL_DEPTH_TEST,       GL_DITHER,         GL_FOG,
        GL_LIGHTING,         GL_LINE_SMOOTH,      GL_LINE_STIPPLE,   GL_INDEX_LOGIC_OP,
        GL_NORMALIZE,        GL_POINT_SMOOTH,     GL_POLYGON_SMOOTH, GL_POLYGON_STIPPLE,
        GL_SCISSOR_TEST,     GL_STENCIL_TEST,     GL_TEXTURE_1D,     GL_TEXTURE_2D,
        GL_TEXTURE_CUBE_MAP, GL_TEXTURE_RECTANGLE};
    return caps[state];
}

TGLStateCache::TGLStateCache() {
    states_.Include(stDither);
    for (FaceColors& c : colors_) {
        c = {cDefaultBlack, cDefaultAmbient, cDefaultDiffuse, cDefaultBlack, 0};
    }
}

void TGLStateCache::Enable(TGLCachedState s) {
    if (!states_.Contains(s)) {
        ForceState(s, true);
    }
}

void TGLStateCache::Disable(TGLCachedState s) {
    if (states_.Contains(s)) {
        ForceState(s, false);
    }
}

void TGLStateCache::ForceState(TGLCachedState s, bool on) {
    states_.Set(s, on);
    if (on) {
        glEnable(GLCapabilityOf(s));
    } else {
        glDisable(GLCapabilityOf(s));
    }
}

void TGLStateCache::SetGLMaterialColors(TGLFace face, const TColorVector& emission,
                                        const TColorVector& ambient, const TColorVector& diffuse,
                                        const TColorVector& specular, int shininess) {
    FaceColors& c = colors_[face];
    GLenum f = GLFace(face);
    if (c.shininess != shininess) {
        c.shininess = shininess;
        glMaterialf(f, GL_SHININESS, float(shininess));
    }
    auto send = [f](TColorVector& cached, const TColorVector& value, GLenum what) {
        if (!VectorEquals(cached, value)) {
            cached = value;
            glMaterialfv(f, what, &cached.x);
        }
    };
    send(c.emission, emission, GL_EMISSION);
    send(c.ambient, ambient, GL_AMBIENT);
    send(c.diffuse, diffuse, GL_DIFFUSE);
    send(c.specular, specular, GL_SPECULAR);
}

void TGLStateCache::SetGLPolygonMode(TGLFace face, TPolygonMode mode) {
    if (polygonModes_[face] != int(mode)) {
        polygonModes_[face] = int(mode);
        glPolygonMode(GLFace(face), GLPolygonMode(mode));
    }
}

void TGLStateCache::SetGLCurrentTexture(int unit, unsigned target, unsigned handle) {
    if (unit < 0 || unit >= cTextureUnits || textures_[unit] == handle) {
        return;
    }
    textures_[unit] = handle;
    // Units above 0 need multitexturing, which OpenGL 1.1 lacks; only unit 0 is bound here.
    if (unit == 0) {
        glBindTexture(target, handle);
    }
}

unsigned TGLStateCache::BoundTexture(int unit) const {
    return (unit >= 0 && unit < cTextureUnits) ? textures_[unit] : 0;
}

void TGLStateCache::SetFrontFaceCW(bool cw) {
    if (cw != frontFaceCW_) {
        frontFaceCW_ = cw;
        glFrontFace(cw ? GL_CW : GL_CCW);
    }
}

void TGLStateCache::ResetGLMaterialColors() {
    for (int i = 0; i < 2; ++i) {
        GLenum f = GLFace(TGLFace(i));
        colors_[i] = {cDefaultBlack, cDefaultAmbient, cDefaultDiffuse, cDefaultBlack, 0};
        glMaterialfv(f, GL_EMISSION, &colors_[i].emission.x);
        glMaterialfv(f, GL_AMBIENT, &colors_[i].ambient.x);
        glMaterialfv(f, GL_DIFFUSE, &colors_[i].diffuse.x);
        glMaterialfv(f, GL_SPECULAR, &colors_[i].specular.x);
        glMaterialf(f, GL_SHININESS, 0);
    }
}

void TGLStateCache::ResetGLPolygonModes() {
    polygonModes_ = {-1, -1};
}

void TGLStateCache::ResetAllTextureBindings() {
    textures_ = {};
}

void TGLStateCache::ResetForWalk() {
    ResetGLMaterialColors();
    ResetGLPolygonModes();
    ResetAllTextureBindings();
    frontFaceCW_ = false;
    glFrontFace(GL_CCW);
}

} // namespace hk
