// The data-file reader: record grammars, grouping, duplicates, the polyline conversion, dropped
// records, colour rules, the summary line and the failure paths.
#include "app/colour_rules.h"
#include "app/data_file.h"
#include "app/sjis.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

using test::TempFolder;

class DataFileTest : public ::testing::Test {
protected:
    // Writes the lines as the data file and loads it into doc.
    bool Load(std::initializer_list<std::string_view> lines, std::string_view scale = "500",
              bool initialise = true) {
        std::string file = folder.Write("data.csv", lines);
        return LoadDataFile(doc, file, scale, initialise, log);
    }
    std::string Summary() const { return SjisToUtf8(log.Lines().at(0)); }

    TempFolder folder;
    TDocument doc;
    TMemoryLog log;
};

// The two physical lines of a two-point line record.
std::string LineFirst(std::string_view name, std::string_view dddname, std::string_view xyz,
                      std::string_view code = "0", std::string_view rpt = "R") {
    return "2,,1," + std::string(name) + "," + std::string(rpt) + "," + std::string(dddname) +
           ",50,S," + std::string(xyz) + "," + std::string(code);
}
std::string LineSecond(std::string_view xyz) {
    return "2,,0,,,,,E," + std::string(xyz);
}

TEST_F(DataFileTest, EveryKindIsFiledWithItsColumns) {
    std::string line1 = LineFirst("PIPE", "100A", "0,0,0", "2");
    std::string line2 = LineSecond("1000,0,0");
    ASSERT_TRUE(Load({
        "1,,P1,rp,13,10,20,30,1",
        line1,
        line2,
        "3,,ARC,ra,dn,5,1,2,3,4,5,6,7,8,9,10,11,12,13,3",
        "7,4,5,1,FACE,rf,L1,0,0,0,0",
        "7,4,5,2,FACE,rf,L2,100,0,0,0",
        "11,,DIMTEXT,rd,opt,text2,1,2,3,4,5,6,7,8,9,10,11,12,0",
        "16,,SE3D,rr,x,,0,0,0,1,2,3,4,5,6,0,0,0,0,0,0,0",
        "18,,TOR,rt,dt,25,1,2,3,300,45,90,4",
        "20,,PIP,rq,dq,60,50,A,0,0,0,B,0,0,900,4",
        "22,,PUMP, rm ,10,20,30,1,2,3, pump.3ds ,5",
    }));

    ASSERT_EQ(doc.PointTable.Count(), 1);
    const PointItem& p = doc.PointTable[1];
    EXPECT_EQ(p.name, "P1");
    EXPECT_EQ(p.rptname, "rp");
    EXPECT_FLOAT_EQ(p.ddd, 13);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.z, 30);
    EXPECT_EQ(p.code, 1);
    EXPECT_EQ(p.lineNo, 1);

    ASSERT_EQ(doc.LineTable.Count(), 1);
    const LineItem& l = doc.LineTable[1];
    EXPECT_EQ(l.dddname, "100A");
    EXPECT_EQ(l.startLabel, "S");
    EXPECT_EQ(l.endLabel, "E");
    EXPECT_EQ(l.x2, 1000);
    EXPECT_EQ(l.code, 2);
    EXPECT_EQ(l.lineNo, 3) << "a two-point line carries its second line's number";

    ASSERT_EQ(doc.ArcTable.Count(), 1);
    const ArcItem& a = doc.ArcTable[1];
    EXPECT_EQ(a.kind, ikArc);
    EXPECT_EQ(a.p[1], 1);
    EXPECT_EQ(a.p[13], 13);
    EXPECT_EQ(a.code, 3);

    ASSERT_EQ(doc.PolyTable.Count(), 2);
    EXPECT_EQ(doc.PolyTable[1].kind, ikFace);
    EXPECT_EQ(doc.PolyTable[1].faceA, 4);
    EXPECT_EQ(doc.PolyTable[1].faceB, 5);
    EXPECT_EQ(doc.PolyTable[2].label, "L2");
    EXPECT_EQ(doc.PolyTable[2].group, doc.PolyTable[1].group);

    ASSERT_EQ(doc.DimensionTable.Count(), 1);
    const DimensionItem& m = doc.DimensionTable[1];
    EXPECT_EQ(m.kind, 11);
    EXPECT_EQ(m.name, "DIMTEXT");
    EXPECT_EQ(m.dimText1, "opt");
    EXPECT_EQ(m.dimText2, "text2");
    EXPECT_EQ(m.d[12], 12);

    ASSERT_EQ(doc.RangeTable.Count(), 1);
    EXPECT_EQ(doc.RangeTable[1].name, "SE3D");
    EXPECT_EQ(doc.RangeTable[1].r[6], 6);

    ASSERT_EQ(doc.TorusTable.Count(), 1);
    const TorusItem& t = doc.TorusTable[1];
    EXPECT_FLOAT_EQ(t.ddd, 25);
    EXPECT_FLOAT_EQ(t.major, 300);
    EXPECT_FLOAT_EQ(t.pitch, 45);
    EXPECT_FLOAT_EQ(t.turn, 90);

    ASSERT_EQ(doc.PipeTable.Count(), 1);
    EXPECT_FLOAT_EQ(doc.PipeTable[1].ddd, 60);
    EXPECT_FLOAT_EQ(doc.PipeTable[1].ddd2, 50);
    EXPECT_EQ(doc.PipeTable[1].z2, 900);

    ASSERT_EQ(doc.ModelTable.Count(), 1);
    const ModelItem& model = doc.ModelTable[1];
    EXPECT_EQ(model.rptname, "rm") << "names are trimmed";
    EXPECT_EQ(model.modelFile, " pump.3ds ") << "the model file name is not trimmed";
    EXPECT_EQ(model.sz, 3);
    EXPECT_EQ(model.code, 5);

    for (const GroupEntry& g : doc.GroupTable) {
        EXPECT_EQ(g.itemCount, 1);
        EXPECT_EQ(g.dupCount, 1);
    }
}

TEST_F(DataFileTest, GroupsRegisterWithTheirDefaults) {
    std::string line1 = LineFirst("PIPE", "100A", "0,0,0");
    std::string line2 = LineSecond("1000,0,0");
    std::string bare1 = LineFirst("BAR", "", "0,0,0");
    std::string bare2 = LineSecond("0,1000,0");
    ASSERT_TRUE(Load({"1,, ,rp,13,10,20,30,1", line1, line2, bare1, bare2}));
    ASSERT_EQ(doc.GroupTable.Count(), 3);

    const GroupEntry& point = doc.GroupTable[1];
    EXPECT_EQ(SjisToUtf8(point.name.str()), "点") << "an empty point name becomes 点";
    EXPECT_EQ(point.rptname, "") << "points group without their report name";
    EXPECT_EQ(point.onoff, 0);
    EXPECT_EQ(point.Red, 204);
    EXPECT_EQ(point.colourMode, 0);

    EXPECT_EQ(doc.GroupTable[2].onoff, 1) << "a line with a diameter name is shown";
    EXPECT_DOUBLE_EQ(doc.GroupTable[2].ddd, 50);
    EXPECT_EQ(doc.GroupTable[3].onoff, 0) << "a line without a diameter name is not";
}

TEST_F(DataFileTest, DuplicateLinesAreFiledOnceButReversedOnesTwice) {
    std::string a = LineFirst("L", "D", "0,0,0"), b = LineSecond("100,0,0");
    std::string near = LineFirst("L", "D", "0.000001,0,0");
    std::string rev1 = LineFirst("L", "D", "100,0,0"), rev2 = LineSecond("0,0,0");
    std::string far2 = LineSecond("100,0,-5000");
    ASSERT_TRUE(Load({a, b, near, b, rev1, rev2, a, far2}));

    EXPECT_EQ(doc.LineTable.Count(), 3) << "the near copy is a duplicate, the reversed one not";
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].itemCount, 3);
    EXPECT_EQ(doc.GroupTable[1].dupCount, 4);
    EXPECT_EQ(doc.SceneBounds.minZ, -5000);
    EXPECT_EQ(doc.SceneBounds.maxX, 100);
}

TEST_F(DataFileTest, TwoIdenticalLinesCountOneItemAndTwoHits) {
    std::string a = LineFirst("L", "D", "0,0,0"), b = LineSecond("100,0,0");
    ASSERT_TRUE(Load({a, b, a, b}));
    EXPECT_EQ(doc.LineTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].dupCount, 2);
    EXPECT_EQ(doc.GroupTable[1].itemCount, 1);
}

TEST_F(DataFileTest, ALineFollowedByVerticesBecomesAPolyline) {
    std::string a = LineFirst("TUBE", "50A", "0,0,0", "2"), b = LineSecond("1000,0,0");
    ASSERT_TRUE(Load({
        a,
        b,
        "2,,3,TUBE,R,50A,50,R,1000,1000,0,2",
        "2,,2,TUBE,R,50A,50,Q,0,1000,-7,2",
    }));
    EXPECT_EQ(doc.LineTable.Count(), 0);
    ASSERT_EQ(doc.PolyTable.Count(), 4);
    const int seqs[] = {1, 2, 3, 2};
    const char* labels[] = {"S", "E", "R", "Q"};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(doc.PolyTable[i].seq, seqs[i - 1]);
        EXPECT_EQ(doc.PolyTable[i].label, labels[i - 1]);
        EXPECT_EQ(doc.PolyTable[i].kind, ikPolyline);
        EXPECT_EQ(doc.PolyTable[i].group, 1);
        EXPECT_EQ(doc.PolyTable[i].dddname, "50A");
    }
    EXPECT_EQ(doc.PolyTable[1].lineNo, 2) << "the converted vertices keep the line's number";
    EXPECT_EQ(doc.PolyTable[4].lineNo, 4);
    EXPECT_EQ(doc.PolyTable[2].x, 1000);
    EXPECT_EQ(doc.GroupTable[1].kind, ikPolyline);
    EXPECT_EQ(doc.GroupTable[1].itemCount, 1);
    EXPECT_EQ(doc.SceneBounds.minZ, -7) << "vertices take part in the bounds";

    // A later line of the same names finds the group that became a polyline group.
    std::string c = LineFirst("TUBE", "50A", "0,0,500"), d = LineSecond("0,0,900");
    ASSERT_TRUE(Load({a, b, "2,,3,TUBE,R,50A,50,R,1000,1000,0,2", c, d}));
    EXPECT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.LineTable[1].group, 1);
}

TEST_F(DataFileTest, VerticesWithoutAFigureAreSkipped) {
    ASSERT_TRUE(Load({
        "2,,4,TUBE,R,50A,50,X,1,2,3,0",
        "7,0,0,2,FACE,rf,L,0,0,0,0",
        "2,,3,TUBE,R,50A,50,X,1,2,3,0",
    }));
    EXPECT_EQ(doc.PolyTable.Count(), 0);
    EXPECT_EQ(doc.GroupTable.Count(), 0);
    EXPECT_EQ(doc.SceneBounds.minX, TSceneBounds::cEmptyMin);
}

TEST_F(DataFileTest, FacesStartFiguresAtSequenceOne) {
    ASSERT_TRUE(Load({
        "7,1,1,1,WALL,a,,0,0,0,0",
        "7,1,1,2,WALL,a,,1,0,0,0",
        "7,1,1,3,WALL,a,,1,1,0,0",
        "7,1,2,1,WALL,a,,0,0,5,0",
        "7,1,2,2,WALL,a,,1,0,5,0",
    }));
    EXPECT_EQ(doc.PolyTable.Count(), 5);
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].itemCount, 2) << "only figure starts count as items";
    EXPECT_EQ(doc.GroupTable[1].dupCount, 2);
    EXPECT_EQ(doc.GroupTable[1].onoff, 0);
    EXPECT_EQ(doc.SceneBounds.maxX, TSceneBounds::cEmptyMax) << "faces do not widen the bounds";
}

TEST_F(DataFileTest, RangesOfOtherTagsOrZeroExtentAreDropped) {
    ASSERT_TRUE(Load({
        "16,,SE3D,a,t,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0",
        "16,,XX3D,b,t,,0,0,0",
        "16,,HK3D,c,t,7.5,0,0,0,0,0,0,10,10,10,0,0,0,0,0,0,0",
    }));
    ASSERT_EQ(doc.RangeTable.Count(), 1);
    EXPECT_EQ(doc.RangeTable[1].name, "HK3D");
    EXPECT_EQ(doc.RangeTable[1].lineNo, 3);
    // The zero range found its group but filed nothing; the other tag registered none.
    ASSERT_EQ(doc.GroupTable.Count(), 2);
    EXPECT_EQ(doc.GroupTable[1].itemCount, 0);
    EXPECT_EQ(doc.GroupTable[2].rptname, "c");
}

TEST_F(DataFileTest, LongNamesAreCutAndRegisterAGroupEach) {
    const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string p = "1,," + longName + ",r,1,0,0,0,0";
    std::string d = "10,," + longName + longName + ",r,t1,t2,0,0,0,0,0,0,0,0,0,0,0,0,0";
    ASSERT_TRUE(Load({p, p, d}));
    EXPECT_EQ(doc.PointTable[1].name.str(), longName.substr(0, 20));
    EXPECT_EQ(doc.DimensionTable[1].name.str(), (longName + longName).substr(0, 40));
    // The full record text never equals the cut group name, so nothing is found again.
    ASSERT_EQ(doc.GroupTable.Count(), 3);
    EXPECT_EQ(doc.GroupTable[1].dupCount, 1);
    EXPECT_EQ(doc.GroupTable[2].dupCount, 1);
    EXPECT_EQ(doc.GroupTable[3].name.str(), longName.substr(0, 20));
}

TEST_F(DataFileTest, RecordsThatStoreNothing) {
    ASSERT_TRUE(Load({"5,3,1", "99,,x,y", "abc,1,2", "0,,P,r,1,0,0,0,0", "-1,,P", "", ",,,"}));
    EXPECT_EQ(doc.GroupTable.Count(), 0);
    EXPECT_EQ(doc.TextTable.Count(), 0);
    EXPECT_EQ(doc.PointTable.Count(), 0);
}

TEST_F(DataFileTest, SummaryLineCountsEveryTable) {
    std::string a = LineFirst("L", "D", "0,0,0"), b = LineSecond("100,0,0");
    ASSERT_TRUE(Load({"1,,P,r,1,0,0,0,0", "1,,P,r,1,5,0,0,0", a, b}));
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(Summary(), "点バッファ数:2　線バッファ数:1　円,円弧バッファ数:0　文字バッファ数:0"
                         "　面,多角線バッファ数:0　寸法バッファ数:0　範囲バッファ数:0　マスタ数:2");
}

TEST_F(DataFileTest, EmptyFileLoadsAndKeepsGroupsAndEmptyBounds) {
    ASSERT_TRUE(Load({"1,,P,r,1,0,0,0,0"}));
    folder.WriteRaw("empty.csv", "");
    ASSERT_TRUE(LoadDataFile(doc, folder.File("empty.csv"), "500", true, log));
    EXPECT_EQ(doc.PointTable.Count(), 0);
    EXPECT_EQ(doc.GroupTable.Count(), 1) << "groups outlive loads";
    EXPECT_EQ(doc.GroupTable[1].itemCount, 0);
    EXPECT_EQ(doc.GroupTable[1].dupCount, 0);
    EXPECT_NE(Summary().find("点バッファ数:0"), std::string::npos);
    EXPECT_NE(Summary().find("マスタ数:1"), std::string::npos);
    EXPECT_EQ(doc.SceneBounds.minX, 1.0e13);
    EXPECT_EQ(doc.SceneBounds.maxZ, -1.0e13);
}

TEST_F(DataFileTest, MissingFileLeavesTheDocumentAndNamesTheFile) {
    ASSERT_TRUE(Load({"1,,P,r,1,0,0,0,0"}, "250"));
    log.Add("kept");
    EXPECT_FALSE(LoadDataFile(doc, folder.File("nope.csv"), "700", true, log));
    EXPECT_FALSE(LoadDataFile(doc, folder.Path().string(), "700", true, log)) << "a folder";
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(doc.loadScale, 250);
    ASSERT_EQ(log.Lines().size(), 2u);
    EXPECT_EQ(log.Lines()[1], "kept");
    ASSERT_EQ(log.Notices().size(), 2u);
    EXPECT_NE(log.Notices()[0].find("nope.csv"), std::string::npos);
}

TEST_F(DataFileTest, ConversionErrorLeavesThePreviousLoadIntact) {
    ASSERT_TRUE(Load({"1,,P,r,1,0,0,0,0", "20,,PIP,rq,dq,60,50,A,0,0,0,B,0,0,900,4"}));
    doc.GroupTable[1].onoff = 1;
    const std::string before = log.Lines().at(0);

    try {
        Load({"1,,Q,r,1,0,0,0,0", "1,,P,r,1,0,0,0,0", "1,,P,r,1,0,abc,0,0"}, "100");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'abc' is not a valid floating point value\n" +
                                             folder.File("data.csv") + ": line 3");
        EXPECT_EQ(e.LineNo(), 3);
    }
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(doc.PipeTable.Count(), 1);
    ASSERT_EQ(doc.GroupTable.Count(), 2) << "no group of the failed load is kept";
    EXPECT_EQ(doc.GroupTable[1].itemCount, 1);
    EXPECT_EQ(doc.GroupTable[1].onoff, 1);
    EXPECT_EQ(doc.loadScale, 500);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], before);
}

TEST_F(DataFileTest, EmptyDecimalAndCutOffLineAreConversionErrors) {
    EXPECT_THROW(Load({"1,,P,r,,0,0,0,0"}), EConvertError) << "an empty decimal column";
    EXPECT_THROW(Load({"1,,P,r,1,0,0"}), EConvertError) << "missing trailing decimals";
    EXPECT_THROW(Load({"1,,P,r,1,0,0,inf,0"}), EConvertError);
    std::string a = LineFirst("L", "D", "0,0,0");
    try {
        Load({a});
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.LineNo(), 2) << "the missing second line is the one reported";
        EXPECT_EQ(std::string(e.what()).rfind("'' is not a valid", 0), 0u);
    }
}

TEST_F(DataFileTest, LoadScaleComesFromTheBoxText) {
    ASSERT_TRUE(Load({}, " 250 "));
    EXPECT_EQ(doc.loadScale, 250);
    ASSERT_TRUE(Load({}, "abc"));
    EXPECT_EQ(doc.loadScale, 500);
    ASSERT_TRUE(Load({}, "0"));
    EXPECT_EQ(doc.loadScale, 500) << "a zero scale would divide by zero";
    ASSERT_TRUE(Load({}, "12.5"));
    EXPECT_EQ(doc.loadScale, 500);
}

TEST_F(DataFileTest, TablesGrowBeyondTheOldCapacities) {
    std::string text;
    for (int i = 0; i < 9000; ++i)
        text += "1,,P,r,1," + std::to_string(i) + ",0,0,0\r\n";
    for (int i = 0; i < 2500; ++i)
        text += "20,,PIPE" + std::to_string(i % 3000) + ",r,d,60,50,A,0,0,0,B,0,0,900,4\r\n";
    std::string file = folder.WriteRaw("big.csv", text);
    ASSERT_TRUE(LoadDataFile(doc, file, "500", true, log));
    EXPECT_EQ(doc.PointTable.Count(), 9000);
    EXPECT_EQ(doc.PipeTable.Count(), 2500);
    EXPECT_EQ(doc.GroupTable.Count(), 2501);
    EXPECT_EQ(doc.PointTable[9000].x, 8999);
}

TEST_F(DataFileTest, LineEndsOfEveryStyleAreAccepted) {
    std::string file = folder.WriteRaw("ends.csv", "1,,A,r,1,0,0,0,0\n1,,B,r,1,0,0,0,0\r"
                                                   "1,,C,r,1,0,0,0,0\r\n1,,D,r,1,0,0,0,0");
    ASSERT_TRUE(LoadDataFile(doc, file, "500", true, log));
    ASSERT_EQ(doc.PointTable.Count(), 4);
    EXPECT_EQ(doc.PointTable[4].name, "D");
    EXPECT_EQ(doc.PointTable[4].lineNo, 4);
}

class ColourRuleTest : public DataFileTest {
protected:
    void Rules(std::initializer_list<std::string_view> lines) {
        LoadColourRules(doc, folder.Write("rules.csv", lines));
    }
};

TEST_F(ColourRuleTest, RulesReadInBothModes) {
    Rules({"PIPE,,10,20,30", "PIPE,in,MatInner", "PIPE, x ,Mat,extra", ",,1,2,3", "BAR,,300,-1,z",
           "ODD,,1,2"});
    ASSERT_EQ(doc.ColourRuleTable.Count(), 5) << "a line without a name is skipped";
    const ColourRule& rgb = doc.ColourRuleTable[1];
    EXPECT_EQ(rgb.colourMode, 1);
    EXPECT_EQ(rgb.Red, 10);
    EXPECT_EQ(rgb.Green, 20);
    EXPECT_EQ(rgb.Blue, 30);
    EXPECT_EQ(doc.ColourRuleTable[2].colourMode, 2);
    EXPECT_EQ(doc.ColourRuleTable[2].materialName, "MatInner");
    EXPECT_EQ(doc.ColourRuleTable[3].rptname, "x");
    EXPECT_EQ(doc.ColourRuleTable[3].materialName, "Mat") << "one field after a material";
    EXPECT_EQ(doc.ColourRuleTable[4].Red, 300);
    EXPECT_EQ(doc.ColourRuleTable[4].Blue, 255) << "a component that is no integer";
    EXPECT_EQ(doc.ColourRuleTable[5].colourMode, 2) << "two numbers make a material rule";
    EXPECT_EQ(doc.ColourRuleTable[5].materialName, "1");
}

TEST_F(ColourRuleTest, MissingRuleFileIsAnErrorNamingIt) {
    Rules({"PIPE,,10,20,30"});
    try {
        LoadColourRules(doc, folder.File("absent.csv"));
        FAIL();
    } catch (const EColourRuleFileError& e) {
        EXPECT_NE(std::string(e.what()).find("absent.csv"), std::string::npos);
    }
    EXPECT_EQ(doc.ColourRuleTable.Count(), 1);
}

TEST_F(ColourRuleTest, InitialiseAppliesGeneralThenSpecificRules) {
    Rules({"PIPE,,10,20,30", "PIPE,in,MatInner", "BAR,,300,1,2"});
    std::string a = LineFirst("PIPE", "D", "0,0,0", "0", "out"), b = LineSecond("1,0,0");
    std::string c = LineFirst("PIPE", "D", "0,0,0", "0", "in"), d = LineSecond("2,0,0");
    std::string e = LineFirst("BAR", "D", "0,0,0"), f = LineSecond("3,0,0");
    ASSERT_TRUE(Load({a, b, c, d, e, f}));
    const GroupEntry& out = doc.GroupTable[1];
    EXPECT_EQ(out.colourMode, 1);
    EXPECT_EQ(out.Red, 10);
    EXPECT_EQ(out.Green, 20);
    EXPECT_EQ(out.Blue, 30);
    const GroupEntry& in = doc.GroupTable[2];
    EXPECT_EQ(in.colourMode, 2);
    EXPECT_EQ(in.materialName, "MatInner");
    EXPECT_EQ(doc.GroupTable[3].Red, 44) << "only the low byte of 300 reaches the group";

    // Without 初期化 a reload keeps what the user chose.
    doc.GroupTable[1].Red = 1;
    doc.GroupTable[1].onoff = 0;
    ASSERT_TRUE(Load({a, b, c, d, e, f}, "500", false));
    EXPECT_EQ(doc.GroupTable[1].Red, 1);
    EXPECT_EQ(doc.GroupTable[1].onoff, 0);
    EXPECT_EQ(doc.GroupTable[1].itemCount, 1);
    ASSERT_TRUE(Load({a, b, c, d, e, f}, "500", true));
    EXPECT_EQ(doc.GroupTable[1].Red, 10);
    EXPECT_EQ(doc.GroupTable[1].onoff, 0) << "the rules do not touch on/off";
}

TEST(FieldHelpers, SplitFieldAndSplitFloat) {
    std::string_view rest = " a ,,b";
    EXPECT_EQ(SplitField(rest), " a ");
    EXPECT_EQ(SplitField(rest), "");
    EXPECT_EQ(SplitField(rest), "b");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(SplitField(rest), "");

    rest = " 1.5e2 ,  ,x";
    EXPECT_EQ(SplitFloat(rest), 150);
    EXPECT_EQ(SplitFloat(rest), 0) << "blank gives 0";
    EXPECT_THROW(SplitFloat(rest), EConvertError);

    int v = 0;
    EXPECT_TRUE(TryParseInt(" -12 ", v));
    EXPECT_EQ(v, -12);
    EXPECT_FALSE(TryParseInt("99999999999", v));
    EXPECT_FALSE(TryParseInt("+-1", v));
    EXPECT_EQ(ParseIntDef("1x", 7), 7);
    EXPECT_EQ(Min3(3, -1, 2), -1);
    EXPECT_EQ(Max3(3, -1, 2), 3);
}

} // namespace
} // namespace hk
