// The solids of built objects in data-file units.
#include "app/clash_solids.h"

#include "app/clash_mesh.h"
#include "app/document.h"
#include "engine/scene_object.h"
#include "primitives/mesh/free_form.h"
#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/torus.h"
#include "primitives/shapes/points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hk {
namespace {

// An affine map of row vectors (p' = p x M) in double precision, taking an object's own
// coordinates to the data file.
class TToFile {
public:
    TToFile(TGLBaseSceneObject& object, const TFileFrame& frame) {
        const TMatrix& m = object.ObjectMatrix();
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                m_[r][c] = m[r][c] * frame.scale;
        m_[3][0] += frame.offset.x;
        m_[3][1] += frame.offset.y;
        m_[3][2] += frame.offset.z;
    }

    TPoint3D Point(double x, double y, double z) const {
        return {x * m_[0][0] + y * m_[1][0] + z * m_[2][0] + m_[3][0],
                x * m_[0][1] + y * m_[1][1] + z * m_[2][1] + m_[3][1],
                x * m_[0][2] + y * m_[1][2] + z * m_[2][2] + m_[3][2]};
    }
    // The image of the object's axis `row` (0 x, 1 y, 2 z) with its length.
    TPoint3D Axis(int row) const { return {m_[row][0], m_[row][1], m_[row][2]}; }
    // A length across axes a and b of the object: the larger of their stretches, so that a
    // radius never shrinks under an uneven scale.
    double Across(int a, int b) const { return std::max(Norm(Axis(a)), Norm(Axis(b))); }

private:
    double m_[4][3];
};

void FitBox(TClashSolid& solid) {
    constexpr double inf = 1.0e300;
    solid.boxMin = {inf, inf, inf};
    solid.boxMax = {-inf, -inf, -inf};
    auto take = [&](const TPoint3D& p, double r) {
        solid.boxMin = {std::min(solid.boxMin.x, p.x - r), std::min(solid.boxMin.y, p.y - r),
                        std::min(solid.boxMin.z, p.z - r)};
        solid.boxMax = {std::max(solid.boxMax.x, p.x + r), std::max(solid.boxMax.y, p.y + r),
                        std::max(solid.boxMax.z, p.z + r)};
    };
    for (const TClashPiece& piece : solid.pieces) {
        take(piece.a, piece.radius);
        take(piece.b, piece.radius);
    }
    if (solid.mesh)
        for (const TPoint3D& v : solid.mesh->Vertices())
            take(v, 0);
}

// Cylinders stand along their Y axis, centred unless aligned to an end.
TClashSolid CylinderSolid(TGLCylinderBase& cylinder, const TToFile& toFile) {
    double low = -cylinder.Height() / 2, high = cylinder.Height() / 2;
    if (auto* plain = dynamic_cast<TGLCylinder*>(&cylinder)) {
        if (plain->Alignment() == caTop) {
            low -= cylinder.Height() / 2;
            high -= cylinder.Height() / 2;
        } else if (plain->Alignment() == caBottom) {
            low += cylinder.Height() / 2;
            high += cylinder.Height() / 2;
        }
    }
    const double radius =
        std::max(std::fabs(cylinder.BottomRadius()), std::fabs(cylinder.TopRadiusOf()));
    TClashSolid solid;
    solid.kind = TClashSolidKind::Cylinder;
    solid.pieces.push_back(
        {toFile.Point(0, low, 0), toFile.Point(0, high, 0), radius * toFile.Across(0, 2), false});
    return solid;
}

std::optional<TClashSolid> TubeSolid(TGLPipe& tube, const TToFile& toFile) {
    TGLPipeNodes& nodes = tube.PipeNodes();
    if (nodes.Count() == 0)
        return std::nullopt;
    const double scale =
        std::max({Norm(toFile.Axis(0)), Norm(toFile.Axis(1)), Norm(toFile.Axis(2))});
    auto radiusAt = [&](int i) {
        const TGLPipeNode* node = nodes.PipeNode(i);
        return std::fabs(tube.Radius() * (node ? node->RadiusFactor() : 1.0f)) * scale;
    };
    auto pointAt = [&](int i) {
        const TGLNode& n = nodes[i];
        return toFile.Point(n.X(), n.Y(), n.Z());
    };
    TClashSolid solid;
    solid.kind = TClashSolidKind::Tube;
    if (nodes.Count() == 1)
        solid.pieces.push_back({pointAt(0), pointAt(0), radiusAt(0), false});
    for (int i = 0; i + 1 < nodes.Count(); ++i)
        solid.pieces.push_back(
            {pointAt(i), pointAt(i + 1), std::max(radiusAt(i), radiusAt(i + 1)), false});
    return solid;
}

// The ring of the torus's core circle, in the object's XY plane, swept by the minor radius.
TClashSolid TorusSolid(TGLTorus& torus, const TToFile& toFile) {
    const double major = std::fabs(torus.MajorRadius()) * toFile.Across(0, 1);
    const double minor =
        std::fabs(torus.MinorRadius()) *
        std::max({Norm(toFile.Axis(0)), Norm(toFile.Axis(1)), Norm(toFile.Axis(2))});
    // A chord of the step angle 2 pi / n falls short of the circle by major (1 - cos(pi / n)).
    int steps = 12;
    if (major > cTorusRingDeviation) {
        const double half = std::acos(1 - cTorusRingDeviation / major);
        steps = std::clamp(int(std::ceil(std::numbers::pi / half)), 12, 2048);
    }
    TClashSolid solid;
    solid.kind = TClashSolidKind::Torus;
    const double r = torus.MajorRadius();
    auto at = [&](int i) {
        const double a = 2 * std::numbers::pi * i / steps;
        return toFile.Point(r * std::cos(a), r * std::sin(a), 0);
    };
    for (int i = 0; i < steps; ++i)
        solid.pieces.push_back({at(i), at(i + 1), minor, true});
    return solid;
}

TClashSolid MeshSolid(TGLFreeForm& mesh, const TToFile& toFile) {
    const TAffineVectorList triangles = mesh.ExtractTriangles();
    std::vector<TPoint3D> corners;
    corners.reserve(std::size_t(triangles.Count()));
    for (int i = 0; i < triangles.Count(); ++i)
        corners.push_back(toFile.Point(triangles[i].x, triangles[i].y, triangles[i].z));
    TClashSolid solid;
    solid.kind = TClashSolidKind::Mesh;
    solid.mesh = std::make_shared<const TClashMesh>(std::move(corners));
    return solid;
}

} // namespace

TFileFrame FileFrameOf(const TDocument& doc) {
    return {doc.loadScale != 0 ? double(doc.loadScale) : double(cDefaultLoadScale),
            {doc.sceneOffset[0], doc.sceneOffset[1], doc.sceneOffset[2]}};
}

std::optional<TClashSolid> ClashSolidOf(TGLBaseSceneObject& object, const TFileFrame& frame) {
    const TToFile toFile(object, frame);
    std::optional<TClashSolid> solid;
    if (auto* cylinder = dynamic_cast<TGLCylinderBase*>(&object)) {
        solid = CylinderSolid(*cylinder, toFile);
    } else if (auto* tube = dynamic_cast<TGLPipe*>(&object)) {
        solid = TubeSolid(*tube, toFile);
    } else if (auto* torus = dynamic_cast<TGLTorus*>(&object)) {
        solid = TorusSolid(*torus, toFile);
    } else if (auto* mesh = dynamic_cast<TGLFreeForm*>(&object)) {
        solid = MeshSolid(*mesh, toFile);
    } else if (dynamic_cast<TGLPoints*>(&object)) {
        const TPoint3D p = toFile.Point(0, 0, 0);
        solid = TClashSolid{TClashSolidKind::Point, {{p, p, 0, true}}, nullptr, p, p};
    }
    if (solid)
        FitBox(*solid);
    return solid;
}

} // namespace hk
