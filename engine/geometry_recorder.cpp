// Recording geometry into indexed triangles.
#include "engine/geometry_recorder.h"

#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace hk {

void TGLGeometryRecorder::SetMatrix(const TMatrix& m) {
    matrix_ = m;
    normalMatrixValid_ = false;
    placedValid_ = false;
}

void TGLGeometryRecorder::SetBase(const TMatrix& base) {
    stack_.clear();
    SetMatrix(base);
}

void TGLGeometryRecorder::Clear() {
    vertices_.clear();
    indices_.clear();
    stack_.clear();
    ok_ = true;
    inside_ = false;
}

void TGLGeometryRecorder::Truncate(std::size_t vertices, std::size_t indices) {
    vertices_.resize(std::min(vertices, vertices_.size()));
    indices_.resize(std::min(indices, indices_.size()));
    stack_.clear();
    inside_ = false;
}

void TGLGeometryRecorder::Begin(unsigned mode) {
    switch (mode) {
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_QUADS:
    case GL_QUAD_STRIP:
    case GL_POLYGON:
        break;
    default:
        ok_ = false;
        break;
    }
    if (inside_) {
        ok_ = false;
    }
    inside_ = true;
    mode_ = mode;
    first_ = std::uint32_t(vertices_.size());
}

void TGLGeometryRecorder::End() {
    if (!inside_) {
        ok_ = false;
        return;
    }
    inside_ = false;
    const std::uint32_t n = std::uint32_t(vertices_.size()) - first_;
    const std::uint32_t f = first_;
    auto triangle = [this, f](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        indices_.insert(indices_.end(), {f + a, f + b, f + c});
    };
    switch (mode_) {
    case GL_TRIANGLES:
        for (std::uint32_t i = 0; i + 2 < n; i += 3) {
            triangle(i, i + 1, i + 2);
        }
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle is turned round, so that all keep the strip's winding.
        for (std::uint32_t i = 0; i + 2 < n; ++i) {
            if (i % 2 == 0) {
                triangle(i, i + 1, i + 2);
            } else {
                triangle(i + 1, i, i + 2);
            }
        }
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (std::uint32_t i = 1; i + 1 < n; ++i) {
            triangle(0, i, i + 1);
        }
        break;
    case GL_QUADS:
        for (std::uint32_t i = 0; i + 3 < n; i += 4) {
            triangle(i, i + 1, i + 2);
            triangle(i, i + 2, i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        // Quad j is 2j, 2j + 1, 2j + 3, 2j + 2 in this order.
        for (std::uint32_t i = 0; i + 3 < n; i += 2) {
            triangle(i, i + 1, i + 3);
            triangle(i, i + 3, i + 2);
        }
        break;
    default:
        break;
    }
}

void TGLGeometryRecorder::Normal(float x, float y, float z) {
    // As in OpenGL, the normal is placed by the matrix current when a vertex takes it.
    sentNormal_ = {x, y, z};
    placedValid_ = false;
}

void TGLGeometryRecorder::Vertex(float x, float y, float z) {
    if (!inside_) {
        ok_ = false;
        return;
    }
    if (!placedValid_) {
        if (!normalMatrixValid_) {
            normalMatrix_ = TransposeMatrix(InvertMatrix(matrix_));
            normalMatrixValid_ = true;
        }
        normal_ = AffineRotate(sentNormal_, normalMatrix_);
        placedValid_ = true;
    }
    const TAffineVector p = AffineTransform({x, y, z}, matrix_);
    vertices_.push_back({{p.x, p.y, p.z}, {normal_.x, normal_.y, normal_.z}});
}

void TGLGeometryRecorder::PushMatrix() {
    stack_.push_back(matrix_);
}

void TGLGeometryRecorder::PopMatrix() {
    if (stack_.empty()) {
        ok_ = false;
        return;
    }
    SetMatrix(stack_.back());
    stack_.pop_back();
}

void TGLGeometryRecorder::Translate(float x, float y, float z) {
    SetMatrix(MatrixMultiply(CreateTranslationMatrix({x, y, z}), matrix_));
}

void TGLGeometryRecorder::Rotate(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) {
        return;
    }
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees * 3.14159265358979323846 / 180;
    const float c = float(std::cos(a)), s = float(std::sin(a)), t = 1 - c;
    // OpenGL's rotation matrix, transposed for row vectors.
    TMatrix r = IdentityHmgMatrix;
    r[0][0] = x * x * t + c;
    r[1][0] = x * y * t - z * s;
    r[2][0] = x * z * t + y * s;
    r[0][1] = y * x * t + z * s;
    r[1][1] = y * y * t + c;
    r[2][1] = y * z * t - x * s;
    r[0][2] = x * z * t - y * s;
    r[1][2] = y * z * t + x * s;
    r[2][2] = z * z * t + c;
    SetMatrix(MatrixMultiply(r, matrix_));
}

} // namespace hk
