// TestAllPairs on piping and flat-floor scenes of 1,000 to 50,000 objects, still and with one
// object moving, and mesh-mesh through the octree against the all-pairs triangle loop. With FCL
// the same scenes also run through its dynamic AABB tree, and the run ends with the ours/FCL
// time ratio per scene.
#include "bench/min_of_repetitions.h"
#include "bench_scenes.h"
#include "collision/collision_behaviour.h"
#include "collision/collision_manager.h"
#include "collision/octree.h"
#include "collision/pair_tests.h"
#include "collision/triangle_tests.h"
#include "engine/behaviours.h"
#include "engine/scene_object.h"
#include "engine/vector_geometry.h"
#include "primitives/mesh/free_form.h"

#ifdef HK_WITH_FCL
#include "fcl_scenes.h"
#endif

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace hk::bench {
namespace {

class TBenchBoxObject : public TGLImmaterialSceneObject {
public:
    explicit TBenchBoxObject(const TAffineVector& half) : half_(half) {}
    TVector UnscaledBoxExtents() override { return {half_.x, half_.y, half_.z, 0}; }

private:
    TAffineVector half_;
};

struct TOurScene {
    TGLImmaterialSceneObject root;
    TCollisionManager manager;
    int events = 0;
    explicit TOurScene(const std::vector<TBenchBox>& boxes) {
        for (const TBenchBox& b : boxes) {
            auto* o = root.CreateChild<TBenchBoxObject>(b.half);
            o->SetPosition(PointMake(b.centre.x, b.centre.y, b.centre.z));
            auto* c = o->Behaviours().Create<TGLBCollision>();
            c->SetBoundingMode(b.faces ? cbmFaces : cbmCube);
            c->SetManager(&manager);
        }
        manager.OnCollision = [this](TGLComponent*, TGLBaseSceneObject*, TGLBaseSceneObject*) {
            ++events;
        };
    }
};

using TLayout = std::vector<TBenchBox> (*)(int, unsigned);

std::vector<TBenchBox> Scene(TLayout layout, int count) {
    return layout(count, layout == &PipingLayout ? 1u : 2u);
}

// A still scene is what the viewer runs over between edits: every pass after the first replays
// the recorded events. "Moving" shifts one object by a millimetre and back on alternate passes,
// as a drag does: the pairs of that object are tested again. "Rebuilt" shifts the whole scene
// (its root) the same way and prepares the pass as a build does, so that every pair is tested,
// as in the first pass after a reload.
enum class TChange { Still, OneObject, Everything };

void Pass(benchmark::State& state, TLayout layout, TChange change) {
    TOurScene scene(Scene(layout, int(state.range(0))));
    TGLBaseSceneObject* mover =
        change == TChange::Everything ? &scene.root : scene.root.Children(0);
    const TVector home = mover->Position().AsVector();
    bool shifted = false;
    for (auto _ : state) {
        if (change != TChange::Still) {
            shifted = !shifted;
            mover->SetPosition(PointMake(home.x + (shifted ? 0.001f : 0.0f), home.y, home.z));
        }
        if (change == TChange::Everything) {
            // What a build does last, after placing the objects.
            state.PauseTiming();
            scene.manager.PreparePass();
            state.ResumeTiming();
        }
        scene.events = 0;
        scene.manager.TestAllPairs();
    }
    state.counters["events"] = scene.events;
}

void BM_TestAllPairs_Piping(benchmark::State& s) {
    Pass(s, PipingLayout, TChange::Still);
}
void BM_TestAllPairs_FlatFloor(benchmark::State& s) {
    Pass(s, FlatFloor, TChange::Still);
}
void BM_TestAllPairs_Piping_Moving(benchmark::State& s) {
    Pass(s, PipingLayout, TChange::OneObject);
}
void BM_TestAllPairs_FlatFloor_Moving(benchmark::State& s) {
    Pass(s, FlatFloor, TChange::OneObject);
}
void BM_TestAllPairs_Piping_Rebuilt(benchmark::State& s) {
    Pass(s, PipingLayout, TChange::Everything);
}
void BM_TestAllPairs_FlatFloor_Rebuilt(benchmark::State& s) {
    Pass(s, FlatFloor, TChange::Everything);
}
// The three scene sizes of every pass benchmark.
void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
}
HK_BENCHMARK(BM_TestAllPairs_Piping)->Apply(Sizes);
HK_BENCHMARK(BM_TestAllPairs_FlatFloor)->Apply(Sizes);
HK_BENCHMARK(BM_TestAllPairs_Piping_Moving)->Apply(Sizes);
HK_BENCHMARK(BM_TestAllPairs_FlatFloor_Moving)->Apply(Sizes);
HK_BENCHMARK(BM_TestAllPairs_Piping_Rebuilt)->Apply(Sizes);
HK_BENCHMARK(BM_TestAllPairs_FlatFloor_Rebuilt)->Apply(Sizes);

#ifdef HK_WITH_FCL
void FclPass(benchmark::State& state, TLayout layout) {
    TFclScene scene(Scene(layout, int(state.range(0))));
    int pairs = 0;
    for (auto _ : state) {
        pairs = scene.CollidingPairs();
    }
    state.counters["events"] = pairs;
}
void BM_Fcl_Piping(benchmark::State& s) {
    FclPass(s, PipingLayout);
}
void BM_Fcl_FlatFloor(benchmark::State& s) {
    FclPass(s, FlatFloor);
}
HK_BENCHMARK(BM_Fcl_Piping)->Apply(Sizes);
HK_BENCHMARK(BM_Fcl_FlatFloor)->Apply(Sizes);
#endif

// Two 20,000-triangle sheets whose boxes overlap: "apart" lies a small gap above the other,
// "crossing" is tilted through it.
struct TMeshPair {
    std::unique_ptr<TGLFreeForm> a, b;
    explicit TMeshPair(bool crossing) {
        a = Make(WavySheet(100, 10, 0));
        b = Make(WavySheet(100, 10, 0.05f));
        if (crossing) {
            b->SetPitchAngle(3);
        }
    }
    static std::unique_ptr<TGLFreeForm> Make(const std::vector<TAffineVector>& triangles) {
        auto mesh = std::make_unique<TGLFreeForm>();
        auto object = std::make_unique<TMeshObject>();
        object->Mode = momTriangles;
        object->Vertices.SetCapacity(int(triangles.size()));
        for (const TAffineVector& v : triangles) {
            object->Vertices.Add(v);
        }
        mesh->MeshObjects().push_back(std::move(object));
        mesh->MeshChanged();
        return mesh;
    }
};

void BM_OctreeBuild_20k(benchmark::State& state) {
    TMeshPair pair(false);
    for (auto _ : state) {
        pair.a->SetOctree(std::make_unique<TOctree>());
        pair.a->BuildOctree(TOctree::cCollisionDepth);
    }
}
HK_BENCHMARK(BM_OctreeBuild_20k)->Unit(benchmark::kMillisecond);

// The faces test of two meshes as the pass runs it, shapes taken from the objects.
bool FacesMeet(TGLBaseSceneObject& a, TGLBaseSceneObject& b) {
    TPairShape sa = PairShapeOf(a);
    TPairShape sb = PairShapeOf(b);
    return FacesFaces(sa, sb);
}

// Still: the same poses every pass, as between edits. Moving: B steps by a micrometre and back
// on alternate passes, as while it is dragged, so that no pass can reuse the last answer.
// Fresh: moving, and every pass is the pair's first (nothing kept from the last one).
void MeshMeshOctree(benchmark::State& state, bool crossing, bool moving, bool fresh = false) {
    TMeshPair pair(crossing);
    bool hit = FacesMeet(*pair.a, *pair.b); // builds both octrees, outside the timing
    const TVector at = pair.b->Position().AsVector();
    bool stepped = false;
    for (auto _ : state) {
        if (moving) {
            stepped = !stepped;
            pair.b->SetPosition(PointMake(at.x + (stepped ? 1e-3f : 0.0f), at.y, at.z));
        }
        if (fresh) {
            FacesOctree(*pair.a)->PairAnswers().clear();
        }
        hit = FacesMeet(*pair.a, *pair.b);
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hit"] = hit;
}
void BM_MeshMesh_Octree_Apart(benchmark::State& s) {
    MeshMeshOctree(s, false, false);
}
void BM_MeshMesh_Octree_Crossing(benchmark::State& s) {
    MeshMeshOctree(s, true, false);
}
void BM_MeshMesh_Octree_Apart_Moving(benchmark::State& s) {
    MeshMeshOctree(s, false, true);
}
void BM_MeshMesh_Octree_Crossing_Moving(benchmark::State& s) {
    MeshMeshOctree(s, true, true);
}
void BM_MeshMesh_Octree_Crossing_Fresh(benchmark::State& s) {
    MeshMeshOctree(s, true, true, true);
}
HK_BENCHMARK(BM_MeshMesh_Octree_Apart)->Unit(benchmark::kMillisecond);
HK_BENCHMARK(BM_MeshMesh_Octree_Crossing)->Unit(benchmark::kMillisecond);
HK_BENCHMARK(BM_MeshMesh_Octree_Apart_Moving)->Unit(benchmark::kMillisecond);
HK_BENCHMARK(BM_MeshMesh_Octree_Crossing_Moving)->Unit(benchmark::kMillisecond);
HK_BENCHMARK(BM_MeshMesh_Octree_Crossing_Fresh)->Unit(benchmark::kMillisecond);

// The near miss as the first test after both meshes were built: the prepared triangles, leaf
// clusters and triangle trees are made inside the timing, the octrees outside it.
void BM_MeshMesh_Octree_Apart_FirstAfterBuild(benchmark::State& state) {
    TMeshPair pair(false);
    bool hit = false;
    for (auto _ : state) {
        state.PauseTiming();
        for (TGLFreeForm* mesh : {pair.a.get(), pair.b.get()}) {
            mesh->SetOctree(std::make_unique<TOctree>());
            mesh->BuildOctree(TOctree::cCollisionDepth);
        }
        state.ResumeTiming();
        hit = FacesMeet(*pair.a, *pair.b);
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hit"] = hit;
}
HK_BENCHMARK(BM_MeshMesh_Octree_Apart_FirstAfterBuild)->Unit(benchmark::kMillisecond);

std::vector<TAffineVector> World(TGLFreeForm& mesh) {
    TAffineVectorList local = mesh.ExtractTriangles();
    std::vector<TAffineVector> out;
    for (const TAffineVector& v : local) {
        out.push_back(AffineTransform(v, mesh.WorldMatrix()));
    }
    return out;
}

void MeshMeshAllPairs(benchmark::State& state, bool crossing) {
    TMeshPair pair(crossing);
    std::vector<TAffineVector> a = World(*pair.a), b = World(*pair.b);
    bool hit = false;
    for (auto _ : state) {
        hit = false;
        for (std::size_t i = 0; i < a.size() && !hit; i += 3) {
            for (std::size_t j = 0; j < b.size(); j += 3) {
                if (TriangleTriangleIntersect(a[i], a[i + 1], a[i + 2], b[j], b[j + 1], b[j + 2])) {
                    hit = true;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hit"] = hit;
}
void BM_MeshMesh_AllPairs_Apart(benchmark::State& s) {
    MeshMeshAllPairs(s, false);
}
void BM_MeshMesh_AllPairs_Crossing(benchmark::State& s) {
    MeshMeshAllPairs(s, true);
}
HK_BENCHMARK(BM_MeshMesh_AllPairs_Apart)->Iterations(1)->Unit(benchmark::kMillisecond);
HK_BENCHMARK(BM_MeshMesh_AllPairs_Crossing)->Iterations(1)->Unit(benchmark::kMillisecond);

// Keeps the console output and remembers a time per run name for the ratio table: the fastest
// repetition, read from the runs or, when only aggregates are reported, from the `min` row.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const bool iteration = r.run_type == Run::RT_Iteration && r.iterations > 0;
            const bool minimum = r.run_type == Run::RT_Aggregate && r.aggregate_name == "min";
            if (!iteration && !minimum) {
                continue;
            }
            const std::string name = r.run_name.str();
            const double t = r.GetAdjustedRealTime();
            auto it = times.find(name);
            if (it == times.end() || (iteration && t < it->second)) {
                times[name] = t;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void PrintRatios(const std::map<std::string, double>& times) {
    auto ratio = [&](const std::string& ours, const std::string& theirs) {
        auto a = times.find(ours), b = times.find(theirs);
        if (a != times.end() && b != times.end() && b->second > 0) {
            std::printf("  %-40s %10.3f ms  %-28s %10.3f ms  ratio %.2f\n", ours.c_str(), a->second,
                        theirs.c_str(), b->second, a->second / b->second);
        }
    };
    std::printf("\nours / reference (wall time, lower is better):\n");
    for (const char* n : {"1000", "10000", "50000"}) {
        ratio(std::string("BM_TestAllPairs_Piping/") + n, std::string("BM_Fcl_Piping/") + n);
        ratio(std::string("BM_TestAllPairs_FlatFloor/") + n, std::string("BM_Fcl_FlatFloor/") + n);
        ratio(std::string("BM_TestAllPairs_Piping_Moving/") + n, std::string("BM_Fcl_Piping/") + n);
        ratio(std::string("BM_TestAllPairs_FlatFloor_Moving/") + n,
              std::string("BM_Fcl_FlatFloor/") + n);
        ratio(std::string("BM_TestAllPairs_Piping_Rebuilt/") + n,
              std::string("BM_Fcl_Piping/") + n);
        ratio(std::string("BM_TestAllPairs_FlatFloor_Rebuilt/") + n,
              std::string("BM_Fcl_FlatFloor/") + n);
    }
    ratio("BM_MeshMesh_Octree_Apart", "BM_MeshMesh_AllPairs_Apart/iterations:1");
    ratio("BM_MeshMesh_Octree_Crossing", "BM_MeshMesh_AllPairs_Crossing/iterations:1");
}

} // namespace
} // namespace hk::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    hk::bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    hk::bench::PrintRatios(reporter.times);
    benchmark::Shutdown();
    return 0;
}
