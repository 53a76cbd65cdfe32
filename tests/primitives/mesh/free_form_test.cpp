// Free-form meshes: loading by extension, the errors of bad files, extents and the
// origin-centred box, auto-scaling and centering, triangle extraction and the octree seam.
#include "primitives/mesh/free_form.h"
#include "tests/primitives/mesh/writer_3ds.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace hk {
namespace {

using namespace test3ds;
namespace fs = std::filesystem;

// A box of vertices from (2, -1, 0) to (4, 3, 1): away from the origin on every axis.
std::string OffCentre() {
    return File({Object("Box", {Vertices({{2, -1, 0}, {4, -1, 0}, {4, 3, 0}, {2, 3, 1}}),
                                Faces({{0, 1, 2}, {0, 2, 3}})})});
}

class Files : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::string& bytes) {
        fs::create_directories(dir);
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir = fs::temp_directory_path() / ("hk_free_form_" + std::to_string(getpid()));
};

TEST_F(Files, UpperCaseExtensionsFindThe3DSReader) {
    TGLFreeForm mesh;
    const std::string name = Write("MODEL.3DS", OffCentre()).string();
    mesh.LoadFromFile(name);
    EXPECT_EQ(mesh.MeshObjects().size(), 1u);
    EXPECT_EQ(mesh.FileName(), name);
    mesh.LoadFromFile(Write("project.Prj", OffCentre()).string());
    EXPECT_EQ(mesh.MeshObjects().size(), 1u);
}

TEST_F(Files, AnUnknownExtensionLeavesTheMeshEmptyWithTheExactMessage) {
    TGLFreeForm mesh;
    mesh.LoadFromFile(Write("a.3ds", OffCentre()).string());
    try {
        mesh.LoadFromFile(Write("model.obj", OffCentre()).string());
        FAIL() << "no error";
    } catch (const EInvalidVectorFile& e) {
        EXPECT_STREQ(e.what(), "Unknown file extension (obj), maybe you forgot to add the "
                               "support unit to your uses? (GLFileOBJ?)");
    }
    EXPECT_TRUE(mesh.MeshObjects().empty());
    EXPECT_EQ(mesh.FileName(), "");
}

TEST_F(Files, AMissingFileKeepsTheMeshAndABrokenOneNamesItself) {
    TGLFreeForm mesh;
    mesh.LoadFromFile(Write("a.3ds", OffCentre()).string());
    EXPECT_THROW(mesh.LoadFromFile((dir / "missing.3ds").string()), EFOpenError);
    EXPECT_EQ(mesh.MeshObjects().size(), 1u);
    std::filesystem::create_directory(dir / "folder.3ds");
    EXPECT_THROW(mesh.LoadFromFile((dir / "folder.3ds").string()), EFOpenError);
    EXPECT_EQ(mesh.MeshObjects().size(), 1u);

    const std::string broken = OffCentre().substr(0, 40);
    const std::string name = Write("broken.3ds", broken).string();
    try {
        mesh.LoadFromFile(name);
        FAIL() << "no error";
    } catch (const EInvalidVectorFile& e) {
        EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    EXPECT_TRUE(mesh.MeshObjects().empty());
    EXPECT_EQ(mesh.FileName(), "");
    mesh.LoadFromFile("");
    EXPECT_EQ(mesh.FileName(), "");
}

TEST(FreeForm, AnUnknownFirstChunkLoadsEmpty) {
    TGLFreeForm mesh;
    std::istringstream in(Chunk(0x1234).U32(0).Bytes());
    mesh.LoadFromStream("x.3ds", in);
    EXPECT_TRUE(mesh.MeshObjects().empty());
    EXPECT_EQ(mesh.FileName(), "x.3ds");
}

TEST(FreeForm, AnEmptyMeshHasInfiniteExtents) {
    TGLFreeForm mesh;
    TAffineVector lo, hi;
    mesh.GetExtents(lo, hi);
    EXPECT_TRUE(std::isinf(lo.x) && lo.x > 0 && std::isinf(hi.y) && hi.y < 0);
    const TVector e = mesh.UnscaledBoxExtents();
    EXPECT_TRUE(std::isinf(e.x) && std::isinf(e.y) && std::isinf(e.z));
}

TEST(FreeForm, AnOffCentreMeshGetsAnOriginCentredBoxThatEnclosesIt) {
    TGLFreeForm mesh;
    std::istringstream in(OffCentre());
    mesh.LoadFromStream("box.3ds", in);
    const TVector e = mesh.UnscaledBoxExtents();
    EXPECT_FLOAT_EQ(e.x, 4);
    EXPECT_FLOAT_EQ(e.y, 3);
    EXPECT_FLOAT_EQ(e.z, 1);
    EXPECT_EQ(e.w, 0);
    // The cached box follows an edit announced with MeshChanged.
    mesh.MeshObjects()[0]->Vertices[0] = {-7, 0, 0};
    EXPECT_FLOAT_EQ(mesh.UnscaledBoxExtents().x, 4) << "cached";
    mesh.MeshChanged();
    EXPECT_FLOAT_EQ(mesh.UnscaledBoxExtents().x, 7);
}

TEST(FreeForm, AutoScalingThenCenteringApplyAfterTheLoad) {
    TGLFreeForm mesh;
    mesh.AutoScaling().SetVector(2, 1, 1);
    mesh.SetAutoCentering({macCenterX, macCenterZ});
    std::istringstream in(OffCentre());
    mesh.LoadFromStream("box.3ds", in);
    TAffineVector lo, hi;
    mesh.GetExtents(lo, hi);
    EXPECT_FLOAT_EQ(lo.x, -2);
    EXPECT_FLOAT_EQ(hi.x, 2);
    EXPECT_FLOAT_EQ(lo.y, -1) << "y is not centred";
    EXPECT_FLOAT_EQ(lo.z, -0.5f);

    TGLFreeForm bary;
    bary.SetAutoCentering({macUseBarycenter, macCenterX});
    std::istringstream again(OffCentre());
    bary.LoadFromStream("box.3ds", again);
    const TAffineVector c = bary.GetBarycenter();
    EXPECT_NEAR(c.x, 0, 1e-5f);
    EXPECT_NEAR(c.y, 0, 1e-5f);
    EXPECT_NEAR(c.z, 0, 1e-5f);
}

TEST(FreeForm, TrianglesComeFromEveryMeshObjectInOrder) {
    TGLFreeForm mesh;
    std::istringstream in(
        File({Object("A", {Vertices(SquareVertices()), Faces({{0, 1, 2}, {0, 2, 3}})}),
              Object("B", {Vertices({{5, 5, 5}, {6, 5, 5}, {6, 6, 5}}), Faces({{0, 1, 2}})})}));
    mesh.LoadFromStream("two.3ds", in);
    TAffineVectorList normals;
    const TAffineVectorList t = mesh.ExtractTriangles(nullptr, &normals);
    ASSERT_EQ(t.Count(), 9);
    EXPECT_EQ(normals.Count(), 9);
    EXPECT_EQ(t[6].x, 5.0f);
    EXPECT_EQ(t[8].y, 6.0f);
}

struct FakeOctree : TMeshOctree {
    int builds = 0, depth = 0, triangles = 0;
    TAffineVector min, max;
    void InitializeTree(const TAffineVector& lo, const TAffineVector& hi,
                        const TAffineVectorList& t, int d) override {
        ++builds;
        min = lo, max = hi, depth = d, triangles = t.Count() / 3;
    }
};

TEST(FreeForm, BuildOctreeFillsTheOctreeTheCollisionLibraryProvides) {
    TGLFreeForm mesh;
    std::istringstream in(OffCentre());
    mesh.LoadFromStream("box.3ds", in);
    mesh.BuildOctree(3);
    EXPECT_EQ(mesh.Octree(), nullptr) << "no octree class registered";

    SetMeshOctreeFactory([] { return std::make_unique<FakeOctree>(); });
    mesh.BuildOctree(3);
    auto* tree = dynamic_cast<FakeOctree*>(mesh.Octree());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->triangles, 2);
    EXPECT_EQ(tree->depth, 3);
    EXPECT_EQ(tree->min.x, 2.0f);
    EXPECT_EQ(tree->max.y, 3.0f);
    mesh.BuildOctree(3);
    EXPECT_EQ(mesh.Octree(), tree) << "the octree is kept and rebuilt";
    EXPECT_EQ(tree->builds, 2);
    SetMeshOctreeFactory(nullptr);
}

TEST(VectorFileFormats, TheLatestRegistrationOfAnExtensionWins) {
    TVectorFileFormatsList& formats = GetVectorFileFormats();
    ASSERT_NE(formats.FindExt("3DS"), nullptr);
    EXPECT_EQ(formats.FindExt("3ds")->Description, "3D Studio files");
    EXPECT_EQ(formats.FindExt("prj")->Description, "3D Studio project files");
    EXPECT_EQ(formats.FindExt("glsm"), nullptr);
    RegisterVectorFileFormat("TST", "first", formats.FindExt("3ds")->VectorFileClass);
    RegisterVectorFileFormat("tst", "second", formats.FindExt("3ds")->VectorFileClass);
    EXPECT_EQ(formats.FindExt("tst")->Description, "second");
    EXPECT_EQ(VectorFileExtension("dir.v2/Model.3DS"), "3ds");
    EXPECT_EQ(VectorFileExtension("dir.v2/model"), "");
}

} // namespace
} // namespace hk
