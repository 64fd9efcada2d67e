#pragma once
// A text label that paints its own background and text in a colour and font set piece by piece,
// each setter taking effect at once.

#include <QColor>
#include <QFont>
#include <QLabel>

class CLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CLabel(QWidget* parent = nullptr);
    explicit CLabel(const QString& text, QWidget* parent = nullptr);

    CLabel& SetTextColor(QColor color);
    CLabel& SetBkColor(QColor color);
    CLabel& SetFontName(const QString& family);
    // Character height in pixels.
    CLabel& SetFontSize(int pixels);
    CLabel& SetFontBold(bool bold);
    // Weight on the 0..1000 scale where 400 is normal and 700 bold (0 = normal).
    CLabel& SetFontWeight(int weight);
    CLabel& SetFontItalic(bool italic);
    CLabel& SetFontUnderline(bool underline);

    QColor TextColor() const { return m_textColor; }
    QColor BkColor() const { return m_bkColor; }
    QFont LabelFont() const { return m_font; }
    int FontWeight() const { return m_weight; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void RebuildFont();

    QColor m_textColor;
    QColor m_bkColor;
    QString m_family;
    int m_pixelSize = 0;
    int m_weight = 400;
    bool m_italic = false;
    bool m_underline = false;
    QFont m_font;
};
