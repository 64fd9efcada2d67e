#pragma once
// A pane that shows one image, drawn over a background colour. Updating it repaints only the
// pane; the page behind it is not painted again.

#include <QColor>
#include <QImage>
#include <QWidget>

class CPicturePane : public QWidget {
    Q_OBJECT
  public:
    explicit CPicturePane(QWidget* parent = nullptr, QColor background = QColor(26, 26, 26));

    // `target` is where the image lands inside the pane (the whole pane when null); `turned`
    // draws it turned by 180 degrees; `smooth` scales with filtering.
    void SetImage(const QImage& image, QRect target = {}, bool turned = false, bool smooth = false);
    void Clear();
    QImage Image() const { return m_image; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_background;
    QImage m_image;
    QRect m_target;
    bool m_turned = false;
    bool m_smooth = false;
};
