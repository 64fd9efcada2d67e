#include "setup/DlgPopupOption.h"

#include "display/Label.h"

#include <QComboBox>
#include <QPushButton>
#include <QShowEvent>

CDlgPopupOption::CDlgPopupOption(QWidget* parent) : CStationDialog(QSize(600, 200), parent) {
    AddBackdrop(QRect(0, 50, 600, 150), QColor(90, 90, 90));
    m_title = AddBand(QRect(0, 0, 600, 50), QColor(255, 255, 0), Qt::black);
    m_text = AddBand(QRect(130, 50, 150, 80), Qt::white, QColor(90, 90, 90));
    m_list = new QComboBox(this);
    m_list->setGeometry(290, 81, 130, m_list->sizeHint().height());
    m_list->setMaxVisibleItems(11);
    for (int level = kFirstLevel_dB; level <= kLastLevel_dB; level += kLevelStep_dB) {
        m_list->addItem(QString::asprintf("%d dB", level));
    }
    m_list->setCurrentIndex(-1);
    m_ok = AddButton(QStringLiteral("확인"), QRect(200, 145, 80, 35));
    m_cancel = AddButton(QStringLiteral("취소"), QRect(320, 145, 80, 35));
    connect(m_ok, &QPushButton::clicked, this, &CDlgPopupOption::OnOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetIgnoredKeys({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1});
    SetRefreshedAfterPaint({m_ok, m_cancel, m_text, m_list});
}

void CDlgPopupOption::SetTitle(const QString& title) {
    m_title->setText(title);
}

void CDlgPopupOption::SetText(const QString& text) {
    m_text->setText(text);
}

QString CDlgPopupOption::Title() const {
    return m_title->text();
}

QString CDlgPopupOption::Text() const {
    return m_text->text();
}

void CDlgPopupOption::showEvent(QShowEvent* event) {
    CStationDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_list->setCurrentIndex(m_list->findText(QString::asprintf("%d dB", m_value * 10)));
    }
}

void CDlgPopupOption::OnOk() {
    m_value = m_list->currentIndex();
    accept();
}
