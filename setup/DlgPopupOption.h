#pragma once
// Picks one dB level from a drop-down list; the value is an index into that list.

#include "setup/StationDialog.h"

class CLabel;
class QComboBox;
class QPushButton;

class CDlgPopupOption : public CStationDialog {
    Q_OBJECT
  public:
    static constexpr int kFirstLevel_dB = 30;
    static constexpr int kLastLevel_dB = 130;
    static constexpr int kLevelStep_dB = 10;

    explicit CDlgPopupOption(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    void SetText(const QString& text);
    // Before showing: the entry "<value x 10> dB" is preselected. After "확인": the chosen
    // entry's index, or -1 when none was chosen.
    void SetValue(int value) { m_value = value; }
    int GetValue() const { return m_value; }

    QString Title() const;
    QString Text() const;
    QComboBox* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void OnOk();

    CLabel* m_title;
    CLabel* m_text;
    QComboBox* m_list;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    int m_value = 0;
};
