#pragma once
// The password request of the sensor settings: one hidden edit and "확인". Enter, Escape and F1
// do nothing; the dialog closes with "확인" (accepted, the text kept) or its close box.

#include <QDialog>

class QLineEdit;
class QPushButton;

class CDlgPassword : public QDialog {
    Q_OBJECT
  public:
    explicit CDlgPassword(QWidget* parent = nullptr);

    // What was typed when "확인" closed the dialog.
    QString EnteredPassword() const { return m_entered; }
    QLineEdit* Edit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QString m_entered;
};
