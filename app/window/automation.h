// The automation channel of "hkviewer --automation": besides working normally, the main window
// answers line-based queries read from standard input with one line each on standard output,
// on the Qt event loop. It only observes; every action on the window comes as real input.
//
// Queries (fields separated by blanks; names are the controls' object names):
//   geometry NAME          -> "x y w h", the widget's rectangle in global screen pixels
//   text NAME              -> the text of a label, line edit, button or text pane
//   checked NAME           -> "1" or "0" for a check box or radio button
//   lamp                   -> "r g b", the fill colour of the collision lamp Shape1
//   rows GRID              -> the row count of a string grid
//   cell GRID COL ROW      -> the text of a grid cell
//   cellgeometry GRID COL ROW -> "x y w h" of the visible part of a cell, global pixels
//   project X Y Z          -> "x y", the global pixel where the data-file point (X, Y, Z) is
//                             drawn, through the matrices of the last frame; a pick
//                             leaves its own narrow ones, so ask before clicking
//   objects                -> the number of objects built from the data file
//   datafile               -> the name of the data file in use
//   frames                 -> the number of frames the 3D view has drawn
//   clashes                -> the number of rows the clash list "衝突一覧" shows (its filters
//                             applied)
//   clash K                -> row K (from 0, in the list's current order) as the batch mode's
//                             --clashes line, its fields separated by tabs
//   clashgeometry K        -> "x y w h" of the visible part of row K, global pixels
//   highlighted            -> the data-file lines of the highlighted objects, blank-separated
//                             (A's first); empty when no clash is selected
//   focus                  -> the object name of the window holding the keyboard focus;
//                             empty when no window of the program has it
// Texts are UTF-8 with "\" written as "\\" and a line break as "\n". A query that cannot be
// answered gets "error " and the reason. End of input closes the channel, not the window.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;

namespace hk {

class TForm1;

class TAutomation : public QObject {
    Q_OBJECT
public:
    // True when the command line holds --automation.
    static bool IsRequested(int argc, char** argv);

    // Listens on standard input for the lifetime of this object; `form` must outlive it.
    explicit TAutomation(TForm1& form);

    // The answer line (without its line end) to one query line.
    QString Answer(const QString& query);

private:
    void ReadInput();
    QString ControlAnswer(const QString& verb, const QString& name) const;
    QString GridAnswer(const QStringList& words) const;
    QString ProjectAnswer(const QStringList& words);
    QString ClashAnswer(const QStringList& words) const;

    TForm1& form_;
    QSocketNotifier* notifier_ = nullptr;
    QByteArray pending_;
};

// "\" as "\\" and line breaks as "\n", so that a text fits on one line.
QString EscapeLine(const QString& text);

} // namespace hk
