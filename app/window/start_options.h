// What the command line may change in the main window's start-up: another data file, another
// colour rule file, another load scale, the "初期化" box and every group switched on, as the
// batch mode offers them.
#pragma once

#include <QString>

namespace hk {

struct TStartOptions {
    QString dataFile;          // empty: the one named by the settings file
    QString rulesFile;         // empty: the colour rule file beside the program
    QString loadScale;         // empty: the one of the settings file
    bool noInitialise = false; // true: "初期化" starts unticked
    bool showAll = false;      // true: every group on before the first build
};

} // namespace hk
