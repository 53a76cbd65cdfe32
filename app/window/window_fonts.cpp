// Font families with their fallbacks.
#include "app/window/window_fonts.h"

#include <QStringList>

namespace hk {

namespace {

constexpr int cFontPixelHeight = 11;

QFont MakeFont(const QStringList& families) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(cFontPixelHeight);
    return font;
}

} // namespace

QFont FormFont() {
    return MakeFont({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"),
                     QStringLiteral("IPAGothic")});
}

QFont LogPaneFont() {
    QFont font = MakeFont({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                           QStringLiteral("IPAGothic")});
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace hk
