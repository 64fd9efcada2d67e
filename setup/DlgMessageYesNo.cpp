#include "setup/DlgMessageYesNo.h"

#include "display/Label.h"

#include <QPushButton>

CDlgMessageYesNo::CDlgMessageYesNo(QWidget* parent) : CStationDialog(QSize(900, 200), parent) {
    AddBackdrop(QRect(0, 140, 900, 60), QColor(90, 90, 90));
    m_title = AddBand(QRect(0, 0, 900, 50), QColor(255, 255, 0), Qt::black);
    m_text = AddBand(QRect(0, 50, 900, 100), Qt::white, QColor(90, 90, 90));
    m_ok = AddButton(QStringLiteral("확인"), QRect(325, 145, 100, 35));
    m_cancel = AddButton(QStringLiteral("취소"), QRect(475, 145, 100, 35));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetIgnoredKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1});
    SetRefreshedAfterPaint({m_ok, m_cancel});
}

void CDlgMessageYesNo::SetTitle(const QString& title) {
    m_title->setText(title);
}

void CDlgMessageYesNo::SetText(const QString& text) {
    m_text->setText(text);
}

QString CDlgMessageYesNo::Title() const {
    return m_title->text();
}

QString CDlgMessageYesNo::Text() const {
    return m_text->text();
}
