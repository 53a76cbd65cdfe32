// The collision manager: registration, the pass's rules and its events against an all-pairs
// loop, and the behaviour's streamed record.
#include "collision_test_support.h"
#include "object_pair_tests.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace hk {
namespace {

using test::BoxObject;
using test::Collide;
using test::Events;
using test::PairTestTable;
using test::Place;
using test::RunPass;

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

// Drawings stand still between passes, and an unchanged pass reports its last events again
// without testing; every change that the tests could see must end that at once.
TEST(CollisionPass, RepeatedPassesFollowEveryChange) {
    Scene s;
    BoxObject* a = s.Add({0, 0, 0});
    BoxObject* b = s.Add({0.8f, 0, 0});
    BoxObject* c = s.Add({3, 0, 0}, cbmFaces);
    auto* child = c->CreateChild<BoxObject>(TAffineVector{0.1f, 0.1f, 0.1f});
    const Events touching = {{a, b}};
    ASSERT_EQ(RunPass(s.manager), touching);
    EXPECT_EQ(RunPass(s.manager), touching);

    Place(*b, {3, 3, 0});
    EXPECT_TRUE(RunPass(s.manager).empty()) << "moved apart";
    Place(*b, {0.8f, 0, 0});
    EXPECT_EQ(RunPass(s.manager), touching) << "moved back";

    a->SetExtents({0.1f, 0.5f, 0.5f});
    a->StructureChanged();
    EXPECT_TRUE(RunPass(s.manager).empty()) << "shrunk";
    a->SetExtents({0.5f, 0.5f, 0.5f});
    EXPECT_EQ(RunPass(s.manager), touching);

    b->SetScale(TVector{0.2f, 1, 1, 0});
    EXPECT_TRUE(RunPass(s.manager).empty()) << "scaled";
    b->SetScale(TVector{1, 1, 1, 0});
    EXPECT_EQ(RunPass(s.manager), touching);

    b->Behaviours().GetByClass<TGLBCollision>()->SetBoundingMode(cbmPoint);
    EXPECT_TRUE(RunPass(s.manager).empty()) << "centre outside the other's box";
    b->Behaviours().GetByClass<TGLBCollision>()->SetBoundingMode(cbmCube);
    for (BoxObject* o : {a, b}) {
        o->Behaviours().GetByClass<TGLBCollision>()->SetGroupIndex(5);
    }
    EXPECT_TRUE(RunPass(s.manager).empty()) << "one group";
    a->Behaviours().GetByClass<TGLBCollision>()->SetGroupIndex(0);
    EXPECT_EQ(RunPass(s.manager), touching);

    // A child that is no client widens its parent's box until it reaches the first object.
    Place(*child, {-2.6f, 0, 0});
    const Events reached = {{a, b}, {a, c}, {b, c}};
    EXPECT_EQ(RunPass(s.manager), reached) << "child moved";
    EXPECT_EQ(RunPass(s.manager), reached);
    const std::unique_ptr<TGLBaseSceneObject> removed = c->RemoveChild(child, false);
    EXPECT_EQ(RunPass(s.manager), touching) << "child removed";

    // A client moves with the object it hangs under.
    auto* parent = s.root.CreateChild<TGLImmaterialSceneObject>();
    auto* d = parent->CreateChild<BoxObject>();
    Collide(*d, &s.manager, cbmCube);
    Place(*d, {10, 10, 10});
    EXPECT_EQ(RunPass(s.manager), touching);
    EXPECT_EQ(RunPass(s.manager), touching);
    Place(*parent, {-10, -10, -10});
    const Events withD = {{a, b}, {a, d}, {b, d}};
    EXPECT_EQ(RunPass(s.manager), withD) << "parent moved";

    // A handler that changes the list stops a replayed pass as it stops a computed one.
    int calls = 0;
    s.manager.OnCollision = [&](TGLComponent*, TGLBaseSceneObject* first, TGLBaseSceneObject*) {
        ++calls;
        first->Behaviours().Clear();
    };
    s.manager.TestAllPairs();
    EXPECT_EQ(calls, 1);
}

// A mesh's triangles can change while its extents stay: a pass with a mesh in faces mode is
// tested anew every time.
TEST(CollisionPass, MeshTrianglesChangedUnderEqualExtentsAreSeen) {
    Scene s;
    TGLFreeForm* mesh = s.root.AppendChild(
        test::MakeMesh({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {2, 2, 2}, {2, 2, 1.9f}, {1.9f, 2, 2}}));
    Collide(*mesh, &s.manager, cbmFaces);
    BoxObject* box = s.Add({0.5f, 0.5f, 1}, cbmCube, 0, {0.2f, 0.2f, 0.2f});
    EXPECT_TRUE(RunPass(s.manager).empty());
    EXPECT_TRUE(RunPass(s.manager).empty());

    auto& vertices = mesh->MeshObjects()[0]->Vertices;
    for (int i = 0; i < 3; ++i) {
        vertices[i].z = 1; // the large triangle lifted through the box; the extents stay 0 to 2
    }
    mesh->MeshChanged();
    mesh->BuildOctree();
    Events e = RunPass(s.manager);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_TRUE((e[0].first == mesh && e[0].second == box) ||
                (e[0].first == box && e[0].second == mesh));
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
            test::RandomPose(*o, rng, {pos(rng), pos(rng), pos(rng)});
            objects.push_back(o);
        }
        Events e = RunPass(s.manager);
        EXPECT_EQ(e, AllPairsOracle(objects)) << "scene " << scene;
        EXPECT_FALSE(e.empty());
    }
}

// Pass after pass over one scene while a few objects move, turn, grow, change group or mode, or
// get a new client that joins the list at its end, between passes (none in some rounds; in
// some the pass's buffers are prepared afresh, as after a build): the pairs of unchanged
// objects keep their recorded results, everything else is tested anew, and the events always
// equal the all-pairs loop's.
TEST(CollisionPass, EventsMatchAllPairsWhileObjectsChange) {
    std::mt19937 rng(13);
    std::uniform_real_distribution<float> pos(0, 6), size(0.1f, 1.2f);
    std::uniform_int_distribution<int> mode(0, 4), group(-1, 3), pick(0, 149), changes(0, 4);
    Scene s;
    std::vector<BoxObject*> objects;
    for (int i = 0; i < 150; ++i) {
        BoxObject* o = s.Add({pos(rng), pos(rng), pos(rng)}, TCollisionBoundingMode(mode(rng)),
                             group(rng), {size(rng), size(rng), size(rng)});
        test::RandomPose(*o, rng, {pos(rng), pos(rng), pos(rng)});
        objects.push_back(o);
    }
    for (int round = 0; round < 40; ++round) {
        for (int k = changes(rng); k > 0; --k) {
            BoxObject* o = objects[std::size_t(pick(rng))];
            auto* c = o->Behaviours().GetByClass<TGLBCollision>();
            switch (rng() % 5) {
            case 4: {
                const TCollisionBoundingMode m = c->BoundingMode();
                const int g = c->GroupIndex();
                o->Behaviours().Clear();
                test::Collide(*o, &s.manager, m, g);
                break;
            }
            case 0:
                test::RandomPose(*o, rng, {pos(rng), pos(rng), pos(rng)});
                break;
            case 1:
                o->SetExtents({size(rng), size(rng), size(rng)});
                break;
            case 2:
                c->SetGroupIndex(group(rng));
                break;
            default:
                c->SetBoundingMode(TCollisionBoundingMode(mode(rng)));
            }
        }
        if (round % 7 == 3) {
            s.manager.PreparePass();
        }
        Events e = RunPass(s.manager);
        ASSERT_EQ(e, AllPairsOracle(objects)) << "round " << round;
    }
}

// Rebuilds of one drawing under one manager, as reloads do: every object and client is new,
// and between rebuilds a few objects move, change mode or group, or an object is added or
// dropped (which shifts the clients after it). Objects that read as their predecessors keep
// their recorded results; the events always equal the all-pairs loop's on the new objects.
TEST(CollisionPass, EventsMatchAllPairsAcrossRebuilds) {
    struct Solid {
        TAffineVector position, extents;
        TCollisionBoundingMode mode;
        int group;
    };
    std::mt19937 rng(29);
    std::uniform_real_distribution<float> pos(0, 6), size(0.1f, 1.2f);
    std::uniform_int_distribution<int> mode(0, 4), group(-1, 3), changes(0, 3);
    const auto randomSolid = [&] {
        return Solid{{pos(rng), pos(rng), pos(rng)},
                     {size(rng), size(rng), size(rng)},
                     TCollisionBoundingMode(mode(rng)),
                     group(rng)};
    };
    std::vector<Solid> drawing(140);
    std::generate(drawing.begin(), drawing.end(), randomSolid);
    Scene s;
    for (int round = 0; round < 30; ++round) {
        s.root.FreeChildren();
        std::vector<BoxObject*> objects;
        for (const Solid& d : drawing) {
            objects.push_back(s.Add(d.position, d.mode, d.group, d.extents));
        }
        s.manager.PreparePass();
        ASSERT_EQ(RunPass(s.manager), AllPairsOracle(objects)) << "round " << round;
        EXPECT_FALSE(s.manager.LastPassRepeated()) << "new objects are named anew";
        for (int k = changes(rng); k > 0; --k) {
            Solid& d = drawing[rng() % drawing.size()];
            switch (rng() % 5) {
            case 0:
                d.position.x += 0.25f;
                break;
            case 1:
                d.mode = TCollisionBoundingMode(mode(rng));
                break;
            case 2:
                d.group = group(rng);
                break;
            case 3:
                drawing.insert(drawing.begin() + long(rng() % drawing.size()), randomSolid());
                break;
            default:
                drawing.erase(drawing.begin() + long(rng() % drawing.size()));
            }
        }
    }
}

// Layouts that strain the grid: a flat floor, everything at one elevation, where minimum z ties
// everywhere and only the set of pairs is fixed; and a cluster of hundreds of small boxes under
// a few beams long enough to set a coarse grid, so that the cluster crowds a handful of cells,
// whose checks are made room for box by box.
TEST(CollisionPass, LayoutsThatStrainTheGridFindTheSamePairsAsAllPairs) {
    const auto norm = [](Events v) {
        for (auto& p : v) {
            if (p.first > p.second) {
                std::swap(p.first, p.second);
            }
        }
        std::sort(v.begin(), v.end());
        return v;
    };
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> unit(0, 1);
    Scene flat, crowded;
    std::vector<BoxObject*> floor, cluster;
    for (int i = 0; i < 400; ++i) {
        const bool alongX = i % 2 == 0;
        const float l = 0.2f + 3.8f * unit(rng);
        floor.push_back(flat.Add({20 * unit(rng), 20 * unit(rng), 0}, cbmCube, 0,
                                 {alongX ? l : 0.1f, alongX ? 0.1f : l, 0.1f}));
        cluster.push_back(crowded.Add(
            {unit(rng), unit(rng), unit(rng)}, cbmCube, 0,
            {0.02f + 0.06f * unit(rng), 0.02f + 0.06f * unit(rng), 0.02f + 0.06f * unit(rng)}));
    }
    for (int i = 0; i < 4; ++i) {
        const float at = float(i) * 0.3f;
        cluster.push_back(crowded.Add({0.5f, at, at}, cbmCube, 0, {200, 0.05f, 0.05f}));
    }
    const Events onFloor = RunPass(flat.manager), inCluster = RunPass(crowded.manager);
    EXPECT_EQ(norm(onFloor), norm(AllPairsOracle(floor)));
    EXPECT_GT(onFloor.size(), 50u);
    EXPECT_EQ(inCluster, AllPairsOracle(cluster));
    EXPECT_GT(inCluster.size(), 200u);
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

// Random attaches, detaches, moves and deletions against a plain list per manager: the
// clients keep their attach order whatever is removed around them.
TEST(CollisionManagerClients, ListFollowsARandomHistoryInOrder) {
    TGLImmaterialSceneObject o;
    TCollisionManager managers[2];
    std::vector<TGLBCollision*> expected[2];
    std::vector<TGLBCollision*> live;
    std::mt19937 rng(7);
    auto forget = [&](TGLBCollision* b) {
        for (auto& list : expected)
            list.erase(std::remove(list.begin(), list.end(), b), list.end());
    };
    for (int step = 0; step < 4000; ++step) {
        const unsigned op = rng() % 4;
        if (op == 0 || live.empty()) {
            live.push_back(o.Behaviours().Create<TGLBCollision>());
        } else {
            TGLBCollision* b = live[rng() % live.size()];
            if (op == 3) {
                forget(b);
                live.erase(std::find(live.begin(), live.end(), b));
                o.Behaviours().Delete(b->Index());
                continue;
            }
            const int m = int(rng() % 3) - 1; // -1: none
            if (b->Manager() != (m < 0 ? nullptr : &managers[m])) {
                forget(b);
                if (m >= 0)
                    expected[m].push_back(b);
            }
            b->SetManager(m < 0 ? nullptr : &managers[m]);
        }
        if (step % 97 == 0 || step == 3999) {
            for (int m = 0; m < 2; ++m) {
                ASSERT_EQ(managers[m].ClientCount(), int(expected[m].size())) << step;
                for (int i = 0; i < managers[m].ClientCount(); ++i)
                    ASSERT_EQ(managers[m].Client(i), expected[m][std::size_t(i)]) << step;
            }
        }
    }
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
    auto* b = test::Collide(source, &manager, cbmFaces, 42);
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
    auto* src = test::Collide(o1, &manager, cbmEllipsoid, 4);
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
