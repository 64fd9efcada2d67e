#include "setup/DlgProgress.h"

#include "display/Label.h"
#include "display/TextProgressCtrl.h"

CDlgProgress::CDlgProgress(const QString& title, int steps, QWidget* parent)
    : CStationDialog(QSize(600, 150), parent), m_steps(steps) {
    AddBackdrop(QRect(0, 50, 600, 100), QColor(90, 90, 90));
    m_title = AddBand(QRect(0, 0, 600, 50), Qt::white, QColor(55, 55, 55));
    m_title->setText(title);

    m_progress = new CTextProgressCtrl(this);
    m_progress->setGeometry(30, 75, 540, 50);
    m_progress->SetRange(0, steps);
    m_progress->SetPos(0);
    m_progress->SetBarColor(QColor(45, 200, 45));
    m_progress->SetBkColor(QColor(25, 25, 25));
    // Light text over both parts, so it reads on the dark track as well as on the bar.
    m_progress->SetTextColor(Qt::white);
    m_progress->SetTextBkColor(Qt::white);
    m_progress->SetShowPercent(false);
    m_progress->SetText(QString::asprintf("%.1f%%", 0.0));

    SetIgnoredKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape});

    m_stepTimer.setInterval(kStep_ms);
    m_stepTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_stepTimer, &QTimer::timeout, this, &CDlgProgress::OnStep);
}

QString CDlgProgress::Title() const {
    return m_title->text();
}

QString CDlgProgress::BarText() const {
    return m_progress->DisplayText();
}

void CDlgProgress::showEvent(QShowEvent* event) {
    CStationDialog::showEvent(event);
    m_stepTimer.start();
}

void CDlgProgress::hideEvent(QHideEvent* event) {
    // Closed before the last step: no further steps, and no second close after them.
    m_stepTimer.stop();
    CStationDialog::hideEvent(event);
}

void CDlgProgress::OnStep() {
    if (m_current >= m_steps) {
        m_stepTimer.stop();
        accept();
        return;
    }
    ++m_current;
    m_progress->SetText(QString::asprintf("%.1f%%", double(m_current) / m_steps * 100.0));
    m_progress->SetPos(m_current);
    emit stepped(m_current);
}
