// Tessellation of cylinder walls and disks.
#include "primitives/quadrics/quadric_shapes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace hk {
namespace {

constexpr double cPi = 3.14159265358979323846;
constexpr int cMaxSlices = 239;

} // namespace

void EmitQuadricCylinder(TGLGeometrySink& sink, const TQuadricStyle& style, float baseRadius,
                         float topRadius, float height, int slices, int stacks) {
    slices = std::min(slices, cMaxSlices);
    if (slices < 2 || stacks < 1 || baseRadius < 0 || topRadius < 0 || height < 0) {
        return;
    }
    const float deltaRadius = baseRadius - topRadius;
    const float length = std::sqrt(deltaRadius * deltaRadius + height * height);
    if (length == 0) {
        return;
    }
    // Walls facing the axis turn the normal's radial part only; its slope part keeps its sign,
    // as in GLU, so that inner cone walls are lit as they always were.
    const float zNormal = deltaRadius / length;
    const float xyNormal = (style.outside ? 1.0f : -1.0f) * height / length;
    std::vector<float> sines(std::size_t(slices) + 1), cosines(sines.size());
    std::vector<float> normalSines(sines.size()), normalCosines(sines.size());
    for (int i = 0; i < slices; ++i) {
        const double angle = 2 * cPi * i / slices;
        sines[i] = float(std::sin(angle));
        cosines[i] = float(std::cos(angle));
        // A flat slice's normal points at its middle.
        const double normalAngle = style.flat ? 2 * cPi * (i - 0.5) / slices : angle;
        normalSines[i] = xyNormal * float(std::sin(normalAngle));
        normalCosines[i] = xyNormal * float(std::cos(normalAngle));
    }
    sines[slices] = sines[0];
    cosines[slices] = cosines[0];
    normalSines[slices] = normalSines[0];
    normalCosines[slices] = normalCosines[0];
    for (int j = 0; j < stacks; ++j) {
        const float zLow = j * height / stacks;
        const float zHigh = (j + 1) * height / stacks;
        const float radiusLow = baseRadius - deltaRadius * (float(j) / stacks);
        const float radiusHigh = baseRadius - deltaRadius * (float(j + 1) / stacks);
        sink.Begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            if (style.normals) {
                sink.Normal(normalSines[i], normalCosines[i], zNormal);
            }
            const float lowX = radiusLow * sines[i], lowY = radiusLow * cosines[i];
            const float highX = radiusHigh * sines[i], highY = radiusHigh * cosines[i];
            if (style.outside) {
                sink.Vertex(lowX, lowY, zLow);
                sink.Vertex(highX, highY, zHigh);
            } else {
                sink.Vertex(highX, highY, zHigh);
                sink.Vertex(lowX, lowY, zLow);
            }
        }
        sink.End();
    }
}

void EmitQuadricDisk(TGLGeometrySink& sink, const TQuadricStyle& style, float innerRadius,
                     float outerRadius, int slices, int loops, float startAngle, float sweepAngle) {
    slices = std::min(slices, cMaxSlices);
    if (slices < 2 || loops < 1 || outerRadius <= 0 || innerRadius < 0 ||
        innerRadius > outerRadius) {
        return;
    }
    if (sweepAngle < -360 || sweepAngle > 360) {
        sweepAngle = 360;
    }
    if (sweepAngle < 0) {
        startAngle += sweepAngle;
        sweepAngle = -sweepAngle;
    }
    const float deltaRadius = outerRadius - innerRadius;
    std::vector<float> sines(std::size_t(slices) + 1), cosines(sines.size());
    const double offset = startAngle / 180.0 * cPi;
    for (int i = 0; i <= slices; ++i) {
        const double angle = offset + (cPi * sweepAngle / 180.0) * i / slices;
        sines[i] = float(std::sin(angle));
        cosines[i] = float(std::cos(angle));
    }
    if (sweepAngle == 360) {
        sines[slices] = sines[0];
        cosines[slices] = cosines[0];
    }
    if (style.normals) {
        sink.Normal(0, 0, style.outside ? 1.0f : -1.0f);
    }
    int rings = loops;
    if (innerRadius == 0) {
        // The innermost loop is a fan round the centre.
        rings = loops - 1;
        const float r = outerRadius - deltaRadius * (float(loops - 1) / loops);
        sink.Begin(GL_TRIANGLE_FAN);
        sink.Vertex(0, 0, 0);
        for (int k = 0; k <= slices; ++k) {
            const int i = style.outside ? slices - k : k;
            sink.Vertex(r * sines[i], r * cosines[i], 0);
        }
        sink.End();
    }
    for (int j = 0; j < rings; ++j) {
        const float radiusLow = outerRadius - deltaRadius * (float(j) / loops);
        const float radiusHigh = outerRadius - deltaRadius * (float(j + 1) / loops);
        sink.Begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            const float lowX = radiusLow * sines[i], lowY = radiusLow * cosines[i];
            const float highX = radiusHigh * sines[i], highY = radiusHigh * cosines[i];
            if (style.outside) {
                sink.Vertex(lowX, lowY, 0);
                sink.Vertex(highX, highY, 0);
            } else {
                sink.Vertex(highX, highY, 0);
                sink.Vertex(lowX, lowY, 0);
            }
        }
        sink.End();
    }
}

} // namespace hk
