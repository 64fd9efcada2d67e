#include "station/HeaderIcon.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

HeaderIcon::HeaderIcon(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    setCursor(Qt::PointingHandCursor);
}

void HeaderIcon::PaintLogo(QPainter& p, const QRectF& r) {
    p.fillRect(r, QColor(20, 60, 120));
    const double unit = r.height() / 39.0;
    p.setPen(QPen(QColor(255, 255, 255), 3 * unit));
    // Three arcs: sound spreading from a source.
    for (int i = 1; i <= 3; ++i) {
        const double s = 7.0 * i * unit;
        p.drawArc(QRectF(r.left() + 6 * unit - s / 2, r.center().y() - s, s * 2, s * 2), -45 * 16,
                  90 * 16);
    }
}

QIcon HeaderIcon::StationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintLogo(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void HeaderIcon::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    switch (m_kind) {
        case Logo:
            PaintLogo(p, r);
            break;
        case Minimise:
            p.fillRect(r, QColor(96, 96, 96));
            p.setPen(QPen(Qt::white, 3));
            p.drawLine(QPointF(11, 27), QPointF(28, 27));
            break;
        case Exit:
            p.fillRect(r, QColor(160, 30, 30));
            p.setPen(QPen(Qt::white, 3));
            p.drawLine(QPointF(12, 12), QPointF(27, 27));
            p.drawLine(QPointF(27, 12), QPointF(12, 27));
            break;
    }
}

void HeaderIcon::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}
