// The clash model seen through the batch mode: statuses across an edit of the drawing, checked
// on the sample and against sets of clashing rows worked out by the test.
#include "app/batch.h"
#include "app/clash_judge.h"
#include "app/clash_model.h"
#include "app/collision_report.h"
#include "app/data_file.h"
#include "app/item_grid_model.h"
#include "app/object_box.h"
#include "app/scene_builder.h"
#include "app/sjis.h"
#include "app/viewer_scene.h"
#include "collision/collision_behaviour.h"
#include "collision/collision_manager.h"
#include "engine/scene_object.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace hk {
namespace {

using test::TempFolder;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size())
        parts.push_back(text.substr(start));
    return parts;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

class ClashModelTest : public ::testing::Test {
protected:
    // The clash lines of a batch run, each split at its tabs.
    // The sample's model and colour rules are found in the folder given as the program's.
    std::vector<std::vector<std::string>> Clashes(std::vector<std::string> args,
                                                  const std::string& programDir = {}) {
        std::ostringstream out, err;
        args.insert(args.end(), {"--clashes", "--show-all"});
        EXPECT_EQ(RunBatch(args,
                           programDir.empty() ? program.Path() : std::filesystem::path(programDir),
                           out, err),
                  0)
            << err.str();
        std::vector<std::vector<std::string>> rows;
        for (const std::string& line : Split(out.str(), "\n"))
            rows.push_back(Split(line, "\t"));
        return rows;
    }

    TempFolder program;
    TempFolder work;
};

TEST_F(ClashModelTest, RaisingTheHotWaterLineResolvesItsCrossingOnly) {
    std::ifstream in(std::string(HK_TEST_DATA_DIR) + "/box.csv", std::ios::binary);
    const std::string sample((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> lines = Split(sample, "\r\n");
    const std::string before = work.WriteRaw("before.csv", sample);

    const auto initial = Clashes({"--batch", before}, HK_TEST_DATA_DIR);
    ASSERT_EQ(initial.size(), 6u);
    for (const auto& c : initial) {
        ASSERT_EQ(c.size(), 16u);
        EXPECT_EQ(c[0], "new");
    }

    // The hot-water line (lines 37 and 38), which crosses the chilled-water supply, rises
    // 300 mm, a new pipe crosses the water supply, and a text record at the top shifts every
    // line by one.
    const auto edit = [&](int line, const std::string& from, const std::string& to) {
        std::string& text = lines[std::size_t(line - 1)];
        ASSERT_NE(text.find(from), std::string::npos) << line;
        text.replace(text.find(from), from.size(), to);
    };
    edit(37, ",2000,2500", ",2000,2800");
    edit(38, ",2000,2500", ",2000,2800");
    lines.push_back("20,,NEW,CW,65A,38,33,N1,2500,2500,2000,N2,3500,2500,2000,4");
    lines.insert(lines.begin(), "5,1,0");
    const std::string after = work.WriteRaw("after.csv", Join(lines));

    const auto edited = Clashes({"--batch", after, "--baseline", before}, HK_TEST_DATA_DIR);
    std::map<std::string, int> statuses;
    for (const auto& c : edited)
        ++statuses[c[0]];
    EXPECT_EQ(statuses, (std::map<std::string, int>{{"active", 5}, {"new", 1}, {"resolved", 1}}));
    for (const auto& c : edited) {
        std::set<std::string> names{c[3], c[8]};
        if (c[0] == "resolved") {
            EXPECT_EQ(names, (std::set<std::string>{"冷水送水", "温水送水"}));
            EXPECT_TRUE(c[1] == "38" || c[6] == "38") << "baseline line numbers";
        } else if (c[0] == "new") {
            EXPECT_TRUE(names.contains("NEW"));
        } else {
            EXPECT_FALSE(names.contains("温水送水"));
        }
    }
}

// Random drawings of pipes: the edited drawing shuffles the rows, inserts text records and
// moves one pipe away. Statuses must follow the sets of clashing row pairs of the two
// drawings run on their own, whatever the line numbers.
TEST_F(ClashModelTest, StatusesFollowTheClashingRowsWhateverTheirOrder) {
    std::mt19937 random(16);
    std::size_t clashesSeen = 0;
    for (int round = 0; round < 25; ++round) {
        const auto row = [](int i, const int* p, const int* q, int dz) {
            std::ostringstream text;
            text << "20,,P" << i << ",R,80A,60,50,S," << p[0] << "," << p[1] << "," << p[2] + dz
                 << ",E," << q[0] << "," << q[1] << "," << q[2] + dz << ",4";
            return text.str();
        };
        std::vector<std::string> rows, edited;
        std::uniform_int_distribution<int> cell(0, 4), axis(0, 2), length(2, 5);
        for (int i = 0; i < 12; ++i) {
            int p[3] = {cell(random) * 100, cell(random) * 100, cell(random) * 100};
            int q[3] = {p[0], p[1], p[2]};
            q[axis(random)] += length(random) * 100;
            rows.push_back(row(i, p, q, 0));
            edited.push_back(row(i, p, q, i == round % 12 ? 5000 : 0));
        }
        std::shuffle(edited.begin(), edited.end(), random);
        for (int k = 0; k < 3; ++k)
            edited.insert(edited.begin() + long(random() % (edited.size() + 1)), "5,1,0");
        const std::string before = work.WriteRaw("before.csv", Join(rows));
        const std::string after = work.WriteRaw("after.csv", Join(edited));

        // A clash as the set of its two rows' texts.
        const auto rowPairs = [](const std::vector<std::vector<std::string>>& clashes,
                                 const std::vector<std::string>& file) {
            std::vector<std::set<std::string>> pairs;
            for (const auto& c : clashes)
                pairs.push_back({file[std::size_t(std::stoi(c[1]) - 1)],
                                 file[std::size_t(std::stoi(c[6]) - 1)]});
            return pairs;
        };
        const auto baseline = rowPairs(Clashes({"--batch", before}), rows);
        const auto alone = rowPairs(Clashes({"--batch", after}), edited);
        const auto both = Clashes({"--batch", after, "--baseline", before});
        clashesSeen += both.size();
        ASSERT_EQ(both.size(),
                  alone.size() + std::size_t(std::count_if(baseline.begin(), baseline.end(),
                                                           [&](auto& b) {
                                                               return std::find(alone.begin(),
                                                                                alone.end(),
                                                                                b) == alone.end();
                                                           })))
            << "round " << round;
        for (std::size_t i = 0; i < both.size(); ++i) {
            const auto& c = both[i];
            if (i < alone.size()) {
                const bool known =
                    std::find(baseline.begin(), baseline.end(), alone[i]) != baseline.end();
                EXPECT_EQ(c[0], known ? "active" : "new") << "round " << round;
                EXPECT_EQ(rowPairs({c}, edited)[0], alone[i]);
            } else {
                EXPECT_EQ(c[0], "resolved");
                EXPECT_EQ(std::find(alone.begin(), alone.end(), rowPairs({c}, rows)[0]),
                          alone.end());
            }
        }
    }
    EXPECT_GT(clashesSeen, 100u) << "the drawings must clash to show anything";
}

TEST_F(ClashModelTest, IdenticalTwinsAreToldApartByTheirOrder) {
    const std::string cross = "20,,X,R,50A,30,26,S,0,0,0,E,0,500,0,4";
    const std::string twin = "20,,T,R,50A,30,26,S,-200,200,0,E,200,200,0,4";
    const std::string before = work.Write("before.csv", {cross, twin, twin});
    const std::string after = work.Write("after.csv", {"5,1,0", twin, cross});
    // Twins clash with each other too: X-T1, X-T2 and T1-T2 before, X-T after.
    const auto rows = Clashes({"--batch", after, "--baseline", before});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "active");
    EXPECT_EQ(rows[1][0], "resolved");
    EXPECT_EQ(rows[2][0], "resolved");
    int secondTwinGone = 0;
    for (const auto& c : rows)
        secondTwinGone += c[0] == "resolved" && c[3] != c[8] && (c[1] == "3" || c[6] == "3");
    EXPECT_EQ(secondTwinGone, 1);
}

TEST_F(ClashModelTest, ALineNamesThePlaceOfTheClashInDataFileUnits) {
    const std::string file =
        work.Write("two.csv", {"20,,A,R,50A,30,26,S,1000,2000,300,E,3000,2000,300,4",
                               "20,,B,R,50A,30,26,S,2000,1000,300,E,2000,4000,300,4"});
    const auto rows = Clashes({"--batch", file, "--scale", "250"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"new", "1", "20", "A", "R", "Cube", "2", "20", "B", "R",
                                        "Cube", "2000.0", "2000.0", "300.0", "hard", "-60.0"}));
}

TEST_F(ClashModelTest, ABaselineThatCannotBeReadIsNamed) {
    const std::string file = work.Write("main.csv", {"1,,P,r,1,0,0,0,0"});
    std::ostringstream out, err;
    EXPECT_EQ(
        RunBatch({"--batch", file, "--baseline", work.File("gone.csv")}, program.Path(), out, err),
        1);
    EXPECT_NE(err.str().find("gone.csv"), std::string::npos);
}

} // namespace
} // namespace hk

namespace hk {
namespace {

// Random drawings of cylinders and tori, edited, reloaded and passed in random order, some
// reloads taking the baseline first: every current row carries what a judge that never saw
// the drawing before gives for its pair, its place from the two drawing boxes, and a status
// that follows the baseline's identities; the resolved rows are the baseline's others.
TEST(ClashModelPasses, RowsMatchAFreshJudgementOverRandomReloads) {
    std::mt19937 random(20);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto item = [&] {
        const int x = uniform(0, 2000), y = uniform(0, 2000), z = uniform(0, 600);
        const std::string n = std::to_string(uniform(0, 5));
        if (uniform(0, 3) == 0)
            return "18,,T" + n + ",R,100A," + std::to_string(uniform(5, 40)) + "," +
                   std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z) + "," +
                   std::to_string(uniform(60, 300)) + ",0," + std::to_string(uniform(0, 90)) +
                   ",2\r\n";
        return "2,,1,P" + n + ",R,S," + std::to_string(uniform(20, 150)) + ",A," +
               std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z) +
               ",4\r\n2,,0,,,,,B," + std::to_string(x + uniform(-900, 900)) + "," +
               std::to_string(y + uniform(-900, 900)) + "," +
               std::to_string(z + uniform(-300, 300)) + "\r\n";
    };
    std::vector<std::string> items(40);
    std::generate(items.begin(), items.end(), item);

    test::TempFolder work;
    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    TClashModel model;
    TCollisionCheck check(scene.CollisionManager1, log, &model);
    std::vector<TClash> baseline;
    int judged = 0, active = 0, resolved = 0;
    for (int step = 0; step < 12; ++step) {
        SCOPED_TRACE(step);
        // Some items move or are replaced, one may go, one may come; the rest stay.
        for (int k = uniform(0, 4); k > 0; --k)
            items[std::size_t(uniform(0, int(items.size()) - 1))] = item();
        if (uniform(0, 2) == 0 && items.size() > 20)
            items.erase(items.begin() + uniform(0, int(items.size()) - 1));
        if (uniform(0, 2) == 0)
            items.push_back(item());
        std::string text;
        for (const std::string& i : items)
            text += i;
        const std::string file = work.WriteRaw("d.csv", text);
        if (step % 3 != 2) {
            model.TakeBaseline();
            baseline.clear();
            for (const TClash& c : model.Rows())
                if (c.status != TClashStatus::csResolved)
                    baseline.push_back(c);
        }
        ASSERT_TRUE(LoadDataFile(doc, file, "1000", false, log));
        SetAllGroupsShown(doc, true);
        BuildScene(doc, scene, log);
        model.IndexItems(doc);
        for (int pass = uniform(1, 2); pass > 0; --pass)
            check.RunCycle();

        std::map<int, TGLBaseSceneObject*> byTag;
        for (int i = 0; i < scene.CollisionManager1.ClientCount(); ++i)
            if (TGLBaseSceneObject* o = scene.CollisionManager1.Client(i)->OwnerBaseSceneObject())
                byTag[o->Tag()] = o;
        TClashJudge fresh;
        fresh.Reset(doc);
        ASSERT_EQ(model.CurrentCount(), int(log.Lines().size()));
        std::set<std::uint64_t> current;
        for (int r = 0; r < model.CurrentCount(); ++r) {
            const TClash& c = model.Rows()[std::size_t(r)];
            TGLBaseSceneObject& a = *byTag.at(c.a.lineNo);
            TGLBaseSceneObject& b = *byTag.at(c.b.lineNo);
            const TClashJudgement j = fresh.Judge(a, b);
            EXPECT_EQ(c.type, j.type) << r;
            EXPECT_EQ(c.distance, j.distance) << r;
            EXPECT_EQ(c.nearA, (std::array<double, 3>{j.onFirst.x, j.onFirst.y, j.onFirst.z}));
            EXPECT_EQ(c.nearB, (std::array<double, 3>{j.onSecond.x, j.onSecond.y, j.onSecond.z}));
            const TAABB boxA = ObjectBox(a), boxB = ObjectBox(b);
            for (int k = 0; k < 3; ++k)
                EXPECT_DOUBLE_EQ(c.point[std::size_t(k)],
                                 (double(std::max(boxA.min[k], boxB.min[k])) +
                                  double(std::min(boxA.max[k], boxB.max[k]))) /
                                         2 * doc.loadScale +
                                     doc.sceneOffset[std::size_t(k)]);
            const bool inBaseline =
                std::any_of(baseline.begin(), baseline.end(),
                            [&](const TClash& o) { return o.identity == c.identity; });
            EXPECT_EQ(c.status, inBaseline ? TClashStatus::csActive : TClashStatus::csNew);
            current.insert(c.identity);
            ++judged;
            active += inBaseline;
        }
        std::vector<std::uint64_t> gone, listed;
        for (const TClash& o : baseline)
            if (!current.contains(o.identity))
                gone.push_back(o.identity);
        for (std::size_t r = std::size_t(model.CurrentCount()); r < model.Rows().size(); ++r) {
            EXPECT_EQ(model.Rows()[r].status, TClashStatus::csResolved);
            listed.push_back(model.Rows()[r].identity);
        }
        EXPECT_EQ(listed, gone);
        resolved += int(gone.size());
    }
    EXPECT_GT(judged, 200);
    EXPECT_GT(active, 100);
    EXPECT_GT(resolved, 5);
}

} // namespace
} // namespace hk
