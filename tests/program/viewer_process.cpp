// Queries of the automation channel and the parsing of their answers.
#include "tests/program/viewer_process.h"

#include <cstdlib>
#include <sstream>
#include <thread>

namespace hk::test {

namespace {

constexpr std::chrono::seconds cAnswerTime{20};
constexpr std::chrono::milliseconds cPollInterval{50};

bool IsError(const std::string& answer) {
    return answer.rfind("error", 0) == 0;
}

} // namespace

bool ViewerProcess::Start(const std::string& program, const std::string& workDir,
                          std::string* error) {
    // The leak checker runs after the OpenGL driver has been unloaded at exit, so the
    // driver's own allocations are reported from an unknown module that no suppression can
    // name. The window runs with address and undefined-behaviour checks only; its leaks are
    // the in-process window tests' business, which keep the driver loaded.
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::string asanOptions = "ASAN_OPTIONS=";
    if (asan != nullptr && *asan != '\0')
        asanOptions += std::string(asan) + ":";
    asanOptions += "detect_leaks=0";
    return child_.Start(program, {"--automation"}, workDir,
                        EnvironmentWith({"QT_QPA_PLATFORM=xcb", asanOptions}), error);
}

std::optional<std::string> ViewerProcess::Query(const std::string& query) {
    if (!child_.WriteLine(query))
        return std::nullopt;
    return child_.ReadLine(Clock::now() + cAnswerTime);
}

std::string ViewerProcess::WaitFor(const std::string& query,
                                   const std::function<bool(const std::string&)>& accept,
                                   std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::string last;
    for (;;) {
        const std::optional<std::string> answer = Query(query);
        if (!answer)
            return last;
        last = *answer;
        if (accept(last) || Clock::now() >= deadline)
            return last;
        std::this_thread::sleep_for(cPollInterval);
    }
}

std::optional<ScreenRect> ViewerProcess::Geometry(const std::string& control) {
    const std::optional<std::string> answer = Query("geometry " + control);
    ScreenRect r;
    if (!answer || IsError(*answer) || !(std::istringstream(*answer) >> r.x >> r.y >> r.w >> r.h))
        return std::nullopt;
    return r;
}

std::optional<ScreenRect> ViewerProcess::CellGeometry(const std::string& grid, int col, int row) {
    const std::optional<std::string> answer =
        Query("cellgeometry " + grid + " " + std::to_string(col) + " " + std::to_string(row));
    ScreenRect r;
    if (!answer || IsError(*answer) || !(std::istringstream(*answer) >> r.x >> r.y >> r.w >> r.h))
        return std::nullopt;
    return r;
}

std::optional<ScreenPoint> ViewerProcess::Project(double x, double y, double z) {
    std::ostringstream query;
    query << "project " << x << " " << y << " " << z;
    const std::optional<std::string> answer = Query(query.str());
    ScreenPoint p;
    if (!answer || IsError(*answer) || !(std::istringstream(*answer) >> p.x >> p.y))
        return std::nullopt;
    return p;
}

std::optional<int> ViewerProcess::Number(const std::string& query) {
    const std::optional<std::string> answer = Query(query);
    int value = 0;
    if (!answer || IsError(*answer) || !(std::istringstream(*answer) >> value))
        return std::nullopt;
    return value;
}

std::vector<std::string> ViewerProcess::Lines(const std::string& control) {
    const std::optional<std::string> answer = Query("text " + control);
    if (!answer || IsError(*answer))
        return {};
    return SplitLines(Unescape(*answer));
}

std::string Unescape(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
            out += line[i] == 'n' ? '\n' : line[i];
        } else {
            out += line[i];
        }
    }
    return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (std::string& l : lines)
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
    return lines;
}

bool HasSanitizerReport(const std::string& errors) {
    return errors.find("Sanitizer") != std::string::npos ||
           errors.find("runtime error:") != std::string::npos;
}

} // namespace hk::test
