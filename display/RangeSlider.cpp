#include "display/RangeSlider.h"

#include <qdrawutil.h>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {
// Keyboard moves compare in steps; this much of a step is rounding, not a move past the end.
constexpr double kStepTolerance = 1e-6;
}  // namespace

CRangeSlider::CRangeSlider(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CRangeSlider::Normalize() {
    if (m_left < m_min) {
        m_left = m_min;
        emit rangeChanged(LeftThumb);
    }
    if (m_right < m_left) {
        m_right = m_left;
        emit rangeChanged(RightThumb);
    }
    if (m_right > m_max) {
        m_right = m_max;
        emit rangeChanged(RightThumb);
    }
    if (m_left > m_right) {
        m_left = m_right;
        emit rangeChanged(LeftThumb);
    }
}

void CRangeSlider::SetMinMax(double min, double max) {
    m_min = min;
    m_max = max;
    Normalize();
    update();
}

void CRangeSlider::SetRange(double left, double right) {
    m_left = left;
    m_right = right;
    Normalize();
    update();
}

void CRangeSlider::SetVisualMinMax(double a, double b) {
    if (a > b) {
        std::swap(a, b);
    }
    m_visualMin = std::clamp(a, m_min, std::max(m_min, m_max));
    m_visualMax = std::clamp(b, m_min, std::max(m_min, m_max));
    update();
}

void CRangeSlider::SetVisualMode(bool on) {
    if (m_visualMode != on) {
        m_visualMode = on;
        update();
    }
}

void CRangeSlider::SetRangeColor(QColor color) {
    if (m_rangeColor != color) {
        m_rangeColor = color;
        update();
    }
}

void CRangeSlider::SetHorizontal(bool horizontal) {
    m_horizontal = horizontal;
    update();
}

int CRangeSlider::Thickness() const {
    return m_horizontal ? height() : width();
}

int CRangeSlider::ArrowWidth() const {
    return Thickness() * 3 / 4;
}

int CRangeSlider::TrackLength() const {
    return (m_horizontal ? width() : height()) - 2 * ArrowWidth();
}

int CRangeSlider::PixelOf(double value) const {
    if (m_max == m_min) {
        return 0;
    }
    return int((value - m_min) / (m_max - m_min) * TrackLength() + 0.5);
}

double CRangeSlider::ValueAt(double pixels) const {
    const int length = TrackLength();
    if (length <= 0) {
        return m_min;
    }
    return pixels / length * (m_max - m_min) + m_min;
}

int CRangeSlider::AlongTrack(QPoint point) const {
    return m_horizontal ? point.x() : point.y();
}

std::pair<int, int> CRangeSlider::PartSpan(Part part) const {
    const int a = ArrowWidth();
    const int left = PixelOf(m_left);
    const int right = PixelOf(m_right);
    switch (part) {
        case LeftThumb:
            return {left, left + a};
        case RightThumb:
            return {a + right, 2 * a + right};
        case Middle:
            return {left + a, a + right};
        case NoPart:
            break;
    }
    return {0, 0};
}

QRect CRangeSlider::SpanToRect(int start, int end) const {
    if (m_horizontal) {
        return QRect(start, 0, end - start, height());
    }
    return QRect(0, start, width(), end - start);
}

QRect CRangeSlider::PartRect(Part part) const {
    const auto [start, end] = PartSpan(part);
    return SpanToRect(start, end);
}

bool CRangeSlider::event(QEvent* event) {
    // The arrow keys belong to the slider, not to any shortcut of the window around it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up ||
            key->key() == Qt::Key_Down) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void CRangeSlider::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int at = AlongTrack(event->position().toPoint());
    for (Part part : {LeftThumb, RightThumb, Middle}) {
        const auto [start, end] = PartSpan(part);
        if (at >= start && at < end) {
            m_trackingPart = part;
            // Offset from the part's centre, so a grab off-centre does not make it jump.
            const int centre = part == Middle ? (start + end) / 2 : start + ArrowWidth() / 2;
            m_clickOffset = at - centre;
            update();
            return;
        }
    }
}

void CRangeSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_trackingPart == NoPart) {
        return;
    }
    const int a = ArrowWidth();
    const double x = AlongTrack(event->position().toPoint()) - m_clickOffset;
    int code = m_trackingPart;
    if (m_trackingPart == LeftThumb) {
        m_left = std::clamp(ValueAt(x - a / 2), m_min, m_right);
    } else if (m_trackingPart == RightThumb) {
        const double before = m_right;
        m_right = std::clamp(ValueAt(x - 3 * a / 2), m_left, m_max);
        code = m_right != before ? RightThumb : LeftThumb;
    } else {
        const double centre = ValueAt(x - a);
        const double width = m_right - m_left;
        m_left = centre - width / 2;
        m_right = centre + width / 2;
        if (m_left < m_min) {
            m_left = m_min;
            m_right = m_min + width;
        }
        if (m_right > m_max) {
            m_right = m_max;
            m_left = m_max - width;
        }
    }
    emit rangeChanged(code);
    update();
}

void CRangeSlider::mouseReleaseEvent(QMouseEvent*) {
    if (m_trackingPart != NoPart) {
        m_trackingPart = NoPart;
        update();
    }
}

void CRangeSlider::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int direction = 0;
    if (m_horizontal) {
        direction = event->key() == Qt::Key_Left ? -1 : (event->key() == Qt::Key_Right ? 1 : 0);
    } else {
        direction = event->key() == Qt::Key_Up ? -1 : (event->key() == Qt::Key_Down ? 1 : 0);
    }
    if (direction == 0 || ctrl || TrackLength() <= 0 || m_max <= m_min) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const double step = (m_max - m_min) / TrackLength();
    const bool rightOnly = event->modifiers() & Qt::ShiftModifier;
    const double left = rightOnly ? m_left : m_left + direction * step;
    const double right = m_right + direction * step;
    const double tolerance = step * kStepTolerance;
    if (left < m_min - tolerance || right > m_max + tolerance || right < left - tolerance) {
        return;
    }
    m_left = std::max(left, m_min);
    m_right = std::clamp(right, m_left, m_max);
    emit rangeChanged(rightOnly ? LeftThumb : Middle);
    update();
}

void CRangeSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int h = Thickness();
    const int length = m_horizontal ? width() : height();
    if (!m_horizontal) {
        // Draw the horizontal form with the axes swapped.
        painter.setTransform(QTransform(0, 1, 1, 0, 0, 0));
    }
    const QPalette pal = palette();

    painter.setPen(Qt::black);
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(0, 0, length - 1, h - 1);

    const auto [bandStart, bandEnd] = PartSpan(Middle);
    if (bandEnd > bandStart) {
        const QRect band(bandStart, 1, bandEnd - bandStart, h - 2);
        painter.fillRect(band, Qt::white);
        if (m_visualMode && m_visualMax > m_visualMin) {
            const int a = ArrowWidth();
            const QRect visual(QPoint(a + PixelOf(m_visualMin), 1),
                               QPoint(a + PixelOf(m_visualMax) - 1, h - 2));
            painter.fillRect(band.intersected(visual), m_rangeColor);
        }
    }

    for (Part part : {LeftThumb, RightThumb}) {
        const auto [start, end] = PartSpan(part);
        const QRect box(start, 0, end - start, h);
        const QBrush face = pal.brush(QPalette::Button);
        if (m_trackingPart == part) {
            painter.fillRect(box, face);
        } else {
            qDrawWinButton(&painter, box, pal, false, &face);
        }
        const int a = end - start;
        const int x0 = box.left() + a / 4;
        const int x1 = box.right() - a / 4;
        const int y0 = box.top() + h / 4;
        const int y1 = box.bottom() - h / 4;
        const int mid = (y0 + y1) / 2;
        QPolygon triangle;
        if (part == LeftThumb) {
            triangle << QPoint(x0, y0) << QPoint(x1, mid) << QPoint(x0, y1);
        } else {
            triangle << QPoint(x1, y0) << QPoint(x0, mid) << QPoint(x1, y1);
        }
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        painter.drawPolygon(triangle);
    }

    if (hasFocus()) {
        QPen dotted(Qt::black, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(3, 3, length - 7, h - 7);
    }
}
