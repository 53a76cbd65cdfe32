// Closedness, inside test and distance hierarchy of a clash mesh.
#include "app/clash_mesh.h"

#include <fcl/fcl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace hk {
namespace {

using TKey = std::tuple<double, double, double>;

TKey KeyOf(const TPoint3D& p) {
    return {p.x, p.y, p.z};
}

} // namespace

TClashMesh::TClashMesh(std::vector<TPoint3D> corners) : corners_(std::move(corners)) {
    corners_.resize(corners_.size() / 3 * 3);
    std::map<TKey, int> index;
    std::vector<int> ids;
    ids.reserve(corners_.size());
    for (const TPoint3D& p : corners_) {
        auto [it, added] = index.emplace(KeyOf(p), int(vertices_.size()));
        if (added)
            vertices_.push_back(p);
        ids.push_back(it->second);
    }
    std::map<std::pair<int, int>, int> edgeUse;
    for (std::size_t t = 0; t < ids.size(); t += 3)
        for (int k = 0; k < 3; ++k) {
            const int a = ids[t + std::size_t(k)], b = ids[t + std::size_t((k + 1) % 3)];
            ++edgeUse[{std::min(a, b), std::max(a, b)}];
        }
    closed_ = !edgeUse.empty() && std::all_of(edgeUse.begin(), edgeUse.end(),
                                              [](const auto& e) { return e.second == 2; });
    if (corners_.empty())
        return;
    auto model = std::make_shared<fcl::BVHModel<fcl::OBBRSSd>>();
    model->beginModel(TriangleCount(), TriangleCount() * 3);
    auto v = [](const TPoint3D& p) { return fcl::Vector3d(p.x, p.y, p.z); };
    for (std::size_t t = 0; t < corners_.size(); t += 3)
        model->addTriangle(v(corners_[t]), v(corners_[t + 1]), v(corners_[t + 2]));
    model->endModel();
    geometry_ = std::move(model);
}

bool TClashMesh::Contains(const TPoint3D& p) const {
    if (!closed_)
        return false;
    // Sum of the solid angles of the triangles seen from p (Van Oosterom and Strackee): 4 pi
    // inside a closed surface, 0 outside, whichever way the triangles turn.
    double total = 0;
    for (std::size_t t = 0; t < corners_.size(); t += 3) {
        const TPoint3D a = corners_[t] - p, b = corners_[t + 1] - p, c = corners_[t + 2] - p;
        const double la = Norm(a), lb = Norm(b), lc = Norm(c);
        const double numerator = Dot(a, Cross(b, c));
        const double denominator = la * lb * lc + Dot(a, b) * lc + Dot(b, c) * la + Dot(c, a) * lb;
        total += 2 * std::atan2(numerator, denominator);
    }
    return std::fabs(total) > 2 * std::numbers::pi;
}

} // namespace hk
