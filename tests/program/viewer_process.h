// The real hkviewer run as a separate process with its automation channel: queries go to its
// standard input and each answer is read back as one line, with deadlines throughout.
#pragma once

#include "tests/program/child_process.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hk::test {

struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};

struct ScreenPoint {
    int x = 0, y = 0;
};

class ViewerProcess {
public:
    // Starts `program --automation` in `workDir` on the current display (Qt's xcb platform).
    bool Start(const std::string& program, const std::string& workDir, std::string* error);

    // The answer to one query; none when none came within the answer time.
    std::optional<std::string> Query(const std::string& query);

    // Asks `query` every 50 ms until `accept` takes the answer or `timeout` passes; the last
    // answer (empty when none came).
    std::string WaitFor(const std::string& query,
                        const std::function<bool(const std::string&)>& accept,
                        std::chrono::milliseconds timeout);

    // Answers of the shapes the channel uses; none for an error answer.
    std::optional<ScreenRect> Geometry(const std::string& control);
    std::optional<ScreenRect> CellGeometry(const std::string& grid, int col, int row);
    std::optional<ScreenPoint> Project(double x, double y, double z);
    std::optional<int> Number(const std::string& query);
    // The text of a control split into its lines (an empty text has none).
    std::vector<std::string> Lines(const std::string& control);

    ChildProcess& Child() { return child_; }

private:
    ChildProcess child_;
};

// The channel's one-line form of a text made readable again: "\n" a line break, "\\" a
// backslash.
std::string Unescape(const std::string& line);

// `text` cut at its line breaks; an empty text gives no lines, a last line break no empty
// last line.
std::vector<std::string> SplitLines(const std::string& text);

// True when `errors` (a child's standard error) holds a sanitizer's report.
bool HasSanitizerReport(const std::string& errors);

} // namespace hk::test
