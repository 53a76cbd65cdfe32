// The screenshot mode: "hkviewer --screenshot OUT.png [--rules FILE] [--scale N] [--no-init]
// [--show-all] [FILE]" starts the main window as usual (FILE as the data file when given; the
// other options as in the batch mode), renders one frame of the 3D view at its laid-out size
// off screen, writes it as a PNG and exits without writing the settings file. It needs a
// display (or Xvfb). Exit status 0 on success, 1 when the rule file cannot be read or the
// picture cannot be made or written (message on stderr), 2 on a usage error.
#pragma once

#include "app/window/start_options.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace hk {

struct TScreenshotRequest {
    QString output;
    TStartOptions start;
};

// True when the command line holds --screenshot.
bool IsScreenshotCommandLine(int argc, char** argv);

// Parses the arguments after the program name; on a usage error returns none and sets error.
std::optional<TScreenshotRequest> ParseScreenshotArguments(const QStringList& args, QString* error);

// Runs the mode; the QApplication must exist. programDir as for TForm1 (empty: the folder of
// the executable).
int RunScreenshot(const QStringList& args, const QString& programDir = QString());

} // namespace hk
