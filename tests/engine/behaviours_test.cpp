#include "engine/behaviours.h"
#include "engine/nodes.h"
#include "engine/scene.h"
#include "tests/engine/scene_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hk {
namespace {

std::vector<std::string>* gProgressLog = nullptr;

class CountingBehaviour : public TGLBaseBehaviour {
public:
    std::string ClassName() const override { return "TestCountingBehaviour"; }
    std::string FriendlyName() const override { return "Counting"; }
    void DoProgress(const TProgressTimes&) override {
        ++ticks;
        if (gProgressLog) {
            gProgressLog->push_back("behaviour");
        }
    }
    void WriteToStream(TBinaryWriter& w) const override {
        TGLBaseBehaviour::WriteToStream(w);
        w.WriteInt32(ticks);
    }
    void ReadFromStream(TBinaryReader& r) override {
        TGLBaseBehaviour::ReadFromStream(r);
        ticks = r.ReadInt32();
    }
    int ticks = 0;
};

class OtherBehaviour : public TGLBaseBehaviour {
public:
    std::string ClassName() const override { return "TestOtherBehaviour"; }
};

class NotABehaviour : public TGLObjectEffect {
public:
    std::string ClassName() const override { return "TestEffect"; }
};

class BehaviourTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterXCollectionItemClass<CountingBehaviour>("TestCountingBehaviour");
        RegisterXCollectionItemClass<OtherBehaviour>("TestOtherBehaviour");
        RegisterXCollectionItemClass<NotABehaviour>("TestEffect");
    }
};

TEST_F(BehaviourTest, ItemsByIndexAndClass) {
    TGLImmaterialSceneObject obj;
    EXPECT_FALSE(obj.HasBehaviours());
    auto* other = obj.Behaviours().Create<OtherBehaviour>();
    auto* counting = obj.Behaviours().Create<CountingBehaviour>();
    EXPECT_EQ(obj.Behaviours().Count(), 2);
    EXPECT_EQ(obj.Behaviours().Items(0), other);
    EXPECT_EQ(obj.Behaviours().Items(2), nullptr);
    EXPECT_EQ(obj.Behaviours().GetByClass<CountingBehaviour>(), counting);
    EXPECT_EQ(counting->OwnerBaseSceneObject(), &obj);
    EXPECT_EQ(counting->Index(), 1);
    // An effect is not a behaviour.
    EXPECT_EQ(obj.Behaviours().Add(std::make_unique<NotABehaviour>()), nullptr);
    EXPECT_EQ(obj.Behaviours().Count(), 2);
    obj.Behaviours().Delete(0);
    EXPECT_EQ(obj.Behaviours().Items(0), counting);
}

TEST_F(BehaviourTest, StreamingRoundTripWritesEachClassNameOnce) {
    TGLImmaterialSceneObject obj;
    for (int i = 0; i < 3; ++i) {
        obj.Behaviours().Create<CountingBehaviour>()->ticks = i + 10;
    }
    obj.Behaviours().Create<OtherBehaviour>()->SetName("other");
    TBinaryWriter w;
    obj.Behaviours().WriteToStream(w);
    std::string bytes = w.Bytes();
    std::size_t first = bytes.find("TestCountingBehaviour");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(bytes.find("TestCountingBehaviour", first + 1), std::string::npos);

    TGLImmaterialSceneObject back;
    TBinaryReader r(bytes, "BehavioursData");
    back.Behaviours().ReadFromStream(r);
    ASSERT_EQ(back.Behaviours().Count(), 4);
    EXPECT_EQ(static_cast<CountingBehaviour*>(back.Behaviours().Items(2))->ticks, 12);
    EXPECT_EQ(back.Behaviours().Items(3)->Name(), "other");
    EXPECT_EQ(back.Behaviours().Items(3)->ClassName(), "TestOtherBehaviour");
}

TEST_F(BehaviourTest, MalformedStreamsAreRejectedAndKeepItems) {
    TGLImmaterialSceneObject obj;
    obj.Behaviours().Create<CountingBehaviour>();
    auto expectRejected = [&](const std::string& bytes, const std::string& what) {
        TBinaryReader r(bytes, "BehavioursData");
        try {
            obj.Behaviours().ReadFromStream(r);
            ADD_FAILURE() << "accepted: " << what;
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find("BehavioursData"), std::string::npos);
        }
        EXPECT_EQ(obj.Behaviours().Count(), 1) << what;
    };
    TBinaryWriter unknown;
    unknown.WriteInt32(0);
    unknown.WriteInt32(1);
    unknown.WriteInt32(-1);
    unknown.WriteString("testcountingbehaviour"); // names match exactly, case included
    expectRejected(unknown.Bytes(), "case-folded class name");
    TBinaryWriter lying;
    lying.WriteInt32(0);
    lying.WriteInt32(1 << 30);
    expectRejected(lying.Bytes(), "lying count");
    TBinaryWriter badIndex;
    badIndex.WriteInt32(0);
    badIndex.WriteInt32(1);
    badIndex.WriteInt32(3);
    expectRejected(badIndex.Bytes(), "class index before any class");
    TBinaryWriter wrongKind;
    wrongKind.WriteInt32(0);
    wrongKind.WriteInt32(1);
    wrongKind.WriteInt32(-1);
    wrongKind.WriteString("TestEffect");
    wrongKind.WriteInt32(0);
    wrongKind.WriteString("");
    expectRejected(wrongKind.Bytes(), "effect among behaviours");
    TBinaryWriter truncated;
    truncated.WriteInt32(0);
    truncated.WriteInt32(1);
    truncated.WriteInt32(-1);
    truncated.WriteString("TestCountingBehaviour");
    truncated.WriteInt32(0);
    expectRejected(truncated.Bytes(), "item data cut short");
}

TEST_F(BehaviourTest, AdvanceTimeVisitsChildrenThenBehavioursThenProgress) {
    std::vector<std::string> log;
    gProgressLog = &log;
    TGLImmaterialSceneObject parent;
    auto* child = parent.CreateChild<TGLImmaterialSceneObject>();
    child->OnProgress = [&](TGLBaseSceneObject*, double, double) { log.push_back("child"); };
    auto* b = parent.Behaviours().Create<CountingBehaviour>();
    parent.OnProgress = [&](TGLBaseSceneObject*, double dt, double) {
        EXPECT_DOUBLE_EQ(dt, 0.1);
        log.push_back("parent");
    };
    parent.AdvanceTime({0.1, 1.0});
    gProgressLog = nullptr;
    EXPECT_EQ(b->ticks, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"child", "behaviour", "parent"}));
}

TEST(Nodes, ChangesMarkTheOwnerStructure) {
    test::CountingBuffer buffer; // outlives the scene that reports to it
    TGLScene scene;
    scene.AddBuffer(&buffer);
    auto* line = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    TGLNodes nodes(line);
    line->ClearStructureChanged();
    buffer.changes = 0;
    TGLNode* n = nodes.AddNode(1, 2, 3);
    EXPECT_TRUE(line->Changes().Contains(ocStructure));
    EXPECT_EQ(buffer.changes, 1);
    EXPECT_EQ(n->AsVector().w, 1);
    line->ClearStructureChanged();
    n->SetX(5);
    EXPECT_TRUE(line->Changes().Contains(ocStructure));
    EXPECT_FLOAT_EQ(nodes[0].X(), 5);
    nodes.AddNode({4, 5, 6});
    nodes.Delete(0);
    EXPECT_EQ(nodes.Count(), 1);
    EXPECT_FLOAT_EQ(nodes[0].Z(), 6);
    EXPECT_EQ(nodes.Items(1), nullptr);
    EXPECT_EQ(buffer.changes, 2);
}

} // namespace
} // namespace hk
