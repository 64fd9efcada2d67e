#include "display/BaseTabCtrl.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor kClientFill(35, 35, 35);
const QColor kPageFill(70, 70, 70);
const QColor kIdleText(150, 150, 150);
// Room left and right of a caption inside its tab.
constexpr int kCaptionPadding = 6;
}  // namespace

CBaseTabCtrl::CBaseTabCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetBkColor(QColor());
}

int CBaseTabCtrl::AddItem(const QString& caption) {
    m_items << caption;
    if (m_current < 0) {
        m_current = 0;
    }
    update();
    return int(m_items.size()) - 1;
}

QString CBaseTabCtrl::GetItemText(int index) const {
    if (index < 0 || index >= m_items.size()) {
        return {};
    }
    return m_items.at(index);
}

int CBaseTabCtrl::SetCurSel(int index) {
    const int previous = m_current;
    if (index >= 0 && index < m_items.size()) {
        m_current = index;
        update();
    }
    return previous;
}

int CBaseTabCtrl::ItemWidth(int index) const {
    const QFontMetrics metrics(font());
    return metrics.horizontalAdvance(m_items.at(index).left(kMaxCaptionLength)) +
           2 * kCaptionPadding;
}

QRect CBaseTabCtrl::GetItemRect(int index) const {
    if (index < 0 || index >= m_items.size()) {
        return {};
    }
    int x = 0;
    for (int i = 0; i < index; ++i) {
        x += ItemWidth(i);
    }
    return QRect(x, 0, ItemWidth(index), kTabRowHeight);
}

QRect CBaseTabCtrl::PageRect() const {
    return QRect(0, kTabRowHeight, width(), height() - kTabRowHeight);
}

void CBaseTabCtrl::SetBkColor(QColor color) {
    m_bkColor = color;
    // Only what Qt erases on its own shows this colour; the paint covers the whole control.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, GetBkColor());
    setPalette(pal);
    update();
}

QColor CBaseTabCtrl::GetBkColor() const {
    if (!m_bkColor.isValid()) {
        return palette().color(QPalette::Button);
    }
    return m_bkColor;
}

void CBaseTabCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < m_items.size(); ++i) {
        if (GetItemRect(i).contains(at)) {
            if (i != m_current) {
                m_current = i;
                update();
                emit selectionChanged(i);
            }
            return;
        }
    }
}

void CBaseTabCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kClientFill);

    const QRect page = PageRect();
    painter.setPen(Qt::black);
    painter.setBrush(kPageFill);
    painter.drawRect(page.adjusted(0, 0, -1, -1));

    painter.setFont(font());
    for (int i = 0; i < m_items.size(); ++i) {
        const QRect item = GetItemRect(i);
        const bool selected = i == m_current;
        painter.setPen(Qt::black);
        painter.setBrush(selected ? kPageFill : kClientFill);
        painter.drawRect(item.adjusted(0, 0, -1, 0));
        if (selected) {
            // Open the bottom edge so the tab runs into the page area.
            painter.setPen(kPageFill);
            painter.drawLine(item.left() + 1, item.bottom() + 1, item.right() - 1,
                             item.bottom() + 1);
        }
        painter.setPen(selected ? Qt::white : kIdleText);
        painter.drawText(item, Qt::AlignCenter | Qt::TextSingleLine,
                         m_items.at(i).left(kMaxCaptionLength));
    }
}
