// Reading 3DS files into named meshes and mesh objects: what is built, the smoothing-group
// normals, the face groups, and the refusal of files that lie about their contents.
#include "primitives/mesh/mesh_3ds.h"
#include "primitives/mesh/objects_3ds.h"
#include "primitives/mesh/vector_file_error.h"
#include "tests/primitives/mesh/writer_3ds.h"

#include <cmath>
#include <gtest/gtest.h>

namespace hk {
namespace {

using namespace test3ds;

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::vector<std::unique_ptr<TMeshObject>> Load(const std::string& file,
                                               TMeshNormalsOrientation o = mnoDefault) {
    return Build3DSMeshObjects(Read3DSObjects(Bytes(file), "model.3ds"), o, false);
}

// The message of the EInvalidVectorFile that reading the file raises ("" when none is).
std::string ReadError(const std::string& file) {
    try {
        Load(file);
    } catch (const EInvalidVectorFile& e) {
        return e.what();
    }
    return "";
}

// Two triangles folded along the diagonal 0-2: face 0 lies in z = 0 (normal +Z), face 1 leans up.
std::string Folded(std::vector<Chunk> faceChildren, bool smoothing = true) {
    Chunk faces = Faces({{0, 1, 2}, {0, 2, 3}});
    if (smoothing)
        for (const Chunk& c : faceChildren)
            faces.Add(c);
    return File({Object("Fold", {Vertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}}), faces})});
}

void ExpectVector(const TAffineVector& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

TEST(Read3DS, WhatGivesAMeshObject) {
    // A file whose first chunk is not a 3DS root loads empty without an error.
    Chunk other(0x1234);
    other.Add(Editor({Object("A", {Vertices(SquareVertices()), Faces({{0, 1, 2}})})}));
    EXPECT_TRUE(Load(other.Bytes()).empty());

    const auto meshes = Load(File({
        Object("Hidden", {Vertices(SquareVertices()), Faces({{0, 1, 2}})}, true),
        Object("Two", {Vertices({{0, 0, 0}, {1, 0, 0}})}),
        Object("Shown", {Vertices(SquareVertices()), Faces({{0, 1, 2}}), Matrix()}),
    }));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0]->Name, "Shown");
    EXPECT_EQ(meshes[0]->Mode, momFaceGroups);
    ASSERT_EQ(meshes[0]->FaceGroups.size(), 1u);
    EXPECT_EQ(meshes[0]->FaceGroups[0]->Mode, fgmmTriangles);
    EXPECT_EQ(meshes[0]->Vertices.Count(), 4) << "the unused vertex is kept";
}

TEST(Read3DS, SharedLowestSmoothingBitAveragesNormals) {
    // Masks 3 and 1 share their lowest bit.
    const auto meshes = Load(Folded({Smoothing({3, 1})}));
    ASSERT_EQ(meshes.size(), 1u);
    const TMeshObject& m = *meshes[0];
    EXPECT_EQ(m.Vertices.Count(), 4);
    const TIntegerList& idx = m.FaceGroups[0]->VertexIndices;
    ASSERT_EQ(idx.Count(), 6);
    EXPECT_EQ(idx[3], 0);
    EXPECT_EQ(idx[4], 2);
    const float s = 1 / std::sqrt(6.0f);
    ExpectVector(m.Normals[0], s, -s, 2 * s);
    ExpectVector(m.Normals[2], s, -s, 2 * s);
    ExpectVector(m.Normals[1], 0, 0, 1);
    const float t = 1 / std::sqrt(3.0f);
    ExpectVector(m.Normals[3], t, -t, t);
}

TEST(Read3DS, DifferentSmoothingBitsDuplicateTheVertex) {
    for (const std::string& file :
         {Folded({Smoothing({1, 2})}), Folded({Smoothing({1, 0})}), Folded({}, false)}) {
        const auto meshes = Load(file);
        ASSERT_EQ(meshes.size(), 1u);
        const TMeshObject& m = *meshes[0];
        ASSERT_EQ(m.Vertices.Count(), 6);
        ASSERT_EQ(m.Normals.Count(), 6);
        const TIntegerList& idx = m.FaceGroups[0]->VertexIndices;
        EXPECT_EQ(idx[3], 4);
        EXPECT_EQ(idx[4], 5);
        ExpectVector(m.Vertices[4], 0, 0, 0);
        ExpectVector(m.Vertices[5], 1, 1, 0);
        ExpectVector(m.Normals[0], 0, 0, 1);
        const float t = 1 / std::sqrt(3.0f);
        ExpectVector(m.Normals[4], t, -t, t);
    }
}

TEST(Read3DS, SmoothedDuplicatesAreSharedByLaterFacesOfTheirGroup) {
    // Faces 1 and 2 both meet vertex 0 in group bit 1, which face 0 (bit 0) claimed first.
    const auto meshes = Load(File(
        {Object("Fan", {Vertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 1, 0}}),
                        Faces({{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}).Add(Smoothing({1, 2, 2}))})}));
    const TIntegerList& idx = meshes[0]->FaceGroups[0]->VertexIndices;
    EXPECT_EQ(idx[3], 5) << "first duplicate of vertex 0 for bit 1";
    EXPECT_EQ(idx[6], 5) << "reused by the next face of bit 1";
    EXPECT_EQ(meshes[0]->Vertices.Count(), 7);
}

TEST(Read3DS, InvertedOrientationFlipsNormals) {
    const auto meshes = Load(Folded({Smoothing({1, 2})}), mnoInvert);
    ExpectVector(meshes[0]->Normals[1], 0, 0, -1);
}

TEST(Read3DS, MaterialGroupsBecomeFaceGroupsInFileOrder) {
    const std::string file =
        File({Object("M", {Vertices(SquareVertices()), Faces({{0, 1, 2}, {0, 2, 3}})
                                                           .Add(MaterialGroup("Red", {1}))
                                                           .Add(MaterialGroup("Blue", {0, 1}))})});
    const auto plain = Load(file);
    ASSERT_EQ(plain[0]->FaceGroups.size(), 2u);
    EXPECT_EQ(plain[0]->FaceGroups[0]->VertexIndices.Count(), 3);
    EXPECT_EQ(plain[0]->FaceGroups[1]->VertexIndices.Count(), 6);
    EXPECT_EQ(plain[0]->FaceGroups[0]->MaterialName, "");
    const auto named =
        Build3DSMeshObjects(Read3DSObjects(Bytes(file), "model.3ds"), mnoDefault, true);
    EXPECT_EQ(named[0]->FaceGroups[0]->MaterialName, "Red");
    EXPECT_EQ(named[0]->FaceGroups[1]->MaterialName, "Blue");
}

TEST(Read3DS, TextureCoordinatesFollowDuplicatedVertices) {
    const auto meshes = Load(File(
        {Object("T", {Vertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}}),
                      TexVertices({{0, 0}, {1, 0}, {1, 1}}), Faces({{0, 1, 2}, {0, 2, 3}})})}));
    const TMeshObject& m = *meshes[0];
    ASSERT_EQ(m.TexCoords.Count(), m.Vertices.Count()) << "a short list is padded";
    EXPECT_EQ(m.TexCoords[5].s, 1.0f);
    EXPECT_EQ(m.TexCoords[5].t, 1.0f);
    EXPECT_EQ(m.TexCoords[3].s, 0.0f);
}

TEST(Read3DS, SmoothingListsOfTheWrongLengthStayWithinTheFaces) {
    EXPECT_EQ(Load(Folded({Smoothing({1, 1, 1, 1, 1})}))[0]->Vertices.Count(), 4);
    // The face the list misses has no group, so its corners get their own vertices.
    EXPECT_EQ(Load(Folded({Smoothing({1})}))[0]->Vertices.Count(), 6);
}

TEST(Read3DS, ObjectsAreTakenFromTheFirstEditorChunkOnly) {
    Chunk main(0x4D4D);
    main.Add(Chunk(0xAFFF).Add(Chunk(0xA000).Str("Material")));
    main.Add(Editor({Object("First", {Vertices(SquareVertices()), Faces({{0, 1, 2}})})}));
    main.Add(Editor({Object("Second", {Vertices(SquareVertices()), Faces({{0, 1, 2}})})}));
    const auto meshes = Load(main.Bytes());
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0]->Name, "First");
}

TEST(Read3DS, ExtendedDataStopsAtItsFirstForeignChild) {
    Chunk extended(0x8001);
    extended.Add(Chunk(0x8002).U32(1)).Add(Chunk(0x4110).U32(0xFFFFFFFF)).Raw("junk");
    Chunk main(0x4D4D);
    main.Add(extended);
    main.Add(Editor({Object("After", {Vertices(SquareVertices()), Faces({{0, 1, 2}})})}));
    ASSERT_EQ(Load(main.Bytes()).size(), 1u);
}

TEST(Read3DS, NameWithoutItsZeroIsReadToTheChunkEnd) {
    Chunk named(0x4000);
    named.Str("Unterminated", false);
    const auto objects = Read3DSObjects(Bytes(Chunk(0x4D4D).Add(Editor({named})).Bytes()), "x");
    EXPECT_TRUE(objects.empty()) << "the name swallows the chunk, so no mesh follows";
}

TEST(Read3DS, LyingLengthsAreRefusedNamingTheFile) {
    for (std::uint32_t length : {0u, 1u, 5u, 4000u, 0xFFFFFFFFu}) {
        Chunk faces = Faces({{0, 1, 2}});
        faces.Add(Smoothing({1}).Length(length));
        const std::string error =
            ReadError(File({Object("L", {Vertices(SquareVertices()), faces})}));
        EXPECT_NE(error.find("model.3ds"), std::string::npos) << length << ": " << error;
        EXPECT_NE(error.find("0x4150"), std::string::npos) << error;
    }
    // The root longer than the file: a truncated file.
    std::string whole = File({Object("T", {Vertices(SquareVertices()), Faces({{0, 1, 2}})})});
    for (std::size_t cut : {std::size_t(1), std::size_t(4), whole.size() / 2, whole.size() - 1})
        EXPECT_NE(ReadError(whole.substr(0, cut)).find("model.3ds"), std::string::npos) << cut;
    // A parent that ends with a few stray bytes.
    EXPECT_NE(ReadError(Chunk(0x4D4D).Raw("abc").Bytes()).find("too few"), std::string::npos);
}

TEST(Read3DS, CountsLargerThanTheirDataAreRefused) {
    Chunk vertices(0x4110);
    vertices.U16(100).F32(0).F32(0).F32(0);
    EXPECT_NE(ReadError(File({Object("V", {vertices, Faces({{0, 1, 2}})})})).find("100 vertices"),
              std::string::npos);
    Chunk faces(0x4120);
    faces.U16(0xFFFF).U16(0).U16(1).U16(2).U16(0);
    EXPECT_NE(ReadError(File({Object("F", {Vertices(SquareVertices()), faces})})).find("faces"),
              std::string::npos);
    Chunk group(0x4130);
    group.Str("Mat").U16(50).U16(0);
    EXPECT_NE(
        ReadError(File({Object("G", {Vertices(SquareVertices()), Faces({{0, 1, 2}}).Add(group)})}))
            .find("material group"),
        std::string::npos);
    Chunk tex(0x4140);
    tex.U16(9);
    EXPECT_NE(ReadError(File({Object("T", {Vertices(SquareVertices()), tex})})).find("texture"),
              std::string::npos);
}

TEST(Read3DS, InconsistentMeshesAreRefusedNamingTheObject) {
    const std::string beyond =
        ReadError(File({Object("Beyond", {Vertices(SquareVertices()), Faces({{0, 1, 4}})})}));
    EXPECT_NE(beyond.find("\"Beyond\""), std::string::npos) << beyond;
    EXPECT_NE(beyond.find("vertex 4"), std::string::npos) << beyond;
    EXPECT_NE(ReadError(File({Object("G", {Vertices(SquareVertices()),
                                           Faces({{0, 1, 2}}).Add(MaterialGroup("M", {3}))})}))
                  .find("face 3"),
              std::string::npos);
    for (float bad : {NAN, INFINITY, -INFINITY})
        EXPECT_NE(ReadError(File({Object("N", {Vertices({{0, 0, 0}, {1, bad, 0}, {1, 1, 0}}),
                                               Faces({{0, 1, 2}})})}))
                      .find("not a finite number"),
                  std::string::npos);
    // Faces without vertices build nothing and are not an error.
    EXPECT_EQ(ReadError(File({Object("Empty", {Faces({{0, 1, 2}})})})), "");
}

TEST(Read3DS, DeepNestingAndLongSiblingRunsAreReadWithoutRecursion) {
    // 100000 nested main chunks around the editor chunk, headers written directly.
    Chunk editor0(0x3D3D);
    editor0.Add(Object("Deep", {Vertices(SquareVertices()), Faces({{0, 1, 2}})}));
    const std::string inner = editor0.Bytes();
    const std::uint32_t depth = 100000;
    std::string deep;
    for (std::uint32_t k = depth; k > 0; --k) {
        const std::uint32_t length = std::uint32_t(inner.size()) + 6 * k;
        deep += "\x4d\x4d";
        for (int i = 0; i < 4; ++i)
            deep += char(length >> (8 * i) & 0xFF);
    }
    deep += inner;
    EXPECT_EQ(Load(deep).size(), 1u);

    Chunk main(0x4D4D);
    Chunk editor(0x3D3D);
    for (int i = 0; i < 50000; ++i)
        editor.Add(Chunk(0x0100).F32(1));
    editor.Add(Object("Last", {Vertices(SquareVertices()), Faces({{0, 1, 2}})}));
    EXPECT_EQ(Load(main.Add(editor).Bytes()).size(), 1u);
}

} // namespace
} // namespace hk
