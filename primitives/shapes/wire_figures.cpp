// Wireframe box and axes figure.
#include "primitives/shapes/wire_figures.h"

#include "engine/state_cache.h"

#include <GL/gl.h>

namespace hk {

void DrawWireframeBox(TRenderContextInfo& rci, float side, const TColorVector& color, bool dashed) {
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_LIGHTING_BIT | GL_ENABLE_BIT |
                 GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_LINE_SMOOTH);
    if (dashed) {
        glEnable(GL_LINE_STIPPLE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glLineStipple(1, 0xCCCC);
    }
    glLineWidth(1);
    if (rci.GLStates != nullptr) {
        rci.GLStates->ResetGLMaterialColors();
    }
    glColorMaterial(GL_FRONT, GL_EMISSION);
    glEnable(GL_COLOR_MATERIAL);
    glColor4fv(&color.x);
    const float h = side * 0.5f;
    const float strip[10][3] = {{h, -h, -h},  {h, h, -h},  {h, h, h},  {h, -h, h},  {h, -h, -h},
                                {-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}, {h, h, -h}};
    glBegin(GL_LINE_STRIP);
    for (const auto& p : strip) {
        glVertex3fv(p);
    }
    glEnd();
    const float edges[6][3] = {{h, h, h},   {-h, h, h}, {-h, -h, -h},
                               {-h, h, -h}, {h, -h, h}, {-h, -h, h}};
    glBegin(GL_LINES);
    for (const auto& p : edges) {
        glVertex3fv(p);
    }
    glEnd();
    glPopAttrib();
}

void DrawAxesFigure(TRenderContextInfo& rci, std::uint16_t pattern, float halfLength) {
    const float l = halfLength;
    glPushAttrib(GL_LINE_BIT | GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_LINE_STIPPLE);
    if (!rci.ignoreBlendingRequests) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glLineWidth(1);
    glLineStipple(1, pattern);
    const struct {
        float x, y, z, r, g, b;
    } ends[6] = {{-l, 0, 0, 0.5f, 0, 0}, {l, 0, 0, 1, 0, 0},     {0, -l, 0, 0, 0.5f, 0},
                 {0, l, 0, 0, 1, 0},     {0, 0, -l, 0, 0, 0.5f}, {0, 0, l, 0, 0, 1}};
    glBegin(GL_LINES);
    for (const auto& e : ends) {
        glColor3f(e.r, e.g, e.b);
        glVertex3f(0, 0, 0);
        glVertex3f(e.x, e.y, e.z);
    }
    glEnd();
    glPopAttrib();
}

} // namespace hk
