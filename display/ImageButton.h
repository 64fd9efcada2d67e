#pragma once
// A clickable image without a frame (the scale buttons of the operator screen).

#include <QAbstractButton>
#include <QImage>

class CImageButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit CImageButton(const QImage& image, QWidget* parent = nullptr);
    QImage Image() const { return m_image; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_image;
};
