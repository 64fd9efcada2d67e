#pragma once
// A progress bar that prints a percentage or its own text over the bar, in separate colours over
// the filled and the empty part. Colours left invalid follow the system palette.

#include <QColor>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>

class CTextProgressCtrl : public QWidget {
    Q_OBJECT
  public:
    enum Alignment { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };

    explicit CTextProgressCtrl(QWidget* parent = nullptr);

    // Range as a packed word pair: low 16 bits the minimum, high 16 bits the maximum.
    static std::uint32_t PackRange(int lo, int hi);

    // Each returns the previous range, packed.
    std::uint32_t SetRange(int lo, int hi);
    std::uint32_t SetRange32(int lo, int hi);
    int GetRange(bool wantMin) const { return wantMin ? m_min : m_max; }
    void GetRange(int* lo, int* hi) const;

    // Position setters return the previous position.
    int SetPos(int pos);
    int OffsetPos(int delta);
    int SetStep(int step);
    int StepIt();
    int GetPos() const { return m_pos; }
    int GetStep() const { return m_step; }

    // Colour setters return the previous stored value (invalid = system default).
    QColor SetBarColor(QColor color);
    QColor SetBkColor(QColor color);
    QColor SetTextColor(QColor color);
    QColor SetTextBkColor(QColor color);
    QColor GetBarColor() const;
    QColor GetBkColor() const;
    QColor GetTextColor() const;
    // Colour of the text where it lies over the bar.
    QColor GetTextBkColor() const;

    void SetShowPercent(bool on);
    bool ShowPercent() const { return m_showPercent; }
    void SetAlignment(int alignment);
    int GetAlignment() const { return m_alignment; }
    void SetMarqueeSize(int percent);
    int MarqueeSize() const { return m_marqueeSize; }
    // Turns the percentage off; on starts a repeating move of the bar every interval_ms.
    void SetMarquee(bool on, int interval_ms);
    bool IsMarquee() const { return m_marquee; }
    // One move of the marquee bar (what the marquee timer does).
    void MarqueeTick();
    void SetVertical(bool vertical);
    bool IsVertical() const { return m_vertical; }

    void SetText(const QString& text);
    QString Text() const { return m_text; }

    // What paint shows, computed without painting. DisplayText is empty and BarRect null when the
    // range is empty (nothing is drawn then).
    bool DrawsAnything() const { return m_min < m_max; }
    QString DisplayText() const;
    QRect BarRect() const;
    // Where the text lands (before rotation for the vertical form: along the bar's axis).
    QRect TextRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Stores a colour, redraws and gives back the old one.
    QColor ReplaceColor(QColor& slot, QColor color);
    // Positions are worked out wide, so ranges near the ends of int neither overflow nor wrap.
    std::int64_t Top() const;
    int MoveTo(std::int64_t pos);
    double Fraction() const;
    // The bar in the horizontal frame (length along x) whose size is `length` x `thickness`.
    QRect BarSpan(int length, int thickness) const;
    QRect TextSpan(int length, int thickness) const;

    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    int m_step = 10;
    QColor m_barColor;
    QColor m_bkColor;
    QColor m_textColor;
    QColor m_textBkColor;
    bool m_showPercent = true;
    int m_alignment = AlignCenter;
    int m_marqueeSize = 20;
    bool m_marquee = false;
    bool m_vertical = false;
    QString m_text;
    QTimer m_marqueeTimer;
};
