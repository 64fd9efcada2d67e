#include "display/ImageButton.h"

#include <QPainter>

CImageButton::CImageButton(const QImage& image, QWidget* parent)
    : QAbstractButton(parent), m_image(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void CImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(rect(), m_image);
}
