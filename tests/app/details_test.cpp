// Pick details and item summaries: the labels, separators and number formats of the lines.
#include "app/details.h"

#include "app/sjis.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

std::string S(std::string_view utf8) {
    return Utf8ToSjis(utf8);
}

int AddShownGroup(TDocument& doc, int kind, bool shown = true) {
    GroupEntry g;
    g.kind = static_cast<std::int16_t>(kind);
    g.onoff = shown ? 1 : 0;
    return doc.GroupTable.Append(g);
}

PointItem Point(std::string_view name, double x, double y, double z, int group, int lineNo) {
    PointItem p;
    p.name = S(name);
    p.rptname = "R";
    p.ddd = 13.0f;
    p.x = x;
    p.y = y;
    p.z = z;
    p.group = group;
    p.code = 2;
    p.lineNo = lineNo;
    return p;
}

PolyVertex Vertex(int seq, std::string_view label, double x, int group, int lineNo) {
    PolyVertex v;
    v.kind = ikPolyline;
    v.name = "PL";
    v.seq = seq;
    v.label = label;
    v.x = x;
    v.group = group;
    v.lineNo = lineNo;
    return v;
}

TEST(FormatDetailNumber, DropsBlanksTrailingZerosAndPoint) {
    EXPECT_EQ(FormatDetailNumber(12.5), "12.5");
    EXPECT_EQ(FormatDetailNumber(100), "100");
    EXPECT_EQ(FormatDetailNumber(0), "0");
    EXPECT_EQ(FormatDetailNumber(-3.25), "-3.25");
    EXPECT_EQ(FormatDetailNumber(150.25), "150.25");
    EXPECT_EQ(FormatDetailNumber(13.0f), "13");
    // Six decimals at most: the seventh is rounded away.
    EXPECT_EQ(FormatDetailNumber(1.23456789), "1.234568");
    // A value wider than the field is not cut.
    EXPECT_EQ(FormatDetailNumber(12345678901.5), "12345678901.5");
    EXPECT_EQ(FormatDetailNumber(1e300).size(), 301u);
}

TEST(ShowPickDetails, PointLineHasEveryLabelAndNumberFormat) {
    TDocument doc;
    const int g = AddShownGroup(doc, ikPoint);
    doc.PointTable.Append(Point("P1", 150.25, -2, 0, g, 7));
    TMemoryLog log;
    EXPECT_EQ(ShowPickDetails(doc, 7, log), 1);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0],
              S("名称１：P1　名称２：R　サイズ：13　Ｘ：150.25　Ｙ：-2　Ｚ：0　衝突：2　行：7"));
}

TEST(ShowPickDetails, SeveralRecordsOfOneLinePrintInTableOrder) {
    TDocument doc;
    const int gp = AddShownGroup(doc, ikPoint);
    const int gv = AddShownGroup(doc, ikPolyline);
    const int gm = AddShownGroup(doc, ikModel);
    ModelItem m;
    m.name = "M";
    m.group = gm;
    m.lineNo = 5;
    doc.ModelTable.Append(m);
    doc.PolyTable.Append(Vertex(1, "a", 1, gv, 5));
    doc.PolyTable.Append(Vertex(2, "b", 2, gv, 6));
    doc.PolyTable.Append(Vertex(3, "c", 3, gv, 5));
    doc.PointTable.Append(Point("Q", 0, 0, 0, gp, 5));
    TMemoryLog log;
    EXPECT_EQ(ShowPickDetails(doc, 5, log), 4);
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind(S("名称１：Q"), 0), 0u);
    EXPECT_EQ(lines[1].rfind(S("種別：6　名称１：PL"), 0), 0u);
    EXPECT_NE(lines[1].find(S("点名称：a")), std::string::npos);
    EXPECT_NE(lines[2].find(S("点名称：c")), std::string::npos);
    EXPECT_EQ(lines[3], S("名称１：M　名称２：　Ｘ：0　Ｙ：0　Ｚ：0　スケールＸ：0　スケールＹ：0"
                          "　スケールＺ：0　ピッチ：0　ターン：0　衝突：0　行：5"));
}

TEST(ShowPickDetails, HiddenGroupsAndUnknownLinesPrintNothing) {
    TDocument doc;
    const int hidden = AddShownGroup(doc, ikPoint, false);
    doc.PointTable.Append(Point("P", 0, 0, 0, hidden, 3));
    // An item whose group index lies outside the group table is treated as hidden.
    doc.PointTable.Append(Point("P", 0, 0, 0, 99, 3));
    TMemoryLog log;
    log.Add("kept");
    EXPECT_EQ(ShowPickDetails(doc, 3, log), 0);
    EXPECT_EQ(ShowPickDetails(doc, 4, log), 0);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"kept"});
}

TEST(ShowPickDetails, DimensionArcAndPipeLabels) {
    TDocument doc;
    const int g = AddShownGroup(doc, 12);
    DimensionItem d;
    d.kind = 12;
    d.name = S("寸法テキスト");
    d.rptname = "r";
    d.dimText1 = "o";
    d.dimText2 = "t";
    for (int i = 1; i <= 12; ++i)
        d.d[i] = i * 0.5;
    d.group = g;
    d.code = 1;
    d.lineNo = 9;
    doc.DimensionTable.Append(d);
    ArcItem a;
    a.kind = ikCircle;
    a.name = "C";
    for (int i = 1; i <= 13; ++i)
        a.p[i] = i;
    a.group = g;
    a.lineNo = 9;
    doc.ArcTable.Append(a);
    PipeItem p;
    p.name = "N";
    p.ddd = 50;
    p.ddd2 = 40.5f;
    p.startLabel = "s";
    p.endLabel = "e";
    p.x2 = 1000;
    p.group = g;
    p.lineNo = 9;
    doc.PipeTable.Append(p);
    TMemoryLog log;
    ASSERT_EQ(ShowPickDetails(doc, 9, log), 3);
    const auto lines = log.Lines();
    EXPECT_EQ(lines[0], S("種別：4　名称１：C　名称２：　直径名称：　直径：0　中心Ｘ：1　Ｙ：2"
                          "　Ｚ：3　半径：4　Ｘ１：5　Ｙ１：6　Ｚ１：7　Ｘ２：8　Ｙ２：9　Ｚ２：10"
                          "　Ｘ３：11　Ｙ３：12　Ｚ３：13　衝突：0　行：9"));
    EXPECT_EQ(lines[1], S("種別：12　名称１：寸法テキスト　名称２：r　フラグ：　オプション：o"
                          "　テキスト：t　Ｘ１：0.5　Ｙ１：1　Ｚ１：1.5　Ｘ２：2　Ｙ２：2.5"
                          "　Ｚ２：3　Ｘ３：3.5　Ｙ３：4　Ｚ３：4.5　Ｘ４：5　Ｙ４：5.5　Ｚ４：6"
                          "　衝突：1　行：9"));
    EXPECT_EQ(lines[2], S("名称１：N　名称２：　直径名称：　直径外側：50　直径内側：40.5"
                          "　点名：s　Ｘ：0　Ｙ：0　Ｚ：0　点名：e　Ｘ：1000　Ｙ：0　Ｚ：0"
                          "　衝突：0　行：9"));
}

TEST(ShowPickDetails, LineVertexRangeAndTorusLabels) {
    TDocument doc;
    const int g = AddShownGroup(doc, ikLine);
    LineItem l;
    l.name = "L";
    l.rptname = "r";
    l.dddname = "25A";
    l.ddd = 17.25f;
    l.startLabel = "s";
    l.x1 = 1;
    l.endLabel = "e";
    l.z2 = -2.5;
    l.group = g;
    l.code = 3;
    l.lineNo = 4;
    doc.LineTable.Append(l);
    PolyVertex v = Vertex(1, "a", 7, g, 4);
    v.kind = ikFace;
    v.dddname = "d";
    v.faceA = 2;
    v.faceB = 5;
    doc.PolyTable.Append(v);
    RangeItem r;
    r.name = "SE3D";
    r.rptname = "q";
    for (int i = 1; i <= 12; ++i)
        r.r[i] = i;
    r.group = g;
    r.lineNo = 4;
    doc.RangeTable.Append(r);
    TorusItem t;
    t.name = "T";
    t.dddname = "50A";
    t.ddd = 30;
    t.major = 150;
    t.x = 1;
    t.y = 2;
    t.z = 3;
    t.pitch = 90;
    t.turn = -45;
    t.group = g;
    t.lineNo = 4;
    doc.TorusTable.Append(t);
    TMemoryLog log;
    ASSERT_EQ(ShowPickDetails(doc, 4, log), 4);
    const auto lines = log.Lines();
    EXPECT_EQ(lines[0], S("名称１：L　名称２：r　直径名称：25A　直径：17.25　点名称：s　Ｘ：1　Ｙ：0"
                          "　Ｚ：0　点名称：e　Ｘ：0　Ｙ：0　Ｚ：-2.5　衝突：3　行：4"));
    EXPECT_EQ(lines[1], S("種別：7　名称１：PL　名称２：　直径名称：d　直径：0　点名称：a　Ｘ：7"
                          "　Ｙ：0　Ｚ：0　立体番号：2　面番号：5　衝突：0　行：4"));
    EXPECT_EQ(lines[2], S("名称１：SE3D　名称２：q　ＳＸ１：1　ＳＹ１：2　ＳＺ１：3　ＳＸ２：4"
                          "　ＳＹ２：5　ＳＺ２：6　ＨＸ１：7　ＨＹ１：8　ＨＺ１：9　ＨＸ２：10"
                          "　ＨＹ２：11　ＨＺ２：12　衝突：0　行：4"));
    EXPECT_EQ(lines[3], S("名称１：T　名称２：　直径名称：50A　直径：30　中心Ｘ：1　Ｙ：2　Ｚ：3"
                          "　半径：150　ピッチ：90　ターン：-45　衝突：0　行：4"));
}

TEST(ShowItemSummary, PointRoundsIntoNineCharacterFields) {
    TDocument doc;
    doc.PointTable.Append(Point("P1", 120.4, -350.6, 0, 1, 1));
    TMemoryLog log;
    ASSERT_TRUE(ShowItemSummary(doc, ikPoint, 1, log));
    EXPECT_EQ(log.Lines()[0], "P1      120     -351        0");
}

TEST(ShowItemSummary, FirstVertexPrintsTheWholeFigureOnly) {
    TDocument doc;
    doc.PolyTable.Append(Vertex(1, "a", 1, 1, 1));
    doc.PolyTable.Append(Vertex(2, "b", 2, 1, 2));
    doc.PolyTable.Append(Vertex(3, "c", 3, 1, 3));
    doc.PolyTable.Append(Vertex(1, "next", 4, 1, 4));
    TMemoryLog log;
    ASSERT_TRUE(ShowItemSummary(doc, ikPolyline, 1, log));
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"a        1        0        0",
                                                     "b        2        0        0",
                                                     "c        3        0        0"}));
    // The last figure runs to the end of the table.
    TMemoryLog last;
    ASSERT_TRUE(ShowItemSummary(doc, ikFace, 4, last));
    EXPECT_EQ(last.Lines().size(), 1u);
}

TEST(ShowItemSummary, JoinsNamesAtTheirStoredLength) {
    TDocument doc;
    PipeItem p;
    p.name = "NAME";
    p.rptname = "RPT";
    p.ddd = 50;
    p.ddd2 = 40;
    p.startLabel = "S";
    p.endLabel = "E";
    p.x2 = 2.5; // halves round to even
    doc.PipeTable.Append(p);
    TorusItem t;
    t.name = "T";
    t.major = 300;
    t.pitch = 90;
    doc.TorusTable.Append(t);
    DimensionItem d;
    d.name = "D";
    d.dimText1 = "o";
    d.dimText2 = "t";
    doc.DimensionTable.Append(d);
    ArcItem a;
    a.name = "A";
    a.rptname = "B";
    a.p[4] = 25;
    doc.ArcTable.Append(a);
    RangeItem r;
    r.name = "SE3D";
    r.rptname = "x";
    r.r[12] = 7;
    doc.RangeTable.Append(r);
    TMemoryLog log;
    ASSERT_TRUE(ShowItemSummary(doc, ikPipe, 1, log));
    ASSERT_TRUE(ShowItemSummary(doc, ikTorus, 1, log));
    ASSERT_TRUE(ShowItemSummary(doc, 14, 1, log));
    ASSERT_TRUE(ShowItemSummary(doc, ikArc, 1, log));
    ASSERT_TRUE(ShowItemSummary(doc, ikRange, 1, log));
    const std::string zeros = "        0        0        0";
    const auto lines = log.Lines();
    EXPECT_EQ(lines[0], "NAME:RPT     50     40 S " + zeros + " E         2        0        0");
    EXPECT_EQ(lines[1], "T:   300" + zeros + "    90     0");
    EXPECT_EQ(lines[2], "D:o" + zeros + zeros + zeros + zeros + " t");
    EXPECT_EQ(lines[3], "AB" + S("中心") + zeros + S("半径") + "       25" + zeros + zeros + zeros);
    EXPECT_EQ(lines[4], "SE3D:x" + zeros + zeros + zeros + "        0        0        7");
}

TEST(ShowItemSummary, BadKindOrIndexPrintsNothing) {
    TDocument doc;
    doc.PointTable.Append(Point("P", 0, 0, 0, 1, 1));
    TMemoryLog log;
    EXPECT_FALSE(ShowItemSummary(doc, ikPoint, 0, log));
    EXPECT_FALSE(ShowItemSummary(doc, ikPoint, 2, log));
    EXPECT_FALSE(ShowItemSummary(doc, ikLine, 1, log));
    EXPECT_FALSE(ShowItemSummary(doc, ikText, 1, log));
    EXPECT_FALSE(ShowItemSummary(doc, 99, 1, log));
    EXPECT_FALSE(ShowItemSummary(doc, ikPolyline, -5, log));
    EXPECT_TRUE(log.Lines().empty());
}

} // namespace
} // namespace hk
