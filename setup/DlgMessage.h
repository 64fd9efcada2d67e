#pragma once
// The operator message: a title and a text, closed by "확인" or by itself two seconds after it
// opens.

#include "setup/StationDialog.h"

class CLabel;
class QPushButton;

class CDlgMessage : public CStationDialog {
    Q_OBJECT
  public:
    static constexpr int kAutoClose_ms = 2000;

    explicit CDlgMessage(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    void SetText(const QString& text);
    QString Title() const;
    QString Text() const;
    QPushButton* OkButton() const { return m_ok; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    CLabel* m_title;
    CLabel* m_text;
    QPushButton* m_ok;
    QTimer m_autoClose;
};
