// The batch mode: a table of options, a parser over it, and the run.
#include "app/batch.h"
#include "app/item_grid_model.h"

#include "app/batch_reports.h"
#include "app/clash_model.h"
#include "app/clash_text.h"
#include "app/clash_type.h"
#include "app/collision_report.h"
#include "app/colour_rules.h"
#include "app/data_file.h"
#include "app/details.h"
#include "app/error_text.h"
#include "app/report_file.h"
#include "app/scene_builder.h"
#include "app/script_check.h"
#include "app/settings.h"
#include "app/sjis.h"
#include "app/viewer_scene.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <string_view>

namespace hk {
namespace {

constexpr int cExitOk = 0;
constexpr int cExitFailure = 1;
constexpr int cExitUsage = 2;

struct BatchOptions {
    std::string dataFile;
    std::string rulesFile; // empty: the program folder's colour rule file
    std::string scaleText = std::to_string(cDefaultLoadScale);
    bool initialise = true;
    std::string scriptFile;           // --check-script: check this material script instead
    bool collide = false;             // --collide: build the scene and run one collision cycle
    bool showAll = false;             // --show-all: every group on before the build
    bool clashes = false;             // --clashes: clash lines instead of the report lines
    std::string baselineFile;         // --baseline: the drawing the statuses compare with
    int passes = 0;                   // --passes N: cycles on the drawing (0: not given, one)
    std::vector<std::string> reports; // --report: clash report files, format by extension
    bool failOnClash = false;         // --fail-on-clash: exit status 3 while a clash is open
    TClashSettings clash;             // --tolerance, --clearance: the clash judgement's
    // --details LINE (kind 0, value the line) and --summary KIND INDEX, in the order given.
    struct DetailRequest {
        int kind = 0;
        int value = 0;
    };
    std::vector<DetailRequest> details;
};

using Values = std::vector<std::string>;

// A length of 0 or more in data-file units.
bool ParseLength(const std::string& text, double& value) {
    double v = 0;
    if (!TryParseFloat(text, v) || !std::isfinite(v) || v < 0)
        return false;
    value = v;
    return true;
}

// One command-line option: its name, the names of its values separated by blanks (none for a
// flag, "KIND INDEX" for two) and what it stores. Batch options of later features are added to
// this table.
struct OptionSpec {
    std::string_view name;
    std::string_view valueNames;
    bool startsBatch; // its presence alone makes the command line a batch run
    std::function<bool(BatchOptions&, const Values&)> apply; // false: a bad value
    std::string_view help = {};                              // one line for --help

    std::size_t ValueCount() const {
        std::size_t n = 0;
        for (std::size_t i = 0; i < valueNames.size(); ++i)
            n += valueNames[i] != ' ' && (i == 0 || valueNames[i - 1] == ' ');
        return n;
    }
};

const std::vector<OptionSpec>& Options() {
    static const std::vector<OptionSpec> options = {
        {"--batch", "FILE", true,
         [](BatchOptions& o, const Values& v) {
             o.dataFile = v[0];
             return true;
         },
         "load FILE and print the message area on stdout"},
        {"--rules", "FILE", false,
         [](BatchOptions& o, const Values& v) {
             o.rulesFile = v[0];
             return true;
         },
         "colour rules from FILE instead of hkviewer.csv beside the program"},
        {"--scale", "N", false,
         [](BatchOptions& o, const Values& v) {
             o.scaleText = v[0];
             int n = 0;
             return TryParseInt(v[0], n);
         },
         "load scale N (default 500)"},
        {"--no-init", "", false,
         [](BatchOptions& o, const Values&) {
             o.initialise = false;
             return true;
         },
         "load with \"初期化\" unticked: the colour rules are not applied"},
        {"--collide", "", false,
         [](BatchOptions& o, const Values&) {
             o.collide = true;
             return true;
         },
         "build the scene, run one collision pass and print its report"},
        {"--show-all", "", false,
         [](BatchOptions& o, const Values&) {
             o.showAll = true;
             return true;
         },
         "switch every group on before the scene is built"},
        {"--clashes", "", false,
         [](BatchOptions& o, const Values&) {
             o.collide = o.clashes = true;
             return true;
         },
         "print one line per clash instead of the collision report"},
        {"--passes", "N", false,
         [](BatchOptions& o, const Values& v) {
             o.collide = true;
             return TryParseInt(v[0], o.passes) && o.passes > 0;
         },
         "run N collision cycles, each one's time on stderr"},
        {"--baseline", "FILE", false,
         [](BatchOptions& o, const Values& v) {
             o.collide = true;
             o.baselineFile = v[0];
             return true;
         },
         "compare the clashes with those of the earlier drawing FILE"},
        {"--report", "FILE", false,
         [](BatchOptions& o, const Values& v) {
             o.collide = true;
             o.reports.push_back(v[0]);
             return ReportFormatFor(v[0]).has_value();
         },
         "write the clashes to FILE (.json, .csv, .bcf or .bcfzip)"},
        {"--fail-on-clash", "", false,
         [](BatchOptions& o, const Values&) {
             o.collide = o.failOnClash = true;
             return true;
         },
         "exit with status 3 while a clash is open"},
        {"--tolerance", "T", false,
         [](BatchOptions& o, const Values& v) { return ParseLength(v[0], o.clash.tolerance); },
         "touch band of the clash types in data-file units (default 1)"},
        {"--clearance", "C", false,
         [](BatchOptions& o, const Values& v) { return ParseLength(v[0], o.clash.clearance); },
         "also list the pairs closer than C, typed clearance (default 0: off)"},
        {"--check-script", "FILE", true,
         [](BatchOptions& o, const Values& v) {
             o.scriptFile = v[0];
             return true;
         },
         "run the material script FILE and list its materials"},
        {"--details", "LINE", false,
         [](BatchOptions& o, const Values& v) {
             BatchOptions::DetailRequest request;
             const bool ok = TryParseInt(v[0], request.value);
             o.details.push_back(request);
             return ok;
         },
         "print the pick details of the items of data-file line LINE"},
        {"--summary", "KIND INDEX", false,
         [](BatchOptions& o, const Values& v) {
             BatchOptions::DetailRequest request;
             const bool ok = TryParseInt(v[0], request.kind) && request.kind > 0 &&
                             TryParseInt(v[1], request.value);
             o.details.push_back(request);
             return ok;
         },
         "print the summary of item INDEX of the table of kind KIND"},
    };
    return options;
}

// Appends the requested pick details and summaries to log in order. Returns an error text for
// the first request that names no item, empty when all were found; later requests still run.
std::string ShowRequestedDetails(const TDocument& doc, const BatchOptions& options,
                                 TMessageLog& log) {
    std::string problem;
    for (const BatchOptions::DetailRequest& r : options.details) {
        std::string failure;
        if (r.kind == 0) {
            if (!LineHasItems(doc, r.value))
                failure = "--details " + std::to_string(r.value) + ": no item comes from line " +
                          std::to_string(r.value) + " of " + options.dataFile;
            else
                ShowPickDetails(doc, r.value, log);
        } else if (!ShowItemSummary(doc, r.kind, r.value, log)) {
            failure = "--summary " + std::to_string(r.kind) + " " + std::to_string(r.value) +
                      ": the table of kind " + std::to_string(r.kind) + " holds no item " +
                      std::to_string(r.value);
        }
        if (problem.empty())
            problem = failure;
    }
    return problem;
}

// Loads fileName into doc as the window's loads do, prints the load's notices on err, then
// switches every group on for --show-all. False, with the error on err, when the file cannot
// be read or converted.
bool LoadForBatch(TDocument& doc, const std::string& fileName, const BatchOptions& options,
                  TMessageLog& log, std::ostream& err) {
    try {
        if (!LoadDataFile(doc, fileName, options.scaleText, options.initialise, log)) {
            err << "hkviewer: cannot open the data file " << fileName << "\n";
            return false;
        }
    } catch (const Exception& e) {
        err << "hkviewer: " << ErrorText(e) << "\n";
        return false;
    }
    // Notices never mix with the message area's lines on stdout.
    for (const std::string& notice : log.Notices())
        err << "hkviewer: " << notice << "\n";
    if (options.showAll)
        SetAllGroupsShown(doc, true);
    return true;
}

// Builds the scene as the window does and indexes its items for the clash model, if one is
// fed. What the build notes (models that cannot be read) goes to stderr.
void BuildForBatch(TDocument& doc, TViewerScene& scene, TClashModel* clashes,
                   const std::filesystem::path& programDir, std::ostream& err) {
    TMemoryLog buildLog;
    BuildScene(doc, scene, buildLog, programDir);
    for (const std::string& notice : buildLog.Notices())
        err << "hkviewer: " << notice << "\n";
    if (clashes)
        clashes->IndexItems(doc);
}

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& o : Options())
        if (o.name == name)
            return &o;
    return nullptr;
}

std::string Usage() {
    std::string text = "usage: hkviewer --batch FILE";
    for (const OptionSpec& o : Options()) {
        if (o.name == "--batch")
            continue;
        text.append(" [").append(o.name);
        if (!o.valueNames.empty())
            text.append(" ").append(o.valueNames);
        text.append("]");
    }
    return text;
}

// The --help text: how to start each mode, then every option of the table with its values.
std::string HelpText() {
    std::string text = "usage: hkviewer                  open the viewer window\n"
                       "       hkviewer --batch FILE [OPTION]...\n"
                       "       hkviewer --check-script FILE\n"
                       "       hkviewer --screenshot OUT.png [--rules FILE] [--scale N] "
                       "[--no-init] [--show-all] [FILE]\n"
                       "       hkviewer --automation\n"
                       "       hkviewer --help | --version\n\n"
                       "Batch options (no window, no display needed):\n";
    for (const OptionSpec& o : Options()) {
        std::string name(o.name);
        if (!o.valueNames.empty())
            name.append(" ").append(o.valueNames);
        name.resize(std::max<std::size_t>(name.size() + 2, 22), ' ');
        text.append("  ").append(name).append(o.help).append("\n");
    }
    text += "\nWindow options:\n"
            "  --screenshot OUT.png  write the first frame of the 3D view of FILE (or of the\n"
            "                        settings' drawing) to OUT.png; --rules, --scale, --no-init\n"
            "                        and --show-all as in batch mode\n"
            "  --automation          answer queries about the window on standard input\n"
            "  --help                print this text\n"
            "  --version             print the program's version\n\n"
            "Exit status: 0 done, 1 a file that cannot be read or a failed load, 2 a usage "
            "error,\n3 a clash left open with --fail-on-clash.\n";
    return text;
}

// Parses args into options; returns an error text, empty on success.
std::string Parse(const std::vector<std::string>& args, BatchOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionSpec* option = FindOption(args[i]);
        if (!option)
            return "unknown argument '" + args[i] + "'";
        const std::size_t count = option->ValueCount();
        if (args.size() - i - 1 < count)
            return std::string(option->name) + " needs " + std::string(option->valueNames);
        Values values(args.begin() + static_cast<std::ptrdiff_t>(i + 1),
                      args.begin() + static_cast<std::ptrdiff_t>(i + 1 + count));
        i += count;
        if (!option->apply(options, values)) {
            std::string shown;
            for (const std::string& v : values)
                shown += (shown.empty() ? "" : " ") + v;
            return "bad value '" + shown + "' for " + std::string(option->name);
        }
    }
    if (options.dataFile.empty() && options.scriptFile.empty())
        return "--batch FILE is required";
    return {};
}

} // namespace

bool IsInfoCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] &&
            (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "--version"))
            return true;
    return false;
}

int RunInfo(int argc, char** argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] && std::string_view(argv[i]) == "--help") {
            out << HelpText();
            return cExitOk;
        }
    out << "hkviewer " << HK_VERSION << "\n";
    return cExitOk;
}

bool IsBatchCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const OptionSpec* option = argv[i] ? FindOption(argv[i]) : nullptr;
        if (option && option->startsBatch)
            return true;
    }
    return false;
}

int RunBatch(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i] ? argv[i] : "");
    return RunBatch(args, ProgramFolder(argc > 0 ? argv[0] : nullptr), std::cout, std::cerr);
}

int RunBatch(const std::vector<std::string>& args, const std::filesystem::path& programDir,
             std::ostream& out, std::ostream& err) {
    BatchOptions options;
    if (std::string problem = Parse(args, options); !problem.empty()) {
        err << "hkviewer: " << problem << "\n" << Usage() << "\n";
        return cExitUsage;
    }
    if (!options.scriptFile.empty())
        return RunScriptCheck(options.scriptFile, out, err);

    TDocument doc;
    doc.dataFileName = options.dataFile;
    const std::string rules =
        options.rulesFile.empty() ? (programDir / cColourRuleFileName).string() : options.rulesFile;
    std::vector<std::string> notices;
    try {
        notices = LoadColourRules(doc, rules);
    } catch (const EColourRuleFileError& e) {
        if (!options.rulesFile.empty()) {
            err << "hkviewer: " << ErrorText(e) << "\n";
            return cExitFailure;
        }
        notices.push_back(ErrorText(e));
    }

    TMemoryLog log;
    // With --collide the window's scene and its collision cycle. The clash model is fed only
    // when an output reads it (clash lines, report files, the exit status): it judges every
    // reported pair, which costs far more than the pass on a large drawing.
    std::unique_ptr<TViewerScene> scene;
    TClashModel clashes;
    std::unique_ptr<TCollisionCheck> check;
    const bool needsClashes = options.clashes || !options.reports.empty() || options.failOnClash;
    if (options.collide) {
        scene = std::make_unique<TViewerScene>();
        check = std::make_unique<TCollisionCheck>(scene->CollisionManager1, log,
                                                  needsClashes ? &clashes : nullptr);
        clashes.SetClashSettings(options.clash);
    }
    if (!options.baselineFile.empty()) {
        // The earlier drawing: one cycle on it, then the main drawing comes in as the reload
        // button brings it, with the groups kept.
        if (!LoadForBatch(doc, options.baselineFile, options, log, err))
            return cExitFailure;
        BuildForBatch(doc, *scene, needsClashes ? &clashes : nullptr, programDir, err);
        const std::string time = check->RunCycle().timeText;
        if (options.passes > 0)
            err << time << "\n";
        clashes.TakeBaseline();
    }
    if (!LoadForBatch(doc, options.dataFile, options, log, err))
        return cExitFailure;
    for (const std::string& notice : notices)
        err << "hkviewer: " << notice << "\n";
    int reportStatus = cExitOk;
    if (options.collide) {
        BuildForBatch(doc, *scene, needsClashes ? &clashes : nullptr, programDir, err);
        // Later cycles find the drawing still, as the window's timer does between edits.
        for (int pass = 0; pass < std::max(options.passes, 1); ++pass)
            err << check->RunCycle().timeText << "\n";
        if (options.clashes) {
            log.Clear();
            for (const TClash& clash : clashes.Rows())
                out << ClashLine(clash) << "\n";
        }
        if (!options.reports.empty() || options.failOnClash)
            reportStatus =
                FinishBatchReports(doc, clashes, options.reports, options.failOnClash, err);
    }
    const std::string detailProblem = ShowRequestedDetails(doc, options, log);
    // Line by line from the log's block: a report of 100,000 objects would double its memory
    // as a copy.
    for (std::size_t i = 0; i < log.LineCount(); ++i)
        out << SjisToUtf8(log.Line(i)) << "\n";
    if (!detailProblem.empty()) {
        err << "hkviewer: " << detailProblem << "\n";
        return cExitFailure;
    }
    return reportStatus;
}

} // namespace hk
