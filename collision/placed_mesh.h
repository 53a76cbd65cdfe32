// TPlacedMesh: mesh A's triangles as the mesh filter sees them in B's space during one mesh-mesh
// test. The test carries each candidate to world space and on into B's space, each step rounded
// to float; a leaf's candidates are placed that way when the filter first reaches the leaf.
// Above the leaves, a node's fit is the one made in A's own space carried over exactly, widened
// by how far the two roundings can move a point, with its reach bounded from how small a placed
// triangle's normal can become. So a test touches only the nodes the filter reaches.
#pragma once

#include "collision/node_fit.h"
#include "engine/vector_types.h"

#include <memory>
#include <vector>

namespace hk {

class TPlacedMesh {
public:
    // Starts a test. `own` are the tree's fits in A's own space over every triangle that could
    // have a surface once placed; `vertices` A's triangles, three vertices each, by index;
    // triangle i is a candidate when marks[i] == mark. World and inverseB are the matrices the
    // test places its candidates with.
    void Begin(const TTriangleTree& tree, const std::vector<TNodeFit>& own,
               const TAffineVector* vertices, const std::vector<unsigned>& marks, unsigned mark,
               const TMatrix& world, const TMatrix& inverseB);

    const TTriangleTree& Tree() const { return *tree_; }
    // The node's fit in B's space; a leaf's candidates are placed on the first call.
    const TNodeFit& Fit(int node);
    // The triangle at position k of a leaf that Fit has placed, and its bound (inactive for a
    // triangle that is no candidate).
    const TPreparedTriangle& Triangle(int k) const { return triangles_[std::size_t(k)]; }
    const TTriangleBound& Bound(int k) const { return bounds_[std::size_t(k)]; }
    // Whether the triangle at position k has been asked about in this test, and marking it.
    bool Tried(int k) const { return tried_[std::size_t(k)] == pass_; }
    void SetTried(int k) { tried_[std::size_t(k)] = pass_; }

private:
    // The unit direction in B's space across the points whose values along u (a unit direction
    // in A's space) lie in [lo, hi], with their range along it; zero where none is found.
    void CarryDirection(const double (&u)[3], double lo, double hi, double pointMax,
                        TNodeFit& f) const;
    TNodeFit Carry(const TNodeFit& own) const;
    void Place(int node);

    const TTriangleTree* tree_ = nullptr;
    const std::vector<TNodeFit>* own_ = nullptr;
    const TAffineVector* vertices_ = nullptr;
    const std::vector<unsigned>* marks_ = nullptr;
    unsigned mark_ = 0;
    TMatrix world_{}, inverseB_{};
    // The placement as one affine map in double precision: q = p m[0..2] + m[3].
    double m_[4][3] = {};
    double inverse_[3][3] = {};
    double determinant_ = 0, norm_ = 0;
    // How far the rounding of the placement can move a coordinate; infinite where no bound holds.
    double error_ = 0;

    // By position, written only where a leaf is placed: left uninitialised, so that memory
    // for leaves no test reaches is never touched.
    std::unique_ptr<TPreparedTriangle[]> triangles_;
    std::unique_ptr<TTriangleBound[]> bounds_;
    std::size_t capacity_ = 0;
    std::vector<TNodeFit> fits_;
    std::vector<unsigned> fitted_, tried_;
    unsigned pass_ = 0;
};

} // namespace hk
