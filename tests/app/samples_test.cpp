// The bundled sample: the drawing loads completely with its colour rules, uses every record
// kind, keeps its deliberate clashes, and its pump model is a well-formed 3DS chunk tree.
#include "app/colour_rules.h"
#include "app/data_file.h"
#include "app/sjis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace hk {
namespace {

const std::string cSamples = HK_TEST_DATA_DIR;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SampleDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        LoadColourRules(doc, cSamples + "/hkviewer.csv");
        ASSERT_TRUE(LoadDataFile(doc, cSamples + "/box.csv", "500", true, log));
    }
    int GroupNamed(std::string_view utf8Name, std::string_view rptname = {}) const {
        for (int i = 1; i <= doc.GroupTable.Count(); ++i) {
            const GroupEntry& g = doc.GroupTable[i];
            if (SjisToUtf8(g.name.str()) == utf8Name &&
                (rptname.empty() || SjisToUtf8(g.rptname.str()) == rptname))
                return i;
        }
        return 0;
    }

    TDocument doc;
    TMemoryLog log;
};

TEST_F(SampleDrawing, UsesEveryRecordKind) {
    EXPECT_GT(doc.PointTable.Count(), 0);
    EXPECT_GT(doc.LineTable.Count(), 0);
    EXPECT_GT(doc.ArcTable.Count(), 0);
    EXPECT_GT(doc.DimensionTable.Count(), 0);
    EXPECT_GT(doc.RangeTable.Count(), 0);
    EXPECT_GT(doc.TorusTable.Count(), 0);
    EXPECT_GT(doc.PipeTable.Count(), 0);
    ASSERT_EQ(doc.ModelTable.Count(), 1);
    EXPECT_TRUE(std::filesystem::exists(cSamples + "/" + doc.ModelTable[1].modelFile));
    bool polyline = false, face = false, rounded = false;
    for (const PolyVertex& v : doc.PolyTable) {
        polyline = polyline || v.kind == ikPolyline;
        face = face || v.kind == ikFace;
        rounded = rounded || (v.kind == ikPolyline && v.label.str().rfind('R', 0) == 0);
    }
    EXPECT_TRUE(polyline && face && rounded);
    for (int kind : {10, 11, 14}) {
        bool found = false;
        for (const DimensionItem& m : doc.DimensionTable)
            found = found || m.kind == kind;
        EXPECT_TRUE(found) << "dimension kind " << kind;
    }
    // The drawing's extent starts at the origin, so half the extent is its centre.
    EXPECT_EQ(doc.SceneBounds.minX, 0);
    EXPECT_EQ(doc.SceneBounds.maxX, 6000);
    EXPECT_EQ(doc.SceneBounds.maxZ, 3000);
}

TEST_F(SampleDrawing, ColourRulesReachTheGroups) {
    int supply = GroupNamed("冷水送水");
    ASSERT_GT(supply, 0);
    EXPECT_EQ(doc.GroupTable[supply].kind, ikPolyline);
    EXPECT_EQ(doc.GroupTable[supply].colourMode, 1);
    EXPECT_EQ(doc.GroupTable[supply].Blue, 255);
    int drain = GroupNamed("排水");
    ASSERT_GT(drain, 0);
    EXPECT_EQ(doc.GroupTable[drain].colourMode, 2);
    EXPECT_EQ(doc.GroupTable[drain].materialName, "MatInner");
    int vertical = GroupNamed("基礎筋", "縦筋");
    ASSERT_GT(vertical, 0);
    EXPECT_EQ(doc.GroupTable[vertical].Red, 200) << "the specific rule wins";
}

// The clashes the sample is meant to show: the hot water line crosses the chilled water supply
// at the same level, and the drain pipe runs through bars of the rebar cage.
TEST_F(SampleDrawing, KeepsItsDeliberateClashes) {
    int hot = GroupNamed("温水送水");
    ASSERT_GT(hot, 0);
    const LineItem* hotLine = nullptr;
    for (const LineItem& l : doc.LineTable)
        if (l.group == hot)
            hotLine = &l;
    ASSERT_NE(hotLine, nullptr);
    EXPECT_NE(hotLine->code, 0);
    // Supply vertices at the hot line's level on both sides of it, within its length.
    bool north = false, south = false;
    for (const PolyVertex& v : doc.PolyTable) {
        if (v.group != GroupNamed("冷水送水") || v.code == 0 || v.z != hotLine->z1 ||
            v.x <= hotLine->x1 || v.x >= hotLine->x2)
            continue;
        north = north || v.y > hotLine->y1;
        south = south || v.y < hotLine->y1;
    }
    EXPECT_TRUE(north && south);

    ASSERT_GT(doc.PipeTable.Count(), 0);
    const PipeItem& drain = doc.PipeTable[1];
    EXPECT_NE(drain.code, 0);
    int cut = 0;
    for (const LineItem& l : doc.LineTable) {
        bool alongX = l.y1 == drain.y1 && l.x1 < drain.x1 && l.x2 > drain.x1;
        bool alongY = l.x1 == drain.x1 && l.y1 < drain.y1 && l.y2 > drain.y1;
        bool zInside = l.z1 > drain.z2 && l.z1 < drain.z1;
        if (l.code != 0 && (alongX || alongY) && zInside)
            ++cut;
    }
    EXPECT_EQ(cut, 4) << "bars cut by the drain";
}

TEST_F(SampleDrawing, FilesAreShiftJisWithCrLf) {
    for (const char* name : {"box.csv", "hkviewer.csv", "script1.txt"}) {
        std::string bytes = ReadBytes(cSamples + "/" + name);
        ASSERT_FALSE(bytes.empty()) << name;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at byte " << i;
            }
        }
        EXPECT_EQ(Utf8ToSjis(SjisToUtf8(bytes)), bytes) << name << " is not clean Shift-JIS";
    }
}

// Walks a 3DS chunk tree: every chunk must end inside its parent.
struct ChunkWalk {
    const std::string& bytes;
    int objects = 0, vertices = 0, faces = 0;

    std::uint16_t U16(std::size_t at) const {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                          static_cast<unsigned char>(bytes[at + 1]) << 8);
    }
    std::uint32_t U32(std::size_t at) const {
        return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
    }
    // Own-field size of the chunks the sample uses (containers have none).
    std::size_t OwnFields(std::uint16_t id, std::size_t start, std::size_t end) const {
        switch (id) {
        case 0x4D4D:
        case 0x3D3D:
        case 0x4100:
            return 0;
        case 0x4000:
            return bytes.find('\0', start) - start + 1;
        case 0x4120:
            return 2 + 8 * std::size_t(U16(start));
        default:
            return end - start;
        }
    }
    bool Walk(std::size_t at, std::size_t end) {
        while (at < end) {
            if (at + 6 > end)
                return false;
            std::uint16_t id = U16(at);
            std::size_t length = U32(at + 2);
            if (length < 6 || at + length > end)
                return false;
            std::size_t data = at + 6, stop = at + length;
            objects += id == 0x4000;
            if (id == 0x4110)
                vertices += U16(data);
            if (id == 0x4120)
                faces += U16(data);
            if (!Walk(data + OwnFields(id, data, stop), stop))
                return false;
            at = stop;
        }
        return at == end;
    }
};

TEST(SampleModel, PumpIsAWellFormedChunkTree) {
    std::string bytes = ReadBytes(cSamples + "/pump.3ds");
    ASSERT_GE(bytes.size(), 6u);
    ChunkWalk walk{bytes};
    EXPECT_EQ(walk.U16(0), 0x4D4D);
    EXPECT_EQ(walk.U32(2), bytes.size());
    ASSERT_TRUE(walk.Walk(0, bytes.size()));
    EXPECT_EQ(walk.objects, 3);
    EXPECT_EQ(walk.vertices, 24);
    EXPECT_EQ(walk.faces, 36);
}

} // namespace
} // namespace hk
