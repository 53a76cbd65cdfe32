// Frame time of the viewer's render pass: the scene buffer's RenderFrame with GLCamera2 on an
// off-screen 1127 x 972 GLX context (Mesa under Xvfb), for the sample drawing as start-up
// loads and builds it and for a generated drawing of 10,000 solids in a piping-like layout.
// glFinish ends every timed frame, so the rasteriser's work is counted; the process CPU time
// includes Mesa's rasteriser threads. The first frame of a context, which records every solid's
// geometry (and compiles the other objects' display lists), is measured apart from the steady
// frames that replay them. The counter "merged" is the number of solids drawn merged.
#include "app/colour_rules.h"
#include "app/data_file.h"
#include "app/document.h"
#include "app/item_grid_model.h"
#include "app/message_log.h"
#include "app/scene_builder.h"
#include "app/script_check.h"
#include "app/settings.h"
#include "app/sjis.h"
#include "app/viewer_scene.h"
#include "app/window/fixed_scene.h"
#include "bench/min_of_repetitions.h"
#include "bench/render/generated_drawing.h"
#include "engine/errors.h"
#include "engine/merged_children.h"
#include "engine/scene_buffer.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/shapes/dummy_cube.h"
#include "script/material_scripter.h"
#include "tests/support/glx_context.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hk {
namespace {

// The main window's 3D view size.
constexpr int cViewWidth = 1127;
constexpr int cViewHeight = 972;
constexpr int cGeneratedSolids = 10000;

enum class Drawing { Sample, Generated };

// ---- the generated drawing -------------------------------------------------------------------

// Written once per run, removed at exit.
const std::string& GeneratedDrawing() {
    struct File {
        std::string path = (std::filesystem::temp_directory_path() /
                            ("hk_frame_bench_" + std::to_string(::getpid()) + ".csv"))
                               .string();
        File() { WriteGeneratedDrawing(path, cGeneratedSolids); }
        ~File() { std::filesystem::remove(path); }
    };
    static const File file;
    return file.path;
}

// ---- the viewer without its window -----------------------------------------------------------

// The scene parts of the main window, its data and a buffer on an off-screen context of the
// view's size. The buffer is declared last so that it frees its context, and the scene's
// display lists with it, while the scene still exists.
struct FrameRig {
    test::TGLXDevice device;
    TDocument doc;
    TViewerScene scene;
    TMemoryLog log;
    TMemoryLog scriptLog;
    TGLMaterialScripter scripter;
    TGLSceneBuffer buffer;
};

// Start-up as the main window runs it, on the sample folder as the program's folder: settings
// and colour rules ("初期化" ticked), the material script, the first load, the build, the
// marker hidden. Returns what went wrong, empty on success.
std::string LoadSample(FrameRig& rig) {
    const std::filesystem::path folder = HK_SAMPLES_DIR;
    const TStartUpSettings settings = ReadStartUpSettings(rig.doc, folder, true);
    const std::string scriptError =
        RunStartupMaterialScript(folder, rig.scene.GLMaterialLibrary2, rig.scripter, rig.scriptLog);
    if (!scriptError.empty()) {
        return SjisToUtf8(scriptError);
    }
    if (!LoadStartUpData(rig.doc, settings, settings.scaleBoxText, true, rig.log)) {
        return "cannot open the sample drawing in " + folder.string();
    }
    BuildScene(rig.doc, rig.scene, rig.log);
    rig.scene.GLSphere1->SetVisible(false);
    return {};
}

// The generated drawing with the sample's colour rules, every group switched on (as
// "全件表示" does) so that each solid is built. Load scale 1000 puts the whole drawing, twice
// the sample's size, in the start-up view as the sample lies in it at 500.
std::string LoadGenerated(FrameRig& rig) {
    LoadColourRules(rig.doc,
                    (std::filesystem::path(HK_SAMPLES_DIR) / cColourRuleFileName).string());
    if (!LoadDataFile(rig.doc, GeneratedDrawing(), cGeneratedDrawingScale, true, rig.log)) {
        return "cannot open " + GeneratedDrawing();
    }
    SetAllGroupsShown(rig.doc, true);
    BuildScene(rig.doc, rig.scene, rig.log);
    rig.scene.GLSphere1->SetVisible(false);
    return {};
}

// The view's buffer set-up: background, camera, viewport, then the context.
std::string CreateView(FrameRig& rig) {
    if (!rig.device.Valid()) {
        return "no display: run under xvfb-run -a -s \"-screen 0 1600x1200x24\"";
    }
    test::TGLXContext::Register();
    rig.buffer.SetBackgroundColor(cViewerBackgroundColor);
    rig.buffer.SetCamera(rig.scene.GLCamera2);
    rig.buffer.SetViewportSize(cViewWidth, cViewHeight);
    rig.buffer.CreateContext(rig.device, true);
    return {};
}

std::string SetUp(FrameRig& rig, Drawing drawing) {
    try {
        std::string problem = drawing == Drawing::Sample ? LoadSample(rig) : LoadGenerated(rig);
        if (problem.empty()) {
            problem = CreateView(rig);
        }
        return problem;
    } catch (const Exception& e) {
        return SjisToUtf8(e.what());
    }
}

// One paint of the view, waited for until the pixels are in the frame buffer.
void Frame(TGLSceneBuffer& buffer) {
    buffer.RenderFrame();
    buffer.RenderingContext()->Activate();
    glFinish();
    buffer.RenderingContext()->Deactivate();
}

std::vector<std::uint8_t> ReadFrame(TGLSceneBuffer& buffer) {
    std::vector<std::uint8_t> pixels(std::size_t(buffer.Width()) * buffer.Height() * 4);
    buffer.RenderingContext()->Activate();
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, buffer.Width(), buffer.Height(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    buffer.RenderingContext()->Deactivate();
    return pixels;
}

// Share of the pixels whose RGB differs between two frames.
double DifferingShare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) {
            ++differing;
        }
    }
    return double(differing) / double(a.size() / 4);
}

// Renders once with and once without the model root and returns the share of the pixels the
// model changes; 0 means the benchmark would measure an empty drawing.
double ModelShare(FrameRig& rig) {
    Frame(rig.buffer);
    const std::vector<std::uint8_t> withModel = ReadFrame(rig.buffer);
    rig.scene.GLDummyCube1->SetVisible(false);
    Frame(rig.buffer);
    const std::vector<std::uint8_t> withoutModel = ReadFrame(rig.buffer);
    rig.scene.GLDummyCube1->SetVisible(true);
    return DifferingShare(withModel, withoutModel);
}

// Sets up the rig and checks, outside the timed loop, that the model shows in the frame.
// False (with the benchmark marked as failed) when it cannot be measured.
bool Prepare(benchmark::State& state, FrameRig& rig, Drawing drawing) {
    std::string problem = SetUp(rig, drawing);
    if (problem.empty()) {
        try {
            const double share = ModelShare(rig);
            state.counters["model_pixels"] = share;
            if (share == 0) {
                problem = "the model leaves every pixel of the frame unchanged";
            }
        } catch (const Exception& e) {
            problem = e.what();
        }
    }
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return false;
    }
    state.counters["objects"] = rig.scene.GLDummyCube1->Count();
    if (const TGLMergedChildren* merged = rig.scene.GLDummyCube1->MergedChildren()) {
        state.counters["merged"] = merged->DrawnCount();
    }
    return true;
}

// Renders one frame; false, with the benchmark skipped, when rendering fails.
bool RenderOrSkip(benchmark::State& state, FrameRig& rig) {
    try {
        Frame(rig.buffer);
    } catch (const Exception& e) {
        state.SkipWithError(e.what());
        return false;
    }
    return true;
}

// Frames that replay the compiled display lists, as every repaint after the first does.
void BM_SteadyFrame(benchmark::State& state, Drawing drawing) {
    FrameRig rig;
    if (!Prepare(state, rig, drawing)) {
        return;
    }
    for (auto _ : state) {
        if (!RenderOrSkip(state, rig)) {
            break;
        }
    }
}

// Frames while the view moves: the view draws them at a smaller detail scale, each object at
// the level of detail it would have at a 32nd of its size on screen, and at the resolution
// scale the view settles on for the drawing (1 where frames are cheap enough).
void BM_MovingFrame(benchmark::State& state, Drawing drawing, float resolution) {
    FrameRig rig;
    if (!Prepare(state, rig, drawing)) {
        return;
    }
    rig.buffer.SetDetailScale(cMovingDetailScale);
    rig.buffer.SetResolutionScale(resolution);
    for (auto _ : state) {
        if (!RenderOrSkip(state, rig)) {
            break;
        }
    }
}

// The first frame on a new context at a detail scale: the merged solids record their geometry,
// every other object compiles its display list (and the captions their glyphs), as at start-up
// and whenever the view re-creates its context. Making the context is not timed.
void BM_FirstFrame(benchmark::State& state, Drawing drawing, float detailScale) {
    FrameRig rig;
    if (!Prepare(state, rig, drawing)) {
        return;
    }
    rig.buffer.SetDetailScale(detailScale);
    for (auto _ : state) {
        state.PauseTiming();
        try {
            rig.buffer.CreateContext(rig.device, true);
        } catch (const Exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        state.ResumeTiming();
        if (!RenderOrSkip(state, rig)) {
            break;
        }
    }
}

// The time reported is the wall time per frame in ms; the CPU time counts the whole process,
// the rasteriser's threads included.
void PerFrame(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

// A frame of the generated drawing takes a good part of a second: several of them per
// repetition keep one slow frame on the busy machine from deciding the figure.
HK_BENCHMARK_CAPTURE(BM_SteadyFrame, sample_box, Drawing::Sample)->Apply(PerFrame);
HK_BENCHMARK_CAPTURE(BM_SteadyFrame, generated_10000, Drawing::Generated)
    ->Apply(PerFrame)
    ->MinTime(2);
HK_BENCHMARK_CAPTURE(BM_MovingFrame, sample_box, Drawing::Sample, 1.0f)->Apply(PerFrame);
HK_BENCHMARK_CAPTURE(BM_MovingFrame, generated_10000, Drawing::Generated, 1.0f)
    ->Apply(PerFrame)
    ->MinTime(2);
HK_BENCHMARK_CAPTURE(BM_MovingFrame, generated_10000_half, Drawing::Generated, 0.5f)
    ->Apply(PerFrame)
    ->MinTime(2);
HK_BENCHMARK_CAPTURE(BM_MovingFrame, generated_10000_quarter, Drawing::Generated, 0.25f)
    ->Apply(PerFrame)
    ->MinTime(2);
HK_BENCHMARK_CAPTURE(BM_FirstFrame, sample_box, Drawing::Sample, 1.0f)->Apply(PerFrame);
HK_BENCHMARK_CAPTURE(BM_FirstFrame, generated_10000, Drawing::Generated, 1.0f)
    ->Apply(PerFrame)
    ->MinTime(2);
// The view draws the first frame after a load or on a new context coarse, as while it moves.
HK_BENCHMARK_CAPTURE(BM_FirstFrame, generated_10000_coarse, Drawing::Generated, cMovingDetailScale)
    ->Apply(PerFrame)
    ->MinTime(2);

} // namespace
} // namespace hk
