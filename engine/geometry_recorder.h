// TGLGeometryRecorder: a geometry sink that keeps triangles in memory, each vertex with its
// normal, transformed by a base matrix and the transforms sent with the geometry. Strips, fans,
// quads and polygons become indexed triangles with OpenGL's winding, so that the recorded
// geometry draws as the original calls would.
#pragma once

#include "engine/geometry_sink.h"
#include "engine/vector_types.h"

#include <cstdint>
#include <vector>

namespace hk {

struct TGLRecordedVertex {
    float position[3];
    float normal[3];
};

class TGLGeometryRecorder final : public TGLGeometrySink {
public:
    // What follows is placed by `base` (row vectors: p x base), on top of what is recorded.
    void SetBase(const TMatrix& base);
    // False once a call the recorder cannot keep came (an unknown mode, unbalanced calls).
    bool Ok() const { return ok_; }
    void ClearFailure() { ok_ = true; }

    const std::vector<TGLRecordedVertex>& Vertices() const { return vertices_; }
    const std::vector<std::uint32_t>& Indices() const { return indices_; }
    void Clear();
    // Drops what was recorded after the first `vertices` vertices and `indices` indices.
    void Truncate(std::size_t vertices, std::size_t indices);

    void Begin(unsigned mode) override;
    void End() override;
    void Normal(float x, float y, float z) override;
    void TexCoord(float, float) override {}
    void Vertex(float x, float y, float z) override;
    void PushMatrix() override;
    void PopMatrix() override;
    void Translate(float x, float y, float z) override;
    void Rotate(float degrees, float x, float y, float z) override;

private:
    void SetMatrix(const TMatrix& m);

    std::vector<TGLRecordedVertex> vertices_;
    std::vector<std::uint32_t> indices_;
    TMatrix matrix_ = IdentityHmgMatrix;
    // The inverse transpose of the matrix's 3 x 3 part, which carries normals; made when the
    // first vertex after a change of the matrix comes.
    TMatrix normalMatrix_ = IdentityHmgMatrix;
    bool normalMatrixValid_ = true;
    // The current normal as sent, and placed by the matrix (valid while placedValid_).
    TAffineVector sentNormal_{0, 0, 1};
    bool placedValid_ = false;
    std::vector<TMatrix> stack_;
    TAffineVector normal_{0, 0, 1};
    unsigned mode_ = 0;
    bool inside_ = false;
    std::uint32_t first_ = 0;
    bool ok_ = true;
};

} // namespace hk
