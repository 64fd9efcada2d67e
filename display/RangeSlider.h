#pragma once
// A slider with two thumbs selecting an interval [left, right] inside [min, max]. The thumbs and
// the band between them can be dragged; the arrow keys move the interval one pixel at a time.

#include <QColor>
#include <QRect>
#include <QWidget>

class CRangeSlider : public QWidget {
    Q_OBJECT
  public:
    // What the rangeChanged code names: the part that moved.
    enum Part { LeftThumb = 0, RightThumb = 1, Middle = 2, NoPart = -1 };

    explicit CRangeSlider(QWidget* parent = nullptr);

    void SetMinMax(double min, double max);
    void SetRange(double left, double right);
    double GetMin() const { return m_min; }
    double GetMax() const { return m_max; }
    double GetLeft() const { return m_left; }
    double GetRight() const { return m_right; }

    void SetVisualMinMax(double a, double b);
    double GetVisualMin() const { return m_visualMin; }
    double GetVisualMax() const { return m_visualMax; }
    void SetVisualMode(bool on);
    bool GetVisualMode() const { return m_visualMode; }
    void SetRangeColor(QColor color);
    QColor GetRangeColor() const { return m_rangeColor; }
    void SetHorizontal(bool horizontal);
    bool IsHorizontal() const { return m_horizontal; }

    // Geometry along the track, in pixels: thumb size, track length and a value's offset.
    int ArrowWidth() const;
    int TrackLength() const;
    int PixelOf(double value) const;
    // The parts in widget coordinates.
    QRect PartRect(Part part) const;
    bool IsTracking() const { return m_trackingPart != NoPart; }

  signals:
    // After every change made by the user; the owner reads GetLeft/GetRight.
    void rangeChanged(int wParam);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Normalize();
    int Thickness() const;
    int AlongTrack(QPoint point) const;
    // Span of a part along the track [start, end).
    std::pair<int, int> PartSpan(Part part) const;
    double ValueAt(double pixels) const;
    QRect SpanToRect(int start, int end) const;

    double m_min = 0.0;
    double m_max = 1.0;
    double m_left = 0.0;
    double m_right = 1.0;
    double m_visualMin = 0.0;
    double m_visualMax = 0.0;
    bool m_visualMode = false;
    QColor m_rangeColor{255, 255, 150};
    bool m_horizontal = true;
    Part m_trackingPart = NoPart;
    int m_clickOffset = 0;
};
