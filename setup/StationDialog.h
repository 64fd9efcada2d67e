#pragma once
// The shared frame of the station's small modal dialogs: borderless, centred on the owner, keys
// that would close a dialog by accident swallowed, and the bands, backdrop and buttons of the
// common look.

#include <QColor>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QTimer>

class CLabel;
class QLabel;
class QPushButton;

class CStationDialog : public QDialog {
    Q_OBJECT
  public:
    static const QString kFontFamily;
    static constexpr int kBandFontPixels = 20;
    // Delay after a paint before the refreshed controls are drawn once more.
    static constexpr int kRefreshDelay_ms = 25;

    CStationDialog(QSize size, QWidget* parent);

    // Number of times the after-paint refresh has run (for tests).
    int RefreshCount() const { return m_refreshCount; }

  protected:
    // Keys the dialog neither handles nor passes on.
    void SetIgnoredKeys(QList<int> keys) { m_ignoredKeys = std::move(keys); }
    // Controls redrawn once more shortly after each paint of the dialog, so they stay above
    // the bands and the backdrop.
    void SetRefreshedAfterPaint(QList<QWidget*> widgets);

    CLabel* AddBand(const QRect& geometry, QColor text, QColor background);
    QLabel* AddBackdrop(const QRect& geometry, QColor color);
    QPushButton* AddButton(const QString& caption, const QRect& geometry);

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CenterOnOwner();
    void RefreshControls();

    QList<int> m_ignoredKeys;
    QList<QPointer<QWidget>> m_refreshed;
    QTimer m_refreshTimer;
    int m_refreshCount = 0;
};
