// Taking the named meshes out of a 3DS chunk tree, with every list bounded by its chunk.
#include "primitives/mesh/objects_3ds.h"

#include "primitives/mesh/chunk_3ds.h"

#include <algorithm>
#include <cmath>

namespace hk {
namespace {

constexpr std::uint16_t cObjects = 0x3D3D;
constexpr std::uint16_t cNamedObject = 0x4000;
constexpr std::uint16_t cHidden = 0x4010;
constexpr std::uint16_t cTriangleMesh = 0x4100;
constexpr std::uint16_t cVertexList = 0x4110;
constexpr std::uint16_t cFaceList = 0x4120;
constexpr std::uint16_t cMaterialGroup = 0x4130;
constexpr std::uint16_t cTexVertexList = 0x4140;
constexpr std::uint16_t cSmoothingList = 0x4150;
constexpr std::uint16_t cMeshMatrix = 0x4160;

class ObjectReader {
public:
    ObjectReader(std::span<const std::uint8_t> data, const T3DSChunkTree& tree,
                 const std::string& fileName)
        : data_(data), tree_(tree), fileName_(fileName) {}

    T3DSCursor Cursor(int chunk, std::uint32_t end, const std::string& what) const {
        const T3DSChunk& c = tree_[chunk];
        return T3DSCursor(data_, c.DataStart, end, fileName_,
                          what + " of object \"" + object_ + "\" at offset " +
                              std::to_string(c.Start));
    }

    // A 16-bit count followed by that many entries of `size` bytes.
    std::size_t Count(T3DSCursor& in, std::size_t size, const char* entries) const {
        const std::size_t n = in.U16();
        if (in.Remaining() / size < n)
            in.Fail("announces " + std::to_string(n) + " " + entries + " but holds " +
                    std::to_string(in.Remaining() / size));
        return n;
    }

    void ReadVertices(int chunk, T3DSObject& o) const {
        T3DSCursor in = Cursor(chunk, tree_[chunk].End, "the vertex list");
        const std::size_t n = Count(in, 12, "vertices");
        o.Vertices.resize(n);
        for (TAffineVector& v : o.Vertices) {
            v.x = in.F32();
            v.y = in.F32();
            v.z = in.F32();
        }
    }

    void ReadTexVertices(int chunk, T3DSObject& o) const {
        T3DSCursor in = Cursor(chunk, tree_[chunk].End, "the texture vertex list");
        const std::size_t n = Count(in, 8, "texture vertices");
        o.TexVertices.resize(n);
        for (TTexPoint& t : o.TexVertices) {
            t.s = in.F32();
            t.t = in.F32();
        }
        o.HasTexVertices = true;
    }

    void ReadFaces(int chunk, T3DSObject& o) const {
        T3DSCursor in = Cursor(chunk, tree_[chunk].FieldsEnd, "the face list");
        const std::size_t n = Count(in, 8, "faces");
        o.Faces.resize(n);
        for (T3DSFace& f : o.Faces) {
            f.A = in.U16();
            f.B = in.U16();
            f.C = in.U16();
            f.Flags = in.U16();
        }
        bool smoothingRead = false;
        for (int k = tree_[chunk].FirstChild; k >= 0; k = tree_[k].NextSibling) {
            if (tree_[k].Id == cMaterialGroup) {
                T3DSCursor group = Cursor(k, tree_[k].End, "a material group");
                T3DSMaterialGroup g;
                g.MaterialName = group.String();
                g.Faces.resize(Count(group, 2, "faces"));
                for (std::uint16_t& face : g.Faces)
                    face = group.U16();
                o.MaterialGroups.push_back(std::move(g));
            } else if (tree_[k].Id == cSmoothingList && !smoothingRead) {
                smoothingRead = true;
                T3DSCursor masks = Cursor(k, tree_[k].End, "the smoothing list");
                o.HasSmoothing = true;
                o.SmoothingMasks.assign(o.Faces.size(), 0);
                for (std::uint32_t& m : o.SmoothingMasks) {
                    if (masks.Remaining() < 4)
                        break;
                    m = masks.U32();
                }
            }
        }
    }

    void ReadMatrix(int chunk, T3DSObject& o) const {
        T3DSCursor in = Cursor(chunk, tree_[chunk].End, "the mesh matrix");
        if (in.Remaining() < 48)
            return;
        for (float& f : o.Matrix)
            f = in.F32();
        o.HasMatrix = true;
    }

    // What a mesh is built from must make sense: finite vertices, faces within the vertices,
    // material groups within the faces.
    void Check(const T3DSObject& o, int chunk) const {
        T3DSCursor at = Cursor(chunk, tree_[chunk].End, "the mesh");
        for (std::size_t i = 0; i < o.Vertices.size(); ++i) {
            const TAffineVector& v = o.Vertices[i];
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
                at.Fail("vertex " + std::to_string(i) + " is not a finite number");
        }
        for (std::size_t i = 0; i < o.Faces.size(); ++i) {
            const T3DSFace& f = o.Faces[i];
            const std::size_t worst = std::max({f.A, f.B, f.C});
            if (worst >= o.Vertices.size())
                at.Fail("face " + std::to_string(i) + " uses vertex " + std::to_string(worst) +
                        " but there are " + std::to_string(o.Vertices.size()) + " vertices");
        }
        for (const T3DSMaterialGroup& g : o.MaterialGroups)
            for (std::uint16_t face : g.Faces)
                if (face >= o.Faces.size())
                    at.Fail("the material group \"" + g.MaterialName + "\" lists face " +
                            std::to_string(face) + " but there are " +
                            std::to_string(o.Faces.size()) + " faces");
    }

    std::vector<T3DSObject> Read() {
        std::vector<T3DSObject> objects;
        const int scene = tree_.FindFirst(0, cObjects);
        if (scene < 0)
            return objects;
        for (int named = tree_[scene].FirstChild; named >= 0; named = tree_[named].NextSibling) {
            if (tree_[named].Id != cNamedObject)
                continue;
            const int mesh = tree_.FindChild(named, cTriangleMesh);
            if (mesh < 0)
                continue;
            T3DSObject o;
            object_.clear();
            o.Name = Cursor(named, tree_[named].FieldsEnd, "the name").String();
            object_ = o.Name;
            o.Hidden = tree_.FindChild(named, cHidden) >= 0;
            bool vertices = false, texVertices = false, faces = false, matrix = false;
            for (int k = tree_[mesh].FirstChild; k >= 0; k = tree_[k].NextSibling) {
                const std::uint16_t id = tree_[k].Id;
                if (id == cVertexList && !vertices) {
                    vertices = true;
                    ReadVertices(k, o);
                } else if (id == cTexVertexList && !texVertices) {
                    texVertices = true;
                    ReadTexVertices(k, o);
                } else if (id == cFaceList && !faces) {
                    faces = true;
                    ReadFaces(k, o);
                } else if (id == cMeshMatrix && !matrix) {
                    matrix = true;
                    ReadMatrix(k, o);
                }
            }
            if (o.HasTexVertices)
                o.TexVertices.resize(o.Vertices.size());
            if (!o.Hidden && o.Vertices.size() >= 3)
                Check(o, mesh);
            objects.push_back(std::move(o));
        }
        return objects;
    }

private:
    std::span<const std::uint8_t> data_;
    const T3DSChunkTree& tree_;
    const std::string& fileName_;
    std::string object_;
};

} // namespace

std::vector<T3DSObject> Read3DSObjects(std::span<const std::uint8_t> data,
                                       const std::string& fileName) {
    const T3DSChunkTree tree = T3DSChunkTree::Read(data, fileName);
    if (tree.Empty())
        return {};
    return ObjectReader(data, tree, fileName).Read();
}

} // namespace hk
