#pragma once

#include <QFont>

namespace Nimbrel::WindowFont
{

// The font both windows are drawn in, given the one the desktop offers them.
// The design's 8 pt face was its platform's dialog font: Windows keeps 8 pt;
// elsewhere the desktop's general font is used, face and size, so that a user
// who raised it gets larger text here too. Never below 8 pt.
QFont forWindow(const QFont &desktopFont);

// The e-mail address's font: underlined, like a link. On Windows the design's
// own face; elsewhere the window's font.
QFont forLink(const QFont &windowFont);

} // namespace Nimbrel::WindowFont
