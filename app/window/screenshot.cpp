// One off-screen frame of the main window's 3D view, written as a PNG.
#include "app/window/screenshot.h"

#include "app/window/form1.h"
#include "app/window/scene_viewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <cstring>

namespace hk {

namespace {

void PrintError(const QString& message) {
    std::fprintf(stderr, "hkviewer: %s\n", message.toUtf8().constData());
}

} // namespace

bool IsScreenshotCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            return true;
        }
    }
    return false;
}

std::optional<TScreenshotRequest> ParseScreenshotArguments(const QStringList& args,
                                                           QString* error) {
    TScreenshotRequest request;
    bool haveOutput = false, haveFile = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* option) -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(QString::fromLatin1(option));
                return std::nullopt;
            }
            return args[++i];
        };
        if (a == QLatin1String("--screenshot")) {
            std::optional<QString> v = value("--screenshot");
            if (!v) {
                return std::nullopt;
            }
            request.output = *v;
            haveOutput = true;
        } else if (a == QLatin1String("--scale")) {
            std::optional<QString> v = value("--scale");
            if (!v) {
                return std::nullopt;
            }
            bool ok = false;
            v->toInt(&ok);
            if (!ok) {
                *error = QStringLiteral("--scale needs an integer, not \"%1\"").arg(*v);
                return std::nullopt;
            }
            request.start.loadScale = *v;
        } else if (a == QLatin1String("--rules")) {
            std::optional<QString> v = value("--rules");
            if (!v) {
                return std::nullopt;
            }
            request.start.rulesFile = *v;
        } else if (a == QLatin1String("--no-init")) {
            request.start.noInitialise = true;
        } else if (a == QLatin1String("--show-all")) {
            request.start.showAll = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown option %1 with --screenshot").arg(a);
            return std::nullopt;
        } else if (!haveFile) {
            request.start.dataFile = a;
            haveFile = true;
        } else {
            *error = QStringLiteral("more than one data file: %1").arg(a);
            return std::nullopt;
        }
    }
    if (!haveOutput || request.output.isEmpty()) {
        *error = QStringLiteral("--screenshot needs an output file");
        return std::nullopt;
    }
    return request;
}

int RunScreenshot(const QStringList& args, const QString& programDir) {
    QString error;
    std::optional<TScreenshotRequest> request = ParseScreenshotArguments(args, &error);
    if (!request) {
        PrintError(error);
        PrintError(QStringLiteral("usage: hkviewer --screenshot OUT.png [--rules FILE] [--scale N] "
                                  "[--no-init] [--show-all] [FILE]"));
        return 2;
    }
    // Start-up makes the program's folder current: name the files as the user meant them.
    if (!request->start.dataFile.isEmpty()) {
        request->start.dataFile = QFileInfo(request->start.dataFile).absoluteFilePath();
    }
    if (!request->start.rulesFile.isEmpty()) {
        const QFileInfo rules(request->start.rulesFile);
        if (!rules.isFile() || !rules.isReadable()) {
            PrintError(QStringLiteral("cannot open the colour rule file %1").arg(rules.filePath()));
            return 1;
        }
        request->start.rulesFile = rules.absoluteFilePath();
    }
    // Start-up problems are reported as the window would, but on stderr; the picture shows
    // whatever could be loaded.
    TForm1 form(programDir, PrintError, nullptr, request->start);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QApplication::processEvents();
    QImage image = form.GLSceneViewer1->RenderToImage();
    if (image.isNull()) {
        PrintError(QStringLiteral("the 3D view could not be rendered"));
        return 1;
    }
    if (!image.save(request->output, "PNG")) {
        PrintError(QStringLiteral("cannot write %1").arg(request->output));
        return 1;
    }
    // The window is never closed, so the settings file stays as it was.
    return 0;
}

} // namespace hk
