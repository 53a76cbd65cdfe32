// The batch mode: "hkviewer --batch FILE [--rules FILE] [--scale N] [--no-init]" loads a
// drawing as start-up does and prints the message area on stdout in UTF-8, without a window
// or a display. "--collide" builds the scene as the window does and runs one collision cycle,
// whose report replaces the message area; the pass time ("%.1f ms") goes to stderr. The notices
// of the load and the build (ignored columns, unreadable models, colour rule problems) go to
// stderr before it, one per line after "hkviewer: ", so stdout holds only the message area.
// "--show-all" switches every group on after the load, as "全件表示" does.
// Exit status 0 on success, 1 when the data or rule file cannot be read or the load fails (message
// on stderr), 2 on a usage error.
// "--details LINE" appends the pick details of that data-file line and "--summary KIND INDEX"
// the summary of item INDEX of the table of kind code KIND; both may repeat and run in the
// order given, after the load. One that names no item is reported on stderr and makes the
// status 1, while the lines of the others are still printed.
// "--clashes" (implies --collide) prints one tab-separated line per clash instead of the report
// lines (clash_text.h): the current clashes in pass order, then the pairs closer than the
// clearance that the pass does not report, then the resolved ones; each with its type and
// signed distance. "--tolerance T" (default 1) and "--clearance C" (default 0, off) set the
// judgement in data-file units; the settings file's [clash] section does not apply to batch
// runs, so that a script's results depend on its command line only.
// "--baseline FILE" (implies --collide) first loads FILE, builds it and runs one cycle, then
// loads the main drawing as the "再読込" button does (groups kept), so that the statuses
// compare the two: new, active, resolved (with the baseline's line numbers).
// "--report FILE" (implies --collide, may repeat) writes the clash report of the last pass in
// the format of FILE's extension (batch_reports.h); "--fail-on-clash" (implies --collide) makes
// the status 3 when a clash is left open. A report that cannot be written makes it 1.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace hk {

// True when the command line holds --help or --version (anywhere).
bool IsInfoCommandLine(int argc, char** argv);

// Prints the usage of every mode and option (when the command line holds --help) or else the
// program's version ("hkviewer 1.0.0") on out, and returns the exit status 0.
int RunInfo(int argc, char** argv, std::ostream& out);

// True when the command line asks for a batch run (it holds --batch or another batch option).
bool IsBatchCommandLine(int argc, char** argv);

// Runs the batch mode for the program's command line and returns the exit status.
int RunBatch(int argc, char** argv);

// The batch mode on explicit arguments (without the program name) and streams. programDir is
// where the default colour rule file "hkviewer.csv" is looked for. The current directory is
// not changed.
int RunBatch(const std::vector<std::string>& args, const std::filesystem::path& programDir,
             std::ostream& out, std::ostream& err);

} // namespace hk
