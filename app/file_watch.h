// The data file's last-write time and the three ways the viewer reloads its drawing: the
// "再読込" button, the "ファイル指定" choice and the watch tick of Timer2. All of them load the
// data file and, when the load succeeds, rebuild the scene, refill the group grid and repaint;
// the window supplies those steps, so the sequences run without a window in the tests.
#pragma once

#include "app/document.h"
#include "app/message_log.h"

#include <functional>
#include <string>

namespace hk {

// The last-write time of fileName in local time as a date-time value: days since
// 30 December 1899 with the time of day as the fraction, to the nanosecond the file system
// keeps. 0 when the file does not exist or cannot be looked at. Only asks the file system
// for the file's status: never opens, locks or creates the file.
double GetDataFileTime(const std::string& fileName);

// What a reload does after a successful load; the window fills these in. Any may be empty.
// ReportError shows the error of a load the user started (UTF-8 text naming the file and
// line). ShowWatchStatus shows, without interrupting the user, the one-line error of a watch
// load that failed, and an empty line once a watch load succeeded.
struct TReloadSteps {
    std::function<void()> BuildScene;
    std::function<void()> FillGroupGrid;
    std::function<void()> Repaint;
    std::function<void(const std::string& message)> ReportError;
    std::function<void(const std::string& line)> ShowWatchStatus;
};

// The control values a load reads, taken when the reload starts.
struct TLoadControls {
    std::string scaleBoxText; // the load-scale box, Shift-JIS
    bool initialise = false;  // "初期化"
};

enum class TReloadOutcome {
    roNotRun,   // the watch had nothing to do
    roReloaded, // loaded and rebuilt
    roNoFile,   // the file could not be read: the drawing stays, the log names the file
    roFailed,   // the file did not convert: the drawing stays, the error was reported
    roWaiting,  // after a failed watch load the file is still changing: tick again shortly
};

// How long the file must keep its size and time after a failed watch load before the watch
// tries it again, in seconds.
inline constexpr double cWatchSettleSeconds = 0.3;

class TFileWatch {
public:
    // A steady clock in seconds; the default reads std::chrono::steady_clock.
    using TClock = std::function<double()>;

    // doc, log and the steps' targets must outlive the watch.
    TFileWatch(TDocument& doc, TMessageLog& log, TReloadSteps steps, TClock clock = {});

    // "再読込": fileTime := the file's time, then the load and the steps.
    TReloadOutcome Reload(const TLoadControls& controls);

    // "ファイル指定" once the user chose fileName: it becomes dataFileName, fileTime its
    // time; with "初期化" ticked the groups are emptied first. When the load does not succeed
    // the groups of the previous drawing are kept, so the drawing shown stays whole; the new
    // name stays chosen and the watch reloads it once it is saved.
    TReloadOutcome Choose(const std::string& fileName, const TLoadControls& controls);

    // The body of one watch tick (the caller stops and restarts the timer around it). With
    // autoUpdate ("自動更新") ticked and the file's time different from fileTime, loads and
    // runs the steps. fileTime takes the time read before the load whatever the load's
    // outcome, so a broken or missing file is reported once and not reloaded every tick, and
    // its next save reloads.
    // A watch load that fails (a save caught half-written, typically) never interrupts the
    // user: the drawing stays, the error becomes a notice of the log and goes to
    // ShowWatchStatus as one line naming the file and line. The next try waits until the
    // file's size and time have stayed the same for cWatchSettleSeconds: until then a tick
    // returns roWaiting, and the caller ticks again after that time instead of a whole period.
    TReloadOutcome Tick(bool autoUpdate, const TLoadControls& controls);

private:
    enum class TStarter { sUser, sWatch };
    // The file's size and time, as the settle test compares them.
    struct TFileState {
        long long size = -1;
        double time = 0;
        bool operator==(const TFileState&) const = default;
    };
    TFileState StateOfFile() const;
    // After a failed watch load: true once the file has kept its state for the settle time.
    bool Settled();
    TReloadOutcome LoadAndRebuild(const TLoadControls& controls, TStarter starter);

    TDocument& doc_;
    TMessageLog& log_;
    TReloadSteps steps_;
    TClock clock_;
    bool watchFailed_ = false; // the last watch load failed; its file has not been retried
    TFileState seen_;          // the file's state as last seen after that failure
    double seenSince_ = 0;     // when seen_ was first seen
};

} // namespace hk
