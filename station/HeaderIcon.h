#pragma once
// A 39 x 39 picture in the header row that reports clicks: the logo, minimise and exit.

#include <QIcon>
#include <QWidget>

class QPainter;

class HeaderIcon : public QWidget {
    Q_OBJECT
  public:
    enum Kind { Logo, Minimise, Exit };
    HeaderIcon(Kind kind, QWidget* parent);

    // The station's logo, also its window icon.
    static void PaintLogo(QPainter& painter, const QRectF& area);
    static QIcon StationIcon();

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Kind m_kind;
};
