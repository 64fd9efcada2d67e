#include "display/ScreenImages.h"

#include <QPainter>

namespace screen_images {

QColor LampDotColour(int connectionState) {
    switch (connectionState) {
        case 1:
            return kDotGreen;
        case -1:
            return kDotRed;
        default:
            return kDotGrey;
    }
}

QImage LampImage(QColor dot) {
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(kCrimson);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dot);
    painter.drawEllipse(QRectF(9, 9, 12, 12));
    return image;
}

QImage RowMarkerImage(int height, QColor mark) {
    QImage image(24, std::max(height, 1), QImage::Format_RGB32);
    image.fill(kMarkerBackground);
    QPainter painter(&image);
    painter.fillRect(QRect(8, image.height() / 2 - 4, 8, 8), mark);
    return image;
}

QColor ResultMarkerColour(const QString& resultText) {
    if (resultText == QStringLiteral("OK") || resultText == QStringLiteral("검사진행 중")) {
        return kDotGreen;
    }
    if (resultText == QStringLiteral("NG") || resultText == QStringLiteral("검사중지")) {
        return kDotRed;
    }
    return Qt::white;
}

}  // namespace screen_images
