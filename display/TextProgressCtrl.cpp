#include "display/TextProgressCtrl.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Shared by every marquee bar, as the bars move in step.
int g_marqueeDirection = 1;
}  // namespace

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent) : QWidget(parent) {
    connect(&m_marqueeTimer, &QTimer::timeout, this, &CTextProgressCtrl::MarqueeTick);
}

std::uint32_t CTextProgressCtrl::PackRange(int lo, int hi) {
    return (std::uint32_t(lo) & 0xFFFFu) | ((std::uint32_t(hi) & 0xFFFFu) << 16);
}

std::uint32_t CTextProgressCtrl::SetRange(int lo, int hi) {
    const std::uint32_t old = PackRange(m_min, m_max);
    m_min = lo;
    m_max = hi;
    update();
    return old;
}

std::uint32_t CTextProgressCtrl::SetRange32(int lo, int hi) {
    return SetRange(lo, hi);
}

void CTextProgressCtrl::GetRange(int* lo, int* hi) const {
    if (lo) {
        *lo = m_min;
    }
    if (hi) {
        *hi = m_max;
    }
}

std::int64_t CTextProgressCtrl::Top() const {
    if (!m_marquee) {
        return m_max;
    }
    return std::int64_t(m_max) * (std::int64_t(100) + m_marqueeSize) / 100;
}

int CTextProgressCtrl::MoveTo(std::int64_t pos) {
    const int old = m_pos;
    const std::int64_t top = std::min<std::int64_t>(Top(), std::numeric_limits<int>::max());
    m_pos = int(pos < m_min ? m_min : (pos > top ? top : pos));
    repaint();
    return old;
}

int CTextProgressCtrl::SetPos(int pos) {
    return MoveTo(pos);
}

int CTextProgressCtrl::OffsetPos(int delta) {
    return MoveTo(std::int64_t(m_pos) + delta);
}

int CTextProgressCtrl::SetStep(int step) {
    const int old = m_step;
    m_step = step;
    return old;
}

int CTextProgressCtrl::StepIt() {
    std::int64_t next = std::int64_t(m_pos) + m_step;
    if (next > m_max) {
        next = m_min + (next - m_max);
    } else if (next < m_min) {
        next = m_max - (m_min - next);
    }
    return MoveTo(next);
}

QColor CTextProgressCtrl::ReplaceColor(QColor& slot, QColor color) {
    const QColor old = slot;
    slot = color;
    update();
    return old;
}

QColor CTextProgressCtrl::SetBarColor(QColor color) {
    return ReplaceColor(m_barColor, color);
}

QColor CTextProgressCtrl::SetBkColor(QColor color) {
    return ReplaceColor(m_bkColor, color);
}

QColor CTextProgressCtrl::SetTextColor(QColor color) {
    return ReplaceColor(m_textColor, color);
}

QColor CTextProgressCtrl::SetTextBkColor(QColor color) {
    return ReplaceColor(m_textBkColor, color);
}

QColor CTextProgressCtrl::GetBarColor() const {
    return m_barColor.isValid() ? m_barColor : palette().color(QPalette::Highlight);
}

QColor CTextProgressCtrl::GetBkColor() const {
    return m_bkColor.isValid() ? m_bkColor : palette().color(QPalette::Button);
}

QColor CTextProgressCtrl::GetTextColor() const {
    return m_textColor.isValid() ? m_textColor : palette().color(QPalette::WindowText);
}

QColor CTextProgressCtrl::GetTextBkColor() const {
    return m_textBkColor.isValid() ? m_textBkColor : palette().color(QPalette::Base);
}

void CTextProgressCtrl::SetShowPercent(bool on) {
    m_showPercent = on;
    update();
}

void CTextProgressCtrl::SetAlignment(int alignment) {
    m_alignment = alignment;
    update();
}

void CTextProgressCtrl::SetMarqueeSize(int percent) {
    m_marqueeSize = percent;
    update();
}

void CTextProgressCtrl::SetMarquee(bool on, int interval_ms) {
    m_showPercent = false;
    m_marquee = on;
    if (on) {
        m_marqueeTimer.start(interval_ms);
    } else {
        m_marqueeTimer.stop();
    }
    update();
}

void CTextProgressCtrl::MarqueeTick() {
    // The rounded turning point can lie one past the last position the bar may take (10 x 125 %
    // = 12.5 turns at 13, the bar stops at 12); turning there as well keeps it from sticking.
    const std::int64_t turn = std::min<std::int64_t>(
        std::llround(double(m_max) * (100.0 + m_marqueeSize) / 100.0), Top());
    if (g_marqueeDirection > 0 && m_pos >= turn) {
        g_marqueeDirection = -1;
    } else if (g_marqueeDirection < 0 && m_pos <= m_min) {
        g_marqueeDirection = 1;
    }
    MoveTo(std::int64_t(m_pos) + g_marqueeDirection);
}

void CTextProgressCtrl::SetVertical(bool vertical) {
    m_vertical = vertical;
    update();
}

void CTextProgressCtrl::SetText(const QString& text) {
    m_text = text;
    update();
}

double CTextProgressCtrl::Fraction() const {
    return (double(m_pos) - m_min) / (double(m_max) - m_min);
}

QString CTextProgressCtrl::DisplayText() const {
    if (!DrawsAnything()) {
        return {};
    }
    if (m_showPercent) {
        return QString::asprintf("%d%%", int(Fraction() * 100.0 + 0.5));
    }
    return m_text;
}

QRect CTextProgressCtrl::BarSpan(int length, int thickness) const {
    const int end = int(length * Fraction());
    int start = 0;
    if (m_marquee) {
        start = end - length * m_marqueeSize / 100;
    }
    return QRect(QPoint(start, 0), QPoint(end - 1, thickness - 1));
}

QRect CTextProgressCtrl::TextSpan(int length, int thickness) const {
    const QString text = DisplayText();
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    int x = (length - textWidth) / 2;
    if (m_alignment == AlignLeft) {
        x = 2;
    } else if (m_alignment == AlignRight) {
        x = length - textWidth - 3;
    }
    return QRect(x, (thickness - textHeight) / 2, textWidth, textHeight);
}

QRect CTextProgressCtrl::BarRect() const {
    if (!DrawsAnything()) {
        return {};
    }
    if (!m_vertical) {
        return BarSpan(width(), height()).intersected(rect());
    }
    // Along the height, growing up from the bottom edge.
    const QRect span = BarSpan(height(), width());
    return QRect(QPoint(0, height() - 1 - span.right()),
                 QPoint(width() - 1, height() - 1 - span.left()))
        .intersected(rect());
}

QRect CTextProgressCtrl::TextRect() const {
    if (!DrawsAnything()) {
        return {};
    }
    return m_vertical ? TextSpan(height(), width()) : TextSpan(width(), height());
}

void CTextProgressCtrl::paintEvent(QPaintEvent*) {
    if (!DrawsAnything()) {
        return;
    }
    QPainter painter(this);
    int length = width();
    int thickness = height();
    if (m_vertical) {
        // Draw in a frame turned a quarter to the left, so the bar's start is the bottom edge
        // and the text reads upwards.
        painter.translate(0, height());
        painter.rotate(-90);
        std::swap(length, thickness);
    }
    const QRect whole(0, 0, length, thickness);
    const QRect bar = BarSpan(length, thickness).intersected(whole);

    painter.fillRect(whole, GetBkColor());
    if (!bar.isEmpty()) {
        painter.fillRect(bar, GetBarColor());
    }

    const QString text = DisplayText();
    if (text.isEmpty()) {
        return;
    }
    const QRect textRect = TextSpan(length, thickness);
    painter.setFont(font());

    // Once per part, each clipped to its part.
    QRegion background(whole);
    if (!bar.isEmpty()) {
        background -= QRegion(bar);
        painter.setClipRegion(QRegion(bar));
        painter.setPen(GetTextBkColor());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    painter.setClipRegion(background);
    painter.setPen(GetTextColor());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}
