#pragma once
// A 39 x 39 picture in the header row that reports clicks: the logo, minimise and exit.

#include <QWidget>

class HeaderIcon : public QWidget {
    Q_OBJECT
  public:
    enum Kind { Logo, Minimise, Exit };
    HeaderIcon(Kind kind, QWidget* parent);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Kind m_kind;
};
