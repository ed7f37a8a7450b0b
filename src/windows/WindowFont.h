#pragma once

#include <QFont>

namespace Nimbrel::WindowFont
{

// The font both windows are drawn in, given the one the desktop offers them.
// The design's face was its platform's dialog font: Windows keeps it, 8 pt MS
// Sans Serif; elsewhere the desktop's general font is used, face and size, so
// that a user who raised it gets larger text here too. Never below 8 pt.
QFont forWindow(const QFont &desktopFont);

// The e-mail address's font: underlined, like a link. On Windows the design's
// own face; elsewhere the window's font.
QFont forLink(const QFont &windowFont);

} // namespace Nimbrel::WindowFont
