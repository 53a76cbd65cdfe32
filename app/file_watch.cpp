// The data file's time and the reload sequences of the viewer.
#include "app/file_watch.h"

#include "app/data_file.h"
#include "app/error_text.h"
#include "engine/errors.h"

#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <utility>

namespace hk {

namespace {

// Days from 1 January 1970 to the given civil date (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// 30 December 1899, day 0 of the date-time values, counted from 1 January 1970.
constexpr long long cDateTimeEpochDays = -25569;

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A load error as one line: the place of the error first ("file: line N: what"), for the
// status bar and the notices.
std::string OneLine(const std::string& message) {
    const std::size_t end = message.find('\n');
    if (end == std::string::npos)
        return message;
    std::string place = message.substr(end + 1);
    if (const std::size_t more = place.find('\n'); more != std::string::npos)
        place.resize(more);
    return place + ": " + message.substr(0, end);
}

} // namespace

double GetDataFileTime(const std::string& fileName) {
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0) {
        return 0;
    }
    const std::time_t seconds = st.st_mtim.tv_sec;
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) {
        return 0;
    }
    const long long days =
        DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) -
        cDateTimeEpochDays;
    const double secondOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                               static_cast<double>(st.st_mtim.tv_nsec) * 1e-9;
    return static_cast<double>(days) + secondOfDay / 86400.0;
}

TFileWatch::TFileWatch(TDocument& doc, TMessageLog& log, TReloadSteps steps, TClock clock)
    : doc_(doc), log_(log), steps_(std::move(steps)),
      clock_(clock ? std::move(clock) : TClock(SteadySeconds)) {}

TFileWatch::TFileState TFileWatch::StateOfFile() const {
    std::error_code ec;
    const auto size = std::filesystem::file_size(doc_.dataFileName, ec);
    return {ec ? -1 : static_cast<long long>(size), GetDataFileTime(doc_.dataFileName)};
}

bool TFileWatch::Settled() {
    const TFileState now = StateOfFile();
    if (!(now == seen_)) {
        seen_ = now;
        seenSince_ = clock_();
        return false;
    }
    return clock_() - seenSince_ >= cWatchSettleSeconds;
}

TReloadOutcome TFileWatch::LoadAndRebuild(const TLoadControls& controls, TStarter starter) {
    watchFailed_ = false;
    try {
        if (!LoadDataFile(doc_, doc_.dataFileName, controls.scaleBoxText, controls.initialise,
                          log_)) {
            return TReloadOutcome::roNoFile;
        }
    } catch (const Exception& e) {
        if (starter == TStarter::sUser) {
            if (steps_.ReportError) {
                steps_.ReportError(ErrorText(e));
            }
            return TReloadOutcome::roFailed;
        }
        const std::string line = OneLine(ErrorText(e));
        log_.AddNotice(line);
        if (steps_.ShowWatchStatus) {
            steps_.ShowWatchStatus(line);
        }
        watchFailed_ = true;
        seen_ = StateOfFile();
        seenSince_ = clock_();
        return TReloadOutcome::roFailed;
    }
    if (starter == TStarter::sWatch && steps_.ShowWatchStatus) {
        steps_.ShowWatchStatus({});
    }
    if (steps_.BuildScene) {
        steps_.BuildScene();
    }
    if (steps_.FillGroupGrid) {
        steps_.FillGroupGrid();
    }
    if (steps_.Repaint) {
        steps_.Repaint();
    }
    return TReloadOutcome::roReloaded;
}

TReloadOutcome TFileWatch::Reload(const TLoadControls& controls) {
    doc_.fileTime = GetDataFileTime(doc_.dataFileName);
    return LoadAndRebuild(controls, TStarter::sUser);
}

TReloadOutcome TFileWatch::Choose(const std::string& fileName, const TLoadControls& controls) {
    doc_.dataFileName = fileName;
    doc_.fileTime = GetDataFileTime(fileName);
    if (!controls.initialise) {
        return LoadAndRebuild(controls, TStarter::sUser);
    }
    // The items still shown refer to these groups until a load replaces both.
    ItemTable<GroupEntry> previousGroups = doc_.GroupTable;
    doc_.GroupTable.Clear();
    const TReloadOutcome outcome = LoadAndRebuild(controls, TStarter::sUser);
    if (outcome != TReloadOutcome::roReloaded) {
        doc_.GroupTable = std::move(previousGroups);
    }
    return outcome;
}

TReloadOutcome TFileWatch::Tick(bool autoUpdate, const TLoadControls& controls) {
    if (!autoUpdate) {
        return TReloadOutcome::roNotRun;
    }
    if (watchFailed_ && !Settled()) {
        return TReloadOutcome::roWaiting;
    }
    const double t = GetDataFileTime(doc_.dataFileName);
    if (t == doc_.fileTime) {
        return TReloadOutcome::roNotRun;
    }
    doc_.fileTime = t;
    return LoadAndRebuild(controls, TStarter::sWatch);
}

} // namespace hk
