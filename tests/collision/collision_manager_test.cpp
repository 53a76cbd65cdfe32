// The collision manager: registration, the pass's rules and its events against an all-pairs
// loop, and the behaviour's streamed record.
#include "collision/pair_tests.h"
#include "collision_test_support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace hk {
namespace {

using testing::BoxObject;
using testing::Collide;
using testing::Events;
using testing::Place;
using testing::RunPass;

struct Scene {
    TGLImmaterialSceneObject root;
    TCollisionManager manager;
    BoxObject* Add(const TAffineVector& p, TCollisionBoundingMode mode = cbmCube, int group = 0,
                   TAffineVector e = {0.5f, 0.5f, 0.5f}) {
        auto* o = root.CreateChild<BoxObject>(e);
        Place(*o, p);
        Collide(*o, &manager, mode, group);
        return o;
    }
};

TEST(CollisionPass, GroupRule) {
    struct Case {
        int g1, g2;
        bool reported;
    };
    for (Case c : {Case{5, 5, false}, Case{5, 0, true}, Case{0, 0, true}, Case{5, 6, true},
                   Case{-1, 0, false}, Case{0, -1, false}, Case{-1, -1, false}}) {
        Scene s;
        s.Add({0, 0, 0}, cbmCube, c.g1);
        s.Add({0.5f, 0, 0}, cbmCube, c.g2);
        EXPECT_EQ(RunPass(s.manager).size(), c.reported ? 1u : 0u) << c.g1 << "/" << c.g2;
    }
}

TEST(CollisionPass, ObjectsLeftOut) {
    Scene s;
    s.Add({0, 0, 0});
    // Flat along its own z: never reported, whatever its mode, even when turned so that its
    // world box has thickness.
    for (TCollisionBoundingMode m : {cbmPoint, cbmSphere, cbmEllipsoid, cbmCube, cbmFaces}) {
        BoxObject* flat = s.Add({0, 0, 0}, m, 0, {1, 1, 0});
        flat->SetPitchAngle(45);
    }
    EXPECT_TRUE(RunPass(s.manager).empty());

    // A mode outside the five and a non-finite box are skipped without reading past the table.
    Scene t;
    t.Add({0, 0, 0});
    t.Add({0.2f, 0, 0})
        ->Behaviours()
        .GetByClass<TGLBCollision>()
        ->SetBoundingMode(TCollisionBoundingMode(7));
    t.Add({0.1f, 0, 0}, cbmCube, 0, {NAN, 1, 1});
    t.Add({0.1f, 0, 0}, cbmCube, 0, {INFINITY, 1, 1});
    EXPECT_TRUE(RunPass(t.manager).empty());
}

TEST(CollisionPass, FewerThanTwoAndNoHandler) {
    Scene s;
    EXPECT_TRUE(RunPass(s.manager).empty());
    s.Add({0, 0, 0});
    EXPECT_TRUE(RunPass(s.manager).empty());
    s.Add({0, 0, 0});
    EXPECT_EQ(RunPass(s.manager).size(), 1u);
    s.manager.TestAllPairs(); // no handler: nothing happens
}

TEST(CollisionPass, TouchingBoxesPassTheBroadPhase) {
    Scene s;
    s.Add({0, 0, 0});
    s.Add({1, 0, 0}); // faces touch at x = 0.5
    s.Add({0, 0, 1}); // touches the first at z = 0.5
    s.Add({3, 0, 0});
    // The second and third touch along an edge.
    EXPECT_EQ(RunPass(s.manager).size(), 3u);
}

TEST(CollisionPass, ObjectOneSortsFirst) {
    Scene s;
    BoxObject* high = s.Add({0, 0, 0.6f});
    BoxObject* low = s.Add({0, 0, 0});
    BoxObject* mid = s.Add({0, 0, 0.3f});
    Events e = RunPass(s.manager);
    Events expected = {{low, mid}, {low, high}, {mid, high}};
    EXPECT_EQ(e, expected);
}

TEST(CollisionPass, HandlerThatDetachesStopsThePass) {
    Scene s;
    for (int i = 0; i < 4; ++i) {
        s.Add({0, 0, 0.1f * float(i)});
    }
    int calls = 0;
    s.manager.OnCollision = [&](TGLComponent*, TGLBaseSceneObject* a, TGLBaseSceneObject*) {
        ++calls;
        a->Behaviours().Clear();
    };
    s.manager.TestAllPairs();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(s.manager.ClientCount(), 3);
}

// The events the steps of the pass give, written without any broad-phase structure.
Events AllPairsOracle(std::vector<BoxObject*> objects) {
    struct Node {
        BoxObject* o;
        TAABB box;
        TGLBCollision* c;
    };
    std::vector<Node> nodes;
    for (BoxObject* o : objects) {
        auto* c = o->Behaviours().GetByClass<TGLBCollision>();
        TAABB local = o->UnscaledHierarchyBox();
        if (c->GroupIndex() < 0 || !(local.min.z < local.max.z)) {
            continue;
        }
        nodes.push_back({o, AABBTransform(local, o->WorldMatrix()), c});
    }
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const Node& a, const Node& b) { return a.box.min.z < b.box.min.z; });
    Events out;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        for (std::size_t j = i + 1; j < nodes.size(); ++j) {
            const Node& a = nodes[i];
            const Node& b = nodes[j];
            if (b.box.min.z > a.box.max.z) {
                break;
            }
            int ga = a.c->GroupIndex(), gb = b.c->GroupIndex();
            if (ga != 0 && ga == gb) {
                continue;
            }
            bool overlap = a.box.min.x <= b.box.max.x && b.box.min.x <= a.box.max.x &&
                           a.box.min.y <= b.box.max.y && b.box.min.y <= a.box.max.y;
            if (overlap && PairTestTable[a.c->BoundingMode()][b.c->BoundingMode()](*a.o, *b.o)) {
                out.emplace_back(a.o, b.o);
            }
        }
    }
    return out;
}

TEST(CollisionPass, EventsMatchAllPairsOnRandomScenes) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(0, 6), size(0.1f, 1.2f);
    std::uniform_int_distribution<int> mode(0, 3), group(-1, 3);
    for (int scene = 0; scene < 20; ++scene) {
        Scene s;
        std::vector<BoxObject*> objects;
        for (int i = 0; i < 120; ++i) {
            BoxObject* o = s.Add({pos(rng), pos(rng), pos(rng)}, TCollisionBoundingMode(mode(rng)),
                                 group(rng), {size(rng), size(rng), size(rng)});
            testing::RandomPose(*o, rng, {pos(rng), pos(rng), pos(rng)});
            objects.push_back(o);
        }
        Events e = RunPass(s.manager);
        EXPECT_EQ(e, AllPairsOracle(objects)) << "scene " << scene;
        EXPECT_FALSE(e.empty());
    }
}

TEST(CollisionPass, FlatFloorFindsTheSamePairsAsAllPairs) {
    // Everything at one elevation: minimum z ties everywhere, so only the set is fixed.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(0, 20), len(0.2f, 4);
    Scene s;
    std::vector<BoxObject*> objects;
    for (int i = 0; i < 400; ++i) {
        bool alongX = i % 2 == 0;
        float l = len(rng);
        objects.push_back(s.Add({pos(rng), pos(rng), 0}, cbmCube, 0,
                                {alongX ? l : 0.1f, alongX ? 0.1f : l, 0.1f}));
    }
    Events e = RunPass(s.manager);
    Events oracle = AllPairsOracle(objects);
    auto norm = [](Events v) {
        for (auto& p : v) {
            if (p.first > p.second) {
                std::swap(p.first, p.second);
            }
        }
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(norm(e), norm(oracle));
    EXPECT_GT(e.size(), 50u);
}

TEST(CollisionManagerClients, AttachDetachAndMove) {
    TGLImmaterialSceneObject o;
    TCollisionManager m1, m2;
    auto* b = o.Behaviours().Create<TGLBCollision>();
    m1.AttachClient(b);
    m1.AttachClient(b);
    m1.AttachClient(nullptr);
    EXPECT_EQ(m1.ClientCount(), 1);
    EXPECT_EQ(b->Manager(), &m1);
    b->SetManager(&m1);
    EXPECT_EQ(m1.ClientCount(), 1);
    b->SetManager(&m2);
    EXPECT_EQ(m1.ClientCount(), 0);
    EXPECT_EQ(m2.Client(0), b);
    m2.AttachClient(b);
    m1.AttachClient(b); // attaching elsewhere moves it too: one manager at a time
    EXPECT_EQ(m2.ClientCount(), 0);
    EXPECT_EQ(b->Manager(), &m1);
    m1.DetachClient(b);
    EXPECT_EQ(b->Manager(), nullptr);
    EXPECT_EQ(m1.ClientCount(), 0);
}

TEST(CollisionManagerClients, DestructionOnEitherSide) {
    TGLImmaterialSceneObject o;
    auto manager = std::make_unique<TCollisionManager>();
    auto* kept = o.Behaviours().Create<TGLBCollision>();
    auto* doomed = o.Behaviours().Create<TGLBCollision>();
    kept->SetManager(manager.get());
    doomed->SetManager(manager.get());
    o.Behaviours().Delete(doomed->Index());
    ASSERT_EQ(manager->ClientCount(), 1);
    EXPECT_EQ(manager->Client(0), kept);
    manager.reset();
    EXPECT_EQ(kept->Manager(), nullptr);
}

TEST(CollisionManagerClients, RegistryFindsByExactName) {
    TCollisionManager a, b;
    a.SetName("CollisionManager1");
    b.SetName("collisionmanager1");
    EXPECT_EQ(ManagerRegistry::Find<TCollisionManager>("CollisionManager1"), &a);
    EXPECT_EQ(ManagerRegistry::Find<TCollisionManager>("collisionmanager1"), &b);
    EXPECT_EQ(ManagerRegistry::Find<TCollisionManager>("Other"), nullptr);
    {
        TCollisionManager c;
        c.SetName("Temp");
        EXPECT_EQ(ManagerRegistry::Find<TCollisionManager>("Temp"), &c);
    }
    EXPECT_EQ(ManagerRegistry::Find<TCollisionManager>("Temp"), nullptr);
}

TEST(CollisionBehaviourStream, RoundTripFindsTheManagerAfterLoading) {
    TCollisionManager manager;
    manager.SetName("CollisionManager1");
    TGLImmaterialSceneObject source, target;
    auto* b = testing::Collide(source, &manager, cbmFaces, 42);
    b->SetName("col");
    EXPECT_EQ(b->FriendlyName(), "Collision");
    EXPECT_EQ(b->FriendlyDescription(), "Collision-detection registration");
    TBinaryWriter w;
    source.Behaviours().WriteToStream(w);
    TBinaryReader r(w.Bytes());
    target.Behaviours().ReadFromStream(r);
    auto* read = target.Behaviours().GetByClass<TGLBCollision>();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Name(), "col");
    EXPECT_EQ(read->BoundingMode(), cbmFaces);
    EXPECT_EQ(read->GroupIndex(), 42);
    EXPECT_EQ(read->Manager(), &manager);
    EXPECT_TRUE(read->LoadingManagerName().empty());
    EXPECT_EQ(manager.ClientCount(), 2);
}

// A behaviour item record written by hand: base fields, then the collision fields.
std::string Record(int version, const std::string& manager, int mode, int group) {
    TBinaryWriter w;
    w.WriteInt32(0);
    w.WriteString("");
    w.WriteInt32(version);
    w.WriteString(manager);
    w.WriteInt32(mode);
    if (version >= 1) {
        w.WriteInt32(group);
    }
    return w.Bytes();
}

TEST(CollisionBehaviourStream, VersionsNamesAndBadRecords) {
    TCollisionManager manager;
    manager.SetName("M");
    TGLBCollision b;
    b.SetGroupIndex(9);
    const std::string v0Bytes = Record(0, "M", cbmSphere, 0);
    TBinaryReader v0(v0Bytes);
    b.ReadFromStream(v0);
    EXPECT_EQ(b.GroupIndex(), 0);
    EXPECT_EQ(b.BoundingMode(), cbmSphere);
    EXPECT_EQ(b.Manager(), nullptr);
    EXPECT_EQ(b.LoadingManagerName(), "M");
    b.Loaded();
    EXPECT_EQ(b.Manager(), &manager);

    // An unknown name leaves it unregistered; reading again unregisters first.
    const std::string unknownBytes = Record(1, "Nobody", cbmCube, 3);
    TBinaryReader unknown(unknownBytes);
    b.ReadFromStream(unknown);
    EXPECT_EQ(manager.ClientCount(), 0);
    b.Loaded();
    EXPECT_EQ(b.Manager(), nullptr);
    EXPECT_EQ(b.GroupIndex(), 3);

    for (const std::string& bad :
         {Record(1, "M", 5, 0), Record(1, "M", -1, 0), Record(1, "M", 3, 0).substr(0, 20)}) {
        TGLBCollision c;
        TBinaryReader r(bad);
        EXPECT_THROW(c.ReadFromStream(r), EReadError);
        EXPECT_EQ(c.BoundingMode(), cbmPoint);
        EXPECT_EQ(c.GroupIndex(), 0);
    }
}

TEST(CollisionBehaviourStream, AssignCopiesManagerAndModeButNotGroup) {
    TCollisionManager manager;
    TGLImmaterialSceneObject o1, o2;
    auto* src = testing::Collide(o1, &manager, cbmEllipsoid, 4);
    src->SetName("src");
    auto* dst = o2.Behaviours().Create<TGLBCollision>();
    dst->Assign(*src);
    EXPECT_EQ(dst->Manager(), &manager);
    EXPECT_EQ(dst->BoundingMode(), cbmEllipsoid);
    EXPECT_EQ(dst->GroupIndex(), 0);
    EXPECT_EQ(dst->Name(), "src");
    EXPECT_EQ(manager.ClientCount(), 2);
}

} // namespace
} // namespace hk
