// Compiling primitives into display lists: 10,000 twenty-node pipes, cylinders and annuli per
// iteration. The counter "per_object" is the time per compiled object. Needs a display (Xvfb).
//
// 2026-12-09, 2-core build machine shared with other builds, Mesa llvmpipe under Xvfb, Release:
//   twenty-node pipe 82 us, cylinder 28 us, annulus 45 us per object.
#include "bench/min_of_repetitions.h"
#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace hk;

constexpr int cObjects = 10000;

// A test context for the whole run; none without a display.
test::GLTestContext& Context() {
    static test::GLTestContext context;
    return context;
}

template <class T, class Init> void CompileAll(benchmark::State& state, Init init) {
    if (!Context().Valid()) {
        state.SkipWithError("no OpenGL context (DISPLAY not set?)");
        return;
    }
    std::vector<std::unique_ptr<T>> objects;
    objects.reserve(cObjects);
    for (int i = 0; i < cObjects; ++i) {
        objects.push_back(std::make_unique<T>());
        init(*objects.back(), i);
    }
    TRenderContextInfo rci;
    for (auto _ : state) {
        for (auto& obj : objects) {
            obj->StructureChanged();
            benchmark::DoNotOptimize(obj->DisplayListFor(rci));
        }
        glFinish();
    }
    state.counters["per_object"] =
        benchmark::Counter(double(cObjects), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
    for (auto& obj : objects) {
        obj->DestroyHandles();
    }
}

void BM_CompilePipes(benchmark::State& state) {
    CompileAll<TGLPipe>(state, [](TGLPipe& pipe, int i) {
        pipe.SetRadius(0.05f);
        for (int k = 0; k < 20; ++k) {
            // A zig-zag with a bend at every node.
            pipe.AddNode(float(k), float(k % 2), float(i % 100) * 0.1f);
        }
    });
}

void BM_CompileCylinders(benchmark::State& state) {
    CompileAll<TGLCylinder>(state, [](TGLCylinder& c, int i) {
        c.SetHeight(1.0f + float(i % 7));
        c.SetBottomRadius(0.1f);
        c.SetTopRadius(0.1f);
    });
}

void BM_CompileAnnuli(benchmark::State& state) {
    CompileAll<TGLAnnulus>(state, [](TGLAnnulus& a, int i) {
        a.SetHeight(1.0f + float(i % 7));
        a.SetBottomRadius(0.2f);
        a.SetTopRadius(0.2f);
        a.SetBottomInnerRadius(0.15f);
        a.SetTopInnerRadius(0.15f);
    });
}

} // namespace

HK_BENCHMARK(BM_CompilePipes)->Unit(benchmark::kMillisecond)->Iterations(3);
HK_BENCHMARK(BM_CompileCylinders)->Unit(benchmark::kMillisecond)->Iterations(3);
HK_BENCHMARK(BM_CompileAnnuli)->Unit(benchmark::kMillisecond)->Iterations(3);
