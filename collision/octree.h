// TOctree: the triangle octree of a mesh object. It keeps a private copy of the mesh's
// triangles (mesh-local, three vertices each) and a tree of boxes down to a fixed depth whose
// leaves list the triangles that touch them. The faces collision tests use it to compare
// only triangles that lie near each other. A free-form mesh owns one through its octree seam.
#pragma once

#include "collision/face_exit.h"
#include "collision/leaf_clusters.h"
#include "collision/mesh_filter.h"
#include "collision/triangle_tests.h"
#include "engine/vector_lists.h"
#include "engine/vector_types.h"
#include "primitives/mesh/mesh_octree.h"

#include <vector>

namespace hk {

class TOctree : public TMeshOctree {
public:
    // The depth the collision tests build with (512 leaves).
    static constexpr int cCollisionDepth = 3;
    // Deeper requests are clamped to this (8^6 leaves); negative ones to 0.
    static constexpr int cMaxDepth = 6;

    struct TOctreeNode {
        TAABB box;
        // Triangle indices, in leaves only, ascending.
        std::vector<int> triangles;
        // Index of the first of eight consecutive children; -1 in a leaf.
        int firstChild = -1;
        bool IsLeaf() const { return firstChild < 0; }
    };

    // Replaces the tree and the triangle copy: root bounds (min, max), the triangles as three
    // vertices each (a trailing incomplete triangle is ignored), subdivided to `depth`.
    void InitializeTree(const TAffineVector& min, const TAffineVector& max,
                        const TAffineVector* vertices, int vertexCount, int depth);
    void InitializeTree(const TAffineVector& min, const TAffineVector& max,
                        const TAffineVectorList& vertices, int depth) override {
        InitializeTree(min, max, vertices.List(), vertices.Count(), depth);
    }

    const TAABB& Bounds() const { return bounds_; }
    int Depth() const { return depth_; }
    int NodeCount() const { return int(nodes_.size()); }
    const TOctreeNode& Node(int index) const { return nodes_[std::size_t(index)]; }
    int TriangleCount() const { return int(vertices_.size() / 3); }
    // The three vertices of triangle `index` (0 <= index < TriangleCount()).
    const TAffineVector* Triangle(int index) const { return &vertices_[std::size_t(index) * 3]; }
    // How many times the tree has been built; lets callers see that a build happened.
    int BuildCount() const { return buildCount_; }
    // A number no other build of any octree in the process has had: the contents of a tree
    // are fixed from one build to the next, so this names them.
    unsigned long long BuildSerial() const { return buildSerial_; }

    // The leaves (node indices) the last walk collected, in walk order. Each walk empties it
    // first; walks on one octree must not overlap.
    const std::vector<int>& ResultList() const { return result_; }
    // Leaves whose box the triangle (mesh-local) touches: a vertex inside (inclusive) or the
    // triangle meeting one of the box's faces.
    void WalkTriangle(const TAffineVector& v0, const TAffineVector& v1, const TAffineVector& v2);
    // Leaves whose box the query box touches; m12 carries the query's space into the mesh's,
    // m21 the reverse.
    void WalkBox(const TAABB& query, const TMatrix& m12, const TMatrix& m21);
    // The triangles of the leaves the query box touches, each once, in index order, three
    // mesh-local vertices each.
    std::vector<TAffineVector> TrianglesNearBox(const TAABB& query, const TMatrix& m12,
                                                const TMatrix& m21);

    // Whether the query box (in its own space: query space -> world by `boxMatrix`, back by
    // `boxInverse`) meets a triangle of the mesh placed by meshWorld/meshInverse. With `hits`
    // every meeting triangle is appended (in the box's space); without, the first one ends it.
    bool BoxIntersect(const TAABB& query, const TMatrix& boxMatrix, const TMatrix& boxInverse,
                      const TMatrix& meshWorld, const TMatrix& meshInverse,
                      std::vector<TAffineVector>* hits = nullptr);
    // Whether a world-space triangle meets a triangle of the mesh; meshInverse carries world
    // points into the mesh's space.
    bool TriangleIntersect(const TAffineVector& v0, const TAffineVector& v1,
                           const TAffineVector& v2, const TMatrix& meshInverse);
    // The same on a triangle already in the mesh's space.
    bool LocalTriangleIntersect(const TAffineVector& t0, const TAffineVector& t1,
                                const TAffineVector& t2);

    // The mesh's triangles as the mesh filter reads them when the mesh is B.
    TFilterSide FilterSide();
    // The triangles listed in the given leaves as the mesh filter reads them when the mesh is
    // A: placed as the mesh-mesh test places its candidates, to world space by `world` and on
    // into B's space by `inverseB`.
    TPlacedMesh& Placed(const std::vector<int>& leaves, const TMatrix& world,
                        const TMatrix& inverseB);

    // Calls visit(triangle) once for each triangle listed in the given leaves, until a call
    // returns true; returns whether one did.
    template <class Visit> bool AnyTriangleOfLeaves(const std::vector<int>& leaves, Visit&& visit) {
        if (seen_.size() != std::size_t(TriangleCount()) || ++seenMark_ == 0) {
            seen_.assign(std::size_t(TriangleCount()), 0);
            seenMark_ = 1;
        }
        for (int leaf : leaves) {
            for (int i : nodes_[std::size_t(leaf)].triangles) {
                if (seen_[std::size_t(i)] != seenMark_) {
                    seen_[std::size_t(i)] = seenMark_;
                    if (visit(i)) {
                        return true;
                    }
                }
            }
        }
        return false;
    }

    // The answer of the last mesh-mesh tests this tree took part in as A, by everything the
    // answer depends on: both trees' builds, the matrices and B's box. Sought and kept by
    // MeshMeshIntersect, with the candidate that met B last (-1 if none has), to be tried first
    // while the meshes move.
    struct TPairAnswer {
        unsigned long long ownBuild, otherBuild;
        TMatrix worldA, inverseA, worldB, inverseB;
        TAABB boxB;
        bool intersect;
        int hit;
    };
    std::vector<TPairAnswer>& PairAnswers() { return answers_; }

private:
    // A triangle on its way down the tree: its vertices and prepared form, and the least and
    // greatest of its coordinates along the axis of each of a box's twelve face triangles.
    struct TWalker {
        TAffineVector t[3];
        TPreparedTriangle p;
        float lo[12], hi[12];
        // All coordinates finite: only then do the face limits give the triangle test's answer.
        bool finite;
    };
    // The face limits of a node's twelve face triangles; bit f of `limited` is clear where
    // face triangle f has none and its plane values are computed instead.
    struct TNodeFaceExits {
        float below[12], above[12];
        unsigned limited;
    };
    static TWalker MakeWalker(const TAffineVector& v0, const TAffineVector& v1,
                              const TAffineVector& v2);
    void Subdivide(int node, int level);
    void WalkTriangleFrom(int node, const TWalker& w);
    bool TouchesNode(int node, const TWalker& w);
    // The prepared triangles, the triangle tree and its fits, made on the first mesh query after
    // a build (a leaf's clusters wait for the first search of that leaf).
    void Prepare();
    void WalkBoxFrom(int node, const TAABB& query, const TMatrix& m12, const TMatrix& m21);

    TAABB bounds_;
    std::vector<TAffineVector> vertices_;
    std::vector<TOctreeNode> nodes_;
    // One per node, made with the nodes: derived from their boxes.
    std::vector<TNodeFaceExits> faceExits_;
    std::vector<int> result_;
    int depth_ = 0;
    int buildCount_ = 0;
    unsigned long long buildSerial_ = 0;
    // Derived from the triangles and leaves above, never part of what a build stores. The
    // prepared triangles are in the triangle tree's order (tree_.Position(i) for triangle i).
    std::vector<TPreparedTriangle> prepared_;
    TLeafClusters clusters_;
    TTriangleTree tree_;
    std::vector<TTriangleBound> triangleBounds_;
    // Over every triangle that could meet once placed (see Prepare).
    std::vector<TNodeFit> fits_;
    bool preparedValid_ = false;
    // The candidates of the last mesh-mesh test in which this mesh was A, placed in B's space.
    TPlacedMesh placed_;
    std::vector<TPairAnswer> answers_;
    // Marks of the triangles visited by the current AnyTriangleOfLeaves.
    std::vector<unsigned> seen_;
    unsigned seenMark_ = 0;
};

// Whether two meshes with octrees intersect. Candidates are A's triangles near B's box
// (boxB, in B's own space); each is carried to world space and tested against B's triangles
// near it. The matrices are the meshes' world matrices and their inverses. The answer is a
// function of the two builds, the matrices and the box alone, so a pair asked again with all of
// them bit for bit as before (a still scene) gets the answer kept from last time.
bool MeshMeshIntersect(TOctree& a, const TMatrix& worldA, const TMatrix& inverseA, TOctree& b,
                       const TAABB& boxB, const TMatrix& worldB, const TMatrix& inverseB);

} // namespace hk
