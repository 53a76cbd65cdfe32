// Answers the queries of the automation channel from the main window's controls and scene.
#include "app/window/automation.h"

#include "app/clash_text.h"
#include "app/scene_builder.h"
#include "app/window/clash_list_window.h"
#include "app/window/clash_review.h"
#include "app/window/collision_lamp.h"
#include "app/window/form1.h"
#include "app/window/message_pane.h"
#include "app/window/scene_viewer.h"
#include "app/window/string_grid.h"
#include "engine/vector_geometry.h"
#include "primitives/shapes/dummy_cube.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QStringList>
#include <QTableView>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace hk {

namespace {

QString RectText(const QRect& r) {
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString Error(const QString& reason) {
    return QStringLiteral("error ") + reason;
}

// The text a control shows, or none for a control without one.
std::optional<QString> ControlText(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w))
        return label->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w))
        return edit->text();
    if (const auto* pane = qobject_cast<const QPlainTextEdit*>(&w))
        return pane->toPlainText();
    if (const auto* pane = qobject_cast<const TMessagePane*>(&w))
        return pane->Text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w))
        return button->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(&w))
        return box->title();
    return std::nullopt;
}

bool ParseInt(const QString& text, int* value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

} // namespace

QString EscapeLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n') || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
            out += QStringLiteral("\\n");
        else if (c != QLatin1Char('\r'))
            out += c;
    }
    return out;
}

bool TAutomation::IsRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] && std::strcmp(argv[i], "--automation") == 0)
            return true;
    return false;
}

TAutomation::TAutomation(TForm1& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("Automation"));
    notifier_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TAutomation::ReadInput);
}

// Reads what arrived (the notifier says it will not block) and answers every complete line.
void TAutomation::ReadInput() {
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        notifier_->setEnabled(false);
        return;
    }
    pending_.append(buffer, int(got));
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QString query = QString::fromUtf8(pending_.left(end)).trimmed();
        pending_.remove(0, end + 1);
        if (query.isEmpty())
            continue;
        const QByteArray answer = Answer(query).toUtf8() + '\n';
        std::fwrite(answer.constData(), 1, std::size_t(answer.size()), stdout);
        std::fflush(stdout);
    }
}

QString TAutomation::Answer(const QString& query) {
    const QStringList words = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString& verb = words.front();
    if (words.size() == 1) {
        if (verb == QLatin1String("lamp")) {
            const QColor c = form_.Shape1->FillColor();
            return QStringLiteral("%1 %2 %3").arg(c.red()).arg(c.green()).arg(c.blue());
        }
        if (verb == QLatin1String("objects"))
            return QString::number(form_.Fixed.GLDummyCube1->Count());
        if (verb == QLatin1String("datafile"))
            return EscapeLine(QFile::decodeName(form_.Document().dataFileName.c_str()));
        if (verb == QLatin1String("focus")) {
            const QWidget* focus = QApplication::focusWidget();
            return focus ? focus->window()->objectName() : QString();
        }
        if (verb == QLatin1String("frames"))
            return QString::number(form_.GLSceneViewer1->Buffer().FrameCount());
        if (verb == QLatin1String("clashes") || verb == QLatin1String("highlighted"))
            return ClashAnswer(words);
    }
    if (words.size() == 2 && (verb == QLatin1String("geometry") || verb == QLatin1String("text") ||
                              verb == QLatin1String("checked")))
        return ControlAnswer(verb, words[1]);
    if ((words.size() == 2 && verb == QLatin1String("rows")) ||
        (words.size() == 4 &&
         (verb == QLatin1String("cell") || verb == QLatin1String("cellgeometry"))))
        return GridAnswer(words);
    if (words.size() == 4 && verb == QLatin1String("project"))
        return ProjectAnswer(words);
    if (words.size() == 2 &&
        (verb == QLatin1String("clash") || verb == QLatin1String("clashgeometry")))
        return ClashAnswer(words);
    return Error(QStringLiteral("unknown query: ") + query);
}

QString TAutomation::ControlAnswer(const QString& verb, const QString& name) const {
    const QWidget* w = name == form_.objectName() ? &form_ : form_.findChild<const QWidget*>(name);
    if (!w)
        return Error(QStringLiteral("no control ") + name);
    if (verb == QLatin1String("geometry"))
        return RectText(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
    if (verb == QLatin1String("checked")) {
        const auto* button = qobject_cast<const QAbstractButton*>(w);
        if (!button || !button->isCheckable())
            return Error(name + QStringLiteral(" cannot be checked"));
        return button->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    const std::optional<QString> text = ControlText(*w);
    if (!text)
        return Error(name + QStringLiteral(" shows no text"));
    return EscapeLine(*text);
}

QString TAutomation::GridAnswer(const QStringList& words) const {
    const TStringGrid* grid = form_.findChild<const TStringGrid*>(words[1]);
    if (!grid)
        return Error(QStringLiteral("no grid ") + words[1]);
    if (words[0] == QLatin1String("rows"))
        return QString::number(grid->RowCount());
    int col = 0, row = 0;
    if (!ParseInt(words[2], &col) || !ParseInt(words[3], &row) || col < 0 || row < 0 ||
        col >= grid->ColCount() || row >= grid->RowCount())
        return Error(QStringLiteral("no cell %1 %2").arg(words[2], words[3]));
    if (words[0] == QLatin1String("cell"))
        return EscapeLine(grid->Cell(col, row));
    const QRect cell = grid->visualRect(grid->model()->index(row, col));
    const QRect shown = cell.intersected(grid->viewport()->rect());
    if (shown.isEmpty())
        return Error(QStringLiteral("cell %1 %2 is scrolled out of view").arg(col).arg(row));
    return RectText(QRect(grid->viewport()->mapToGlobal(shown.topLeft()), shown.size()));
}

// Data-file units to the model root's frame as the scene builder maps them, then through the
// model root's world matrix, the view and the projection of the last frame to view pixels.
QString TAutomation::ProjectAnswer(const QStringList& words) {
    double p[3];
    for (int axis = 0; axis < 3; ++axis) {
        bool ok = false;
        p[axis] = words[axis + 1].toDouble(&ok);
        if (!ok)
            return Error(QStringLiteral("not a number: ") + words[axis + 1]);
    }
    const TDocument& doc = form_.Document();
    const TAffineVector local = AffineVectorMake(
        MapCoordinate(doc, 0, p[0]), MapCoordinate(doc, 1, p[1]), MapCoordinate(doc, 2, p[2]));
    const TAffineVector world = AffineTransform(local, form_.Fixed.GLDummyCube1->WorldMatrix());
    TGLSceneBuffer& buffer = form_.GLSceneViewer1->Buffer();
    const TVector clip = TransformVector(
        TransformVector(VectorMake(world, 1), buffer.ModelViewMatrix()), buffer.ProjectionMatrix());
    if (clip.w <= 0)
        return Error(QStringLiteral("the point is behind the camera"));
    const TRectangle& vp = buffer.Viewport();
    const double ratio = form_.GLSceneViewer1->devicePixelRatioF();
    const double x = vp.Left + (clip.x / clip.w + 1) / 2 * vp.Width;
    const double yUp = vp.Top + (clip.y / clip.w + 1) / 2 * vp.Height;
    const QPoint inView(int(std::lround(x / ratio)), int(std::lround((vp.Height - yUp) / ratio)));
    const QPoint global = form_.GLSceneViewer1->mapToGlobal(inView);
    return QStringLiteral("%1 %2").arg(global.x()).arg(global.y());
}

QString TAutomation::ClashAnswer(const QStringList& words) const {
    TClashListWindow& list = form_.ClashReview().List();
    if (words[0] == QLatin1String("clashes"))
        return QString::number(list.ViewRowCount());
    if (words[0] == QLatin1String("highlighted")) {
        QStringList lines;
        for (int line : form_.ClashReview().HighlightedLines())
            lines << QString::number(line);
        return lines.join(QLatin1Char(' '));
    }
    int row = 0;
    const TClash* clash = ParseInt(words[1], &row) ? list.ClashAtViewRow(row) : nullptr;
    if (!clash || row < 0)
        return Error(QStringLiteral("no clash row ") + words[1]);
    if (words[0] == QLatin1String("clash")) {
        const std::string line = ClashLine(*clash);
        return EscapeLine(QString::fromUtf8(line.data(), qsizetype(line.size())));
    }
    QTableView& table = list.Table();
    const QRect first = table.visualRect(table.model()->index(row, 0));
    const QRect last =
        table.visualRect(table.model()->index(row, table.model()->columnCount() - 1));
    const QRect shown = first.united(last).intersected(table.viewport()->rect());
    if (!list.isVisible() || shown.isEmpty())
        return Error(QStringLiteral("clash row %1 is not shown").arg(row));
    return RectText(QRect(table.viewport()->mapToGlobal(shown.topLeft()), shown.size()));
}

} // namespace hk
