// Frame time of the real window while the drawing turns: the built hkviewer runs as its own
// process on the current X display (Xvfb, Mesa llvmpipe), in a program folder of its own, and
// gets the "3" key (a turn about the vertical axis) through the X server every 2 ms for 3 s, as
// a user holding the key would: quicker than any frame, so the view always has a turn to draw
// and draws frame after frame. The automation channel reports the frames the view has drawn;
// the time per frame is the time from the first key to the last frame divided by the frames
// drawn for the turns. Unlike frame_bench this counts everything the window does
// per frame: Qt's event handling, the widget's frame buffer and its composition on screen.
#include "app/sjis.h"
#include "bench/min_of_repetitions.h"
#include "bench/render/generated_drawing.h"
#include "tests/program/program_folder.h"
#include "tests/program/viewer_process.h"
#include "tests/program/x_input.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace hk {
namespace {

using namespace std::chrono_literals;
using test::Clock;

constexpr auto cTurningTime = 3s;
constexpr auto cKeyInterval = 2ms;
constexpr auto cPollInterval = 5ms;
// No new frame for this long ends the turning.
constexpr auto cQuietTime = 1500ms;
constexpr auto cStartTime = 120s;
constexpr int cGeneratedSolids = 10000;

enum class Drawing { Sample, Generated };

// The settings file that makes start-up load the generated drawing at its scale.
bool WriteGeneratedSettings(const std::filesystem::path& folder) {
    if (!WriteGeneratedDrawing((folder / "generated.csv").string(), cGeneratedSolids)) {
        return false;
    }
    std::ofstream ini(folder / "hkviewer.Ini", std::ios::binary);
    ini << "[load]\r\nfilename=generated.csv\r\nZScale=" << cGeneratedDrawingScale << "\r\n";
    ini.close();
    return bool(ini);
}

struct Session {
    test::ProgramFolder folder{HK_RUNTIME_DIR "/hkviewer",
                               HK_SAMPLES_DIR,
                               {"box.csv", "hkviewer.csv", "script1.txt", "pump.3ds"}};
    test::XInput x;
    test::ViewerProcess viewer;
};

std::optional<int> Frames(test::ViewerProcess& viewer) {
    return viewer.Number("frames");
}

// Waits until the frame count stays unchanged for cQuietTime; the count and when it last
// changed.
std::pair<int, Clock::time_point> WaitForQuiet(test::ViewerProcess& viewer) {
    int frames = Frames(viewer).value_or(-1);
    Clock::time_point changed = Clock::now();
    while (Clock::now() - changed < cQuietTime) {
        std::this_thread::sleep_for(cPollInterval);
        const int now = Frames(viewer).value_or(-1);
        if (now != frames) {
            frames = now;
            changed = Clock::now();
        }
    }
    return {frames, changed};
}

// Starts the window on the drawing, with every group shown ("全件表示") for the generated
// one, and waits until it has drawn and gone quiet. Empty on success, else the problem.
std::string Start(Session& s, Drawing drawing) {
    if (!s.folder.Ok()) {
        return s.folder.Error();
    }
    if (!s.x.Ok()) {
        return s.x.Error();
    }
    if (drawing == Drawing::Generated && !WriteGeneratedSettings(s.folder.Path())) {
        return "cannot write the generated drawing into " + s.folder.Path().string();
    }
    std::string error;
    if (!s.viewer.Start(s.folder.Program().string(), s.folder.Path().string(), &error)) {
        return error;
    }
    const std::string frames = s.viewer.WaitFor(
        "frames", [](const std::string& a) { return std::atoi(a.c_str()) > 0; }, cStartTime);
    if (std::atoi(frames.c_str()) <= 0) {
        return "no frame drawn: " + s.viewer.Child().Errors();
    }
    if (drawing == Drawing::Generated) {
        const std::optional<test::ScreenRect> button = s.viewer.Geometry("Button1");
        if (!button) {
            return "no button Button1";
        }
        s.x.Click(button->CentreX(), button->CentreY());
        s.viewer.WaitFor(
            "objects",
            [](const std::string& a) { return std::atoi(a.c_str()) >= cGeneratedSolids; },
            cStartTime);
    }
    WaitForQuiet(s.viewer);
    // Keys go to the window that has the focus: a click on the view gives it to the window
    // without turning anything (a pick on the background).
    const std::optional<test::ScreenRect> view = s.viewer.Geometry("GLSceneViewer1");
    if (!view) {
        return "no view GLSceneViewer1";
    }
    s.x.Click(view->x + 5, view->y + 5);
    WaitForQuiet(s.viewer);
    return {};
}

void BM_WindowTurn(benchmark::State& state, Drawing drawing) {
    Session s;
    const std::string problem = Start(s, drawing);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    int totalFrames = 0;
    for (auto _ : state) {
        const int before = Frames(s.viewer).value_or(0);
        const Clock::time_point start = Clock::now();
        while (Clock::now() - start < cTurningTime) {
            s.x.Key("3");
            std::this_thread::sleep_for(cKeyInterval);
        }
        const auto [after, last] = WaitForQuiet(s.viewer);
        const int drawn = after - before;
        if (drawn <= 0) {
            state.SkipWithError("the view drew no frame for the turns");
            break;
        }
        totalFrames += drawn;
        state.SetIterationTime(std::chrono::duration<double>(last - start).count() / drawn);
    }
    state.counters["frames"] = benchmark::Counter(totalFrames, benchmark::Counter::kAvgIterations);
    s.x.CloseWindowsOf(s.viewer.Child().Pid());
    s.viewer.Child().Wait(Clock::now() + 30s);
}

// The time reported is the time per frame in ms.
void PerFrame(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
}

HK_BENCHMARK_CAPTURE(BM_WindowTurn, sample_box, Drawing::Sample)->Apply(PerFrame);
HK_BENCHMARK_CAPTURE(BM_WindowTurn, generated_10000, Drawing::Generated)->Apply(PerFrame);

} // namespace
} // namespace hk
