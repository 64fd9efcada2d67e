#pragma once
// The about box of the main window's system menu.

#include <QDialog>

class QLabel;
class QPushButton;

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString Text() const;
    QPushButton* OkButton() const { return m_ok; }

  private:
    QLabel* m_text;
    QPushButton* m_ok;
};
