#include "display/Label.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>

#include <algorithm>

CLabel::CLabel(QWidget* parent) : CLabel(QString(), parent) {}

CLabel::CLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    // The whole label is painted here, so Qt need not erase behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_textColor = palette().color(QPalette::WindowText);
    m_bkColor = palette().color(QPalette::Button);
    const QFont gui = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    m_family = gui.family();
    m_pixelSize = gui.pixelSize() > 0 ? gui.pixelSize() : QFontInfo(gui).pixelSize();
    m_weight = gui.weight();
    m_italic = gui.italic();
    m_underline = gui.underline();
    RebuildFont();
}

CLabel& CLabel::SetTextColor(QColor color) {
    m_textColor = color;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetBkColor(QColor color) {
    m_bkColor = color;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetFontName(const QString& family) {
    m_family = family;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetFontSize(int pixels) {
    m_pixelSize = pixels;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetFontBold(bool bold) {
    m_weight = bold ? 700 : 400;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetFontWeight(int weight) {
    m_weight = weight;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetFontItalic(bool italic) {
    m_italic = italic;
    RebuildFont();
    return *this;
}

CLabel& CLabel::SetFontUnderline(bool underline) {
    m_underline = underline;
    RebuildFont();
    return *this;
}

void CLabel::RebuildFont() {
    QFont font(m_family);
    if (m_pixelSize > 0) {
        font.setPixelSize(m_pixelSize);
    }
    // 0 means "any weight"; the font scale otherwise matches the 1..1000 one.
    const int weight = m_weight <= 0 ? 400 : std::clamp(m_weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    m_font = font;
    setFont(font);
    repaint();
}

void CLabel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), m_bkColor);
    drawFrame(&painter);
    if (text().isEmpty() && !pixmap().isNull()) {
        painter.end();
        QLabel::paintEvent(event);
        return;
    }
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    int flags = int(alignment());
    if (wordWrap()) {
        flags |= Qt::TextWordWrap;
    }
    painter.drawText(contentsRect(), flags, text());
}
