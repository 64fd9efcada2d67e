#include "display/PicturePane.h"

#include <QPainter>

CPicturePane::CPicturePane(QWidget* parent, QColor background)
    : QWidget(parent), m_background(background) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPicturePane::SetImage(const QImage& image, QRect target, bool turned, bool smooth) {
    m_image = image;
    m_target = target;
    m_turned = turned;
    m_smooth = smooth;
    update();
}

void CPicturePane::Clear() {
    m_image = QImage();
    update();
}

void CPicturePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect target = m_target.isNull() ? rect() : m_target;
    if (m_image.isNull() || target != rect()) {
        painter.fillRect(rect(), m_background);
    }
    if (m_image.isNull()) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_smooth);
    painter.drawImage(target, m_turned ? m_image.mirrored(true, true) : m_image);
}
