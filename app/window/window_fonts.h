// The fonts of the main window. The Japanese Windows faces are asked for first; where
// fontconfig lacks them the IPA Gothic faces take their place, so Shift-JIS captions still show.
#pragma once

#include <QFont>

namespace hk {

// "MS UI Gothic", 11 pixels high: the default font of every control.
QFont FormFont();

// "ＭＳ ゴシック", 11 pixels high, fixed pitch: the log pane's font.
QFont LogPaneFont();

} // namespace hk
