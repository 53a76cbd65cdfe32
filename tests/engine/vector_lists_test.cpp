#include "engine/sorting.h"
#include "engine/vector_geometry.h"
#include "engine/vector_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hk {
namespace {

TEST(Lists, GrowByDeltaAndZeroFill) {
    TIntegerList l;
    EXPECT_EQ(l.Capacity(), 0);
    for (int i = 0; i < 17; ++i) {
        l.Add(i + 1);
    }
    EXPECT_EQ(l.Count(), 17);
    EXPECT_EQ(l.Capacity(), 32);
    l.Flush();
    l.SetCount(20);
    for (int v : l) {
        EXPECT_EQ(v, 0);
    }
    TAffineVectorList a;
    a.Add(1, 2, 3);
    int first = a.AddNulls(3);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(a.Count(), 4);
    EXPECT_TRUE(VectorEquals(a[3], NullVector));
}

TEST(Lists, TwoAndThreeIntegerAppends) {
    TIntegerList l;
    for (int i = 0; i < 5; ++i) {
        l.Add(3 * i, 3 * i + 1, 3 * i + 2);
    }
    l.Add(15, 16);
    ASSERT_EQ(l.Count(), 17);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(l[i], i);
    }
    EXPECT_EQ(l.Capacity(), 32);
    EXPECT_EQ(l.IndexOf(16), 16);
    EXPECT_EQ(l.IndexOf(99), -1);
}

TEST(Lists, ExchangeInsertDeleteAssign) {
    TSingleList l;
    for (float f : {1.f, 2.f, 3.f}) {
        l.Add(f);
    }
    l.Exchange(0, 2);
    EXPECT_EQ(l[0], 3);
    EXPECT_EQ(l[2], 1);
    l.Insert(1, 9);
    l.Delete(0);
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], 9);
    TSingleList copy;
    copy.Add(42);
    copy.Assign(l);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy[2], 1);
    l[0] = -1;
    EXPECT_EQ(copy[0], 9); // a deep copy
}

TEST(Lists, AffineTransformOfPoints) {
    TAffineVectorList l;
    l.Add(1, 0, 0);
    l.Add(0, 1, 0);
    TMatrix m = RotationMatrix(ZVector, float(-cPI / 2));
    m[3] = {10, 20, 30, 1};
    l.TransformAsPoints(m);
    EXPECT_NEAR(l[0].x, 10, 1e-5);
    EXPECT_NEAR(l[0].y, 21, 1e-5);
    EXPECT_NEAR(l[1].x, 9, 1e-5);
    EXPECT_NEAR(l[1].z, 30, 1e-5);
}

TEST(ListStreaming, RoundTripsTheLayout) {
    TAffineVectorList l;
    l.Add(1, 2, 3);
    l.Add(4, 5, 6);
    TBinaryWriter w;
    l.WriteToStream(w);
    // version 0, count 2, element size 12, then 24 raw bytes.
    ASSERT_EQ(w.Bytes().size(), 12u + 24u);
    EXPECT_EQ(w.Bytes()[4], 2);
    EXPECT_EQ(w.Bytes()[8], 12);
    TAffineVectorList back;
    TBinaryReader r(w.Bytes());
    back.ReadFromStream(r);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_TRUE(VectorEquals(back[1], TAffineVector{4, 5, 6}));
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ListStreaming, RejectsLyingOrForeignDataAndKeepsContents) {
    TIntegerList keep;
    keep.Add(7);
    auto expectRejected = [&](const std::string& bytes) {
        TBinaryReader r(bytes, "mesh.bin");
        try {
            keep.ReadFromStream(r);
            ADD_FAILURE() << "accepted malformed data";
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find("mesh.bin"), std::string::npos);
        }
        ASSERT_EQ(keep.Count(), 1);
        EXPECT_EQ(keep[0], 7);
    };
    TBinaryWriter lying;
    lying.WriteInt32(0);
    lying.WriteInt32(1000000); // far more items than bytes follow
    lying.WriteInt32(4);
    lying.WriteInt32(1);
    expectRejected(lying.Bytes());
    TBinaryWriter negative;
    negative.WriteInt32(0);
    negative.WriteInt32(-5);
    negative.WriteInt32(4);
    expectRejected(negative.Bytes());
    TBinaryWriter foreign;
    foreign.WriteInt32(0);
    foreign.WriteInt32(1);
    foreign.WriteInt32(12);
    foreign.WriteBytes("123456789012", 12);
    expectRejected(foreign.Bytes());
    TBinaryWriter version;
    version.WriteInt32(3);
    expectRejected(version.Bytes());
    expectRejected(std::string("\0\0", 2)); // truncated header
}

TEST(QuickSortLists, SortsKeysAndCarriesObjects) {
    TSingleList keys;
    std::vector<std::string> objects;
    const float values[] = {5, -1, 3, 3, 10, 0, 7, 2, 2, 8};
    for (float v : values) {
        keys.Add(v);
        objects.push_back("o" + std::to_string(int(v)));
    }
    QuickSortLists(0, keys.Count() - 1, keys, objects);
    for (int i = 0; i < keys.Count(); ++i) {
        if (i > 0) {
            EXPECT_LE(keys[i - 1], keys[i]);
        }
        EXPECT_EQ(objects[i], "o" + std::to_string(int(keys[i])));
    }
    TSingleList one;
    one.Add(1);
    std::vector<int> obj{1};
    QuickSortLists(0, 0, one, obj);
    EXPECT_EQ(obj[0], 1);
}

} // namespace
} // namespace hk
