#pragma once
// The small images of the operator screen: the connection lamps, the scale buttons and the
// markers in front of the information rows.

#include <QColor>
#include <QImage>
#include <QString>

namespace screen_images {

inline constexpr QColor kCrimson{163, 5, 50};
inline constexpr QColor kDotGreen{112, 173, 71};
inline constexpr QColor kDotGrey{191, 191, 191};
inline constexpr QColor kDotRed{255, 0, 0};
inline constexpr QColor kMarkerBackground{55, 55, 55};

// The dot's colour for a connection state: 1 green, -1 red, anything else grey.
QColor LampDotColour(int connectionState);
// 30 x 30: a dot of `dot` on crimson.
QImage LampImage(QColor dot);
// 24 pixels wide, `height` high: a small mark of `mark` on the row's caption grey.
QImage RowMarkerImage(int height, QColor mark);
// The result row's mark: green while running and for OK, red for NG and a stopped run, white
// otherwise.
QColor ResultMarkerColour(const QString& resultText);

}  // namespace screen_images
