#include "setup/DlgPassword.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CDlgPassword::CDlgPassword(QWidget* parent)
    : QDialog(parent),
      m_edit(new QLineEdit(this)),
      m_ok(new QPushButton(QStringLiteral("확인"), this)) {
    setWindowTitle(QStringLiteral("비밀번호를 입력해 주세요"));
    setModal(true);
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setMinimumWidth(200);
    // Enter in the edit must not press the button.
    m_ok->setAutoDefault(false);
    m_ok->setDefault(false);
    // The caption is repeated inside: a kiosk session shows no title bars.
    auto* prompt = new QLabel(windowTitle(), this);
    prompt->setObjectName(QStringLiteral("PasswordPrompt"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_edit);
    row->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(row);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_entered = m_edit->text();
        accept();
    });
}

void CDlgPassword::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_F1:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}
