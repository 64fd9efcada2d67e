#include "setup/DlgMessage.h"

#include "display/Label.h"

#include <QPushButton>

CDlgMessage::CDlgMessage(QWidget* parent) : CStationDialog(QSize(900, 200), parent) {
    AddBackdrop(QRect(0, 140, 900, 60), QColor(90, 90, 90));
    m_title = AddBand(QRect(0, 0, 900, 50), QColor(255, 255, 0), Qt::black);
    m_text = AddBand(QRect(0, 50, 900, 100), Qt::white, QColor(90, 90, 90));
    m_ok = AddButton(QStringLiteral("확인"), QRect(400, 145, 100, 45));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    SetIgnoredKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape});
    SetRefreshedAfterPaint({m_ok});

    m_autoClose.setSingleShot(true);
    m_autoClose.setInterval(kAutoClose_ms);
    m_autoClose.setTimerType(Qt::PreciseTimer);
    connect(&m_autoClose, &QTimer::timeout, this, &QDialog::accept);
}

void CDlgMessage::SetTitle(const QString& title) {
    m_title->setText(title);
}

void CDlgMessage::SetText(const QString& text) {
    m_text->setText(text);
}

QString CDlgMessage::Title() const {
    return m_title->text();
}

QString CDlgMessage::Text() const {
    return m_text->text();
}

void CDlgMessage::showEvent(QShowEvent* event) {
    CStationDialog::showEvent(event);
    m_autoClose.start();
}

void CDlgMessage::hideEvent(QHideEvent* event) {
    // Closed before its time: the pending self-close must not close it a second time.
    m_autoClose.stop();
    CStationDialog::hideEvent(event);
}
