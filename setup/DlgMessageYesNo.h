#pragma once
// The operator question: accepted only by "확인"; it waits for an answer however long it takes.

#include "setup/StationDialog.h"

class CLabel;
class QPushButton;

class CDlgMessageYesNo : public CStationDialog {
    Q_OBJECT
  public:
    explicit CDlgMessageYesNo(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    void SetText(const QString& text);
    QString Title() const;
    QString Text() const;
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

  private:
    CLabel* m_title;
    CLabel* m_text;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
