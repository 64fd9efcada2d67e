#include "setup/AboutDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The application's icon, or a plain mark in the station's title colour when it has none.
QPixmap ProgramIcon() {
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        return icon.pixmap(32, 32);
    }
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(163, 5, 50));
    return pixmap;
}
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("System 정보"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon());
    m_text = new QLabel(QStringLiteral("System, 버전 1.0"), this);
    m_ok = new QPushButton(QStringLiteral("확인"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
    row->addWidget(m_ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    setFixedSize(sizeHint());
}

QString CAboutDlg::Text() const {
    return m_text->text();
}
