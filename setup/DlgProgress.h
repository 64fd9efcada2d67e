#pragma once
// A timed progress dialog: one step every 100 ms, closing itself one step after the last.

#include "setup/StationDialog.h"

class CLabel;
class CTextProgressCtrl;

class CDlgProgress : public CStationDialog {
    Q_OBJECT
  public:
    static constexpr int kStep_ms = 100;

    CDlgProgress(const QString& title, int steps, QWidget* parent = nullptr);

    int Steps() const { return m_steps; }
    int CurrentStep() const { return m_current; }
    QString Title() const;
    // The text the bar shows now.
    QString BarText() const;
    CTextProgressCtrl* Progress() const { return m_progress; }

  signals:
    // After each step, with the new step count.
    void stepped(int step);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void OnStep();

    int m_steps;
    int m_current = 0;
    CLabel* m_title;
    CTextProgressCtrl* m_progress;
    QTimer m_stepTimer;
};
