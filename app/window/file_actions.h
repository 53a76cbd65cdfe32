// TFileActions: the reload controls of the "描　画" group box: the watch tick of Timer2 (acting
// while "自動更新" is ticked), the "再読込" button and the "ファイル指定" button with its file
// dialog. The sequences themselves are TFileWatch's; this class hands them the controls'
// values and keeps the timer running whatever the load does.
#pragma once

#include "app/file_watch.h"

#include <QObject>

class QFileDialog;

namespace hk {

class TForm1;

class TFileActions : public QObject {
    Q_OBJECT
public:
    // The dialog's default extension and its two filters.
    static const char* const cDefaultExtension;
    static const char* const cFilter;

    // Connects to the form's buttons; `steps` rebuild, refill, repaint and report for the
    // form. Timer2 is left to the form, whose tick calls Timer2Timer. A child of the form,
    // named "FileActions".
    TFileActions(TForm1& form, TReloadSteps steps);

    // One watch tick. Timer2 is stopped while it runs (so ticks never pile up behind a long
    // load) and always started again. When the watch waits for a half-written save to settle,
    // one more tick follows shortly.
    void Timer2Timer();
    // "再読込".
    void Button3Click();
    // "ファイル指定": shows the file dialog; a cancelled dialog changes nothing.
    void Button4Click();

    // Gives the form's dialog the extension and filters of the data file.
    static void SetUpDialog(QFileDialog& dialog);

private:
    TLoadControls Controls() const;

    TForm1& form_;
    TFileWatch watch_;
};

} // namespace hk
