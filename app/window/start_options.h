// What the command line may change in the main window's start-up: another data file, another
// load scale and the "初期化" box, as the batch mode offers them.
#pragma once

#include <QString>

namespace hk {

struct TStartOptions {
    QString dataFile;          // empty: the one named by the settings file
    QString loadScale;         // empty: the one of the settings file
    bool noInitialise = false; // true: "初期化" starts unticked
};

} // namespace hk
