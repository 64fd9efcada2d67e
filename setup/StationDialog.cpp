#include "setup/StationDialog.h"

#include "display/Label.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

const QString CStationDialog::kFontFamily = QStringLiteral("맑은 고딕");

CStationDialog::CStationDialog(QSize size, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(size);
    QFont font(kFontFamily);
    font.setPixelSize(16);
    font.setBold(true);
    setFont(font);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshDelay_ms);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CStationDialog::RefreshControls);
    installEventFilter(this);
}

void CStationDialog::SetRefreshedAfterPaint(QList<QWidget*> widgets) {
    m_refreshed.clear();
    for (QWidget* widget : widgets) {
        m_refreshed << widget;
    }
}

CLabel* CStationDialog::AddBand(const QRect& geometry, QColor text, QColor background) {
    auto* band = new CLabel(this);
    band->setGeometry(geometry);
    band->setAlignment(Qt::AlignCenter);
    band->setFrameShape(QFrame::NoFrame);
    band->SetFontName(kFontFamily);
    band->SetFontSize(kBandFontPixels);
    band->SetFontBold(true);
    band->SetTextColor(text);
    band->SetBkColor(background);
    return band;
}

QLabel* CStationDialog::AddBackdrop(const QRect& geometry, QColor color) {
    QPixmap pixmap(8, 8);
    pixmap.fill(color);
    auto* backdrop = new QLabel(this);
    backdrop->setGeometry(geometry);
    backdrop->setPixmap(pixmap);
    backdrop->setScaledContents(true);
    backdrop->lower();
    return backdrop;
}

QPushButton* CStationDialog::AddButton(const QString& caption, const QRect& geometry) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(geometry);
    // Enter must not press a button: only a click or the space bar does.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void CStationDialog::keyPressEvent(QKeyEvent* event) {
    if (m_ignoredKeys.contains(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CStationDialog::showEvent(QShowEvent* event) {
    CenterOnOwner();
    QDialog::showEvent(event);
}

void CStationDialog::CenterOnOwner() {
    QRect area;
    if (QWidget* owner = parentWidget()) {
        QWidget* window = owner->window();
        area = QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

bool CStationDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::Paint && !m_refreshed.isEmpty()) {
        // The refresh itself repaints the dialog under the refreshed controls; such a paint
        // must not schedule the next refresh, or the dialog would never stop drawing.
        QRegion covered;
        for (const QPointer<QWidget>& widget : m_refreshed) {
            if (widget) {
                covered += widget->geometry();
            }
        }
        const QRegion painted = static_cast<QPaintEvent*>(event)->region();
        if (!(painted - covered).isEmpty()) {
            m_refreshTimer.start();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CStationDialog::RefreshControls() {
    ++m_refreshCount;
    for (const QPointer<QWidget>& widget : m_refreshed) {
        if (widget) {
            widget->update();
        }
    }
}
