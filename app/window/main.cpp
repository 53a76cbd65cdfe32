// The hkviewer program: --help and --version, the batch mode without any display when the
// command line asks for it, otherwise the one main window (answering queries on standard input with
// --automation).
#include "app/batch.h"
#include "app/heap_policy.h"
#include "app/window/automation.h"
#include "app/window/form1.h"
#include "app/window/screenshot.h"

#include <QApplication>
#include <QSurfaceFormat>

#include <iostream>

int main(int argc, char** argv) {
    hk::SetHeapPolicy();
    if (hk::IsInfoCommandLine(argc, argv)) {
        return hk::RunInfo(argc, argv, std::cout);
    }
    // The screenshot mode shares the batch options, so it is recognised first.
    const bool screenshot = hk::IsScreenshotCommandLine(argc, argv);
    if (!screenshot && hk::IsBatchCommandLine(argc, argv)) {
        return hk::RunBatch(argc, argv);
    }

    // The default format must be set before the first OpenGL widget exists.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication application(argc, argv);
    QApplication::setApplicationName(hk::TForm1::Title());
    QApplication::setApplicationDisplayName(hk::TForm1::Title());

    if (screenshot) {
        return hk::RunScreenshot(QApplication::arguments().mid(1));
    }
    hk::TForm1 form;
    if (hk::TAutomation::IsRequested(argc, argv)) {
        // A child of the form, which owns and frees it.
        new hk::TAutomation(form);
    }
    form.show();
    return QApplication::exec();
}
