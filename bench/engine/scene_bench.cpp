// Scene-graph costs the viewer pays on every frame and collision tick: world matrices of a
// rebuilt model (thousands of items under one dummy cube) and the blended-last child order.
#include "bench/min_of_repetitions.h"
#include "engine/custom_scene_object.h"
#include "engine/scene.h"
#include "engine/vector_geometry.h"

#include <benchmark/benchmark.h>

namespace hk {
namespace {

// A model root with n children, every fourth one transparent, spread along a line.
TGLBaseSceneObject* BuildModel(TGLScene& scene, int n) {
    auto* root = scene.Objects().CreateChild<TGLImmaterialSceneObject>();
    for (int i = 0; i < n; ++i) {
        auto* o = root->CreateChild<TGLCustomSceneObject>();
        o->Position().SetPoint(float(i % 97), float(i % 13), float(i));
        o->SetRollAngle(float(i % 90));
        if (i % 4 == 0) {
            o->Material().SetBlendingMode(bmTransparency);
        }
    }
    return root;
}

void BM_WorldMatricesAfterRootMove(benchmark::State& state) {
    TGLScene scene;
    TGLBaseSceneObject* root = BuildModel(scene, int(state.range(0)));
    float x = 0;
    for (auto _ : state) {
        root->Position().SetPoint(x += 1, 0, 0); // dirties every child
        for (int i = 0; i < root->Count(); ++i) {
            benchmark::DoNotOptimize(root->Children(i)->InverseWorldMatrix());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
HK_BENCHMARK(BM_WorldMatricesAfterRootMove)->Arg(1000)->Arg(10000);

void BM_BlendedLastOrder(benchmark::State& state) {
    TGLScene scene;
    TGLBaseSceneObject* root = BuildModel(scene, int(state.range(0)));
    TVector camera = PointMake(15, 10, 15);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            root->ChildrenInDrawOrder(0, root->Count() - 1, osRenderBlendedLast, camera));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
HK_BENCHMARK(BM_BlendedLastOrder)->Arg(1000)->Arg(10000);

} // namespace
} // namespace hk
