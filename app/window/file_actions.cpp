// The watch tick, "再読込" and "ファイル指定" of the main window.
#include "app/window/file_actions.h"

#include "app/window/form1.h"
#include "app/window/qt_sjis.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <chrono>

namespace hk {

namespace {

// Stops a timer for the length of a handler and starts it again at the end when it was
// running, also when the handler leaves through an exception.
class TTimerPause {
public:
    explicit TTimerPause(QTimer& timer) : timer_(timer), wasActive_(timer.isActive()) {
        timer_.stop();
    }
    ~TTimerPause() {
        if (wasActive_) {
            timer_.start();
        }
    }
    TTimerPause(const TTimerPause&) = delete;
    TTimerPause& operator=(const TTimerPause&) = delete;

private:
    QTimer& timer_;
    bool wasActive_;
};

// A filter of alternating descriptions and patterns, "text|pattern|text|pattern", as Qt's
// name filters "text (pattern)".
QStringList NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    }
    return filters;
}

// A little over the settle time, so that the next look finds the file settled.
constexpr int cSettleCheckMs = static_cast<int>(cWatchSettleSeconds * 1000) + 20;

} // namespace

const char* const TFileActions::cDefaultExtension = ".csv";
const char* const TFileActions::cFilter = "csv file|*.csv|DLINE.csv|dline.csv";

TFileActions::TFileActions(TForm1& form, TReloadSteps steps)
    : QObject(&form), form_(form), watch_(form.Document(), form.MessageLog(), std::move(steps)) {
    setObjectName(QStringLiteral("FileActions"));
    connect(form.Button3, &QPushButton::clicked, this, &TFileActions::Button3Click);
    connect(form.Button4, &QPushButton::clicked, this, &TFileActions::Button4Click);
}

void TFileActions::SetUpDialog(QFileDialog& dialog) {
    // Qt adds the suffix without its leading dot.
    dialog.setDefaultSuffix(QString::fromLatin1(cDefaultExtension));
    dialog.setNameFilters(NameFilters(QString::fromLatin1(cFilter)));
}

TLoadControls TFileActions::Controls() const {
    TLoadControls controls;
    controls.scaleBoxText = ToSjis(form_.Edit1->text());
    controls.initialise = form_.CheckBox2->isChecked();
    return controls;
}

void TFileActions::Timer2Timer() {
    // A repeating timer is running while its handler runs, so the pause starts it again.
    TTimerPause pause(*form_.Timer2);
    if (watch_.Tick(form_.CheckBox3->isChecked(), Controls()) == TReloadOutcome::roWaiting) {
        // A save is still being written: look again once it may have settled.
        QTimer::singleShot(std::chrono::milliseconds(cSettleCheckMs), this,
                           &TFileActions::Timer2Timer);
    }
}

void TFileActions::Button3Click() {
    TTimerPause pause(*form_.Timer2);
    watch_.Reload(Controls());
}

void TFileActions::Button4Click() {
    TTimerPause pause(*form_.Timer2);
    QFileDialog& dialog = *form_.OpenDialog1();
    SetUpDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return;
    }
    watch_.Choose(QFile::encodeName(files.first()).toStdString(), Controls());
}

} // namespace hk
