#pragma once
// The dialogs seam of the running station: the station's own dialogs, always shown on the UI
// thread. A call from another thread is carried over to the UI thread and waits there. Every
// dialog shown is also written as one debug line, so a journal tells what the operator saw.

#include "app/StationDialogs.h"
#include "app/UiThreadCaller.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>

class WidgetDialogs : public QObject, public StationDialogs {
    Q_OBJECT
  public:
    // Lives on the thread that creates it, which must be the UI thread.
    explicit WidgetDialogs(QWidget* owner = nullptr);

    // The window the dialogs are centred on (nullptr = the screen).
    void SetOwner(QWidget* owner) { m_owner = owner; }
    QWidget* Owner() const { return m_owner; }

    void showMessage(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    void showSystemMessage(const QString& caption, const QString& text) override;
    void showProgress(const QString& title, int steps) override;
    std::optional<int> chooseLevel(const QString& title, const QString& text, int value) override;
    void closeAll() override;
    bool IsClosed() const { return m_closed.load(); }

  private:
    // Runs the dialog on the UI thread; false when the seam is closed (nothing was shown).
    bool OnUiThread(const std::function<void()>& show);

    QPointer<QWidget> m_owner;
    UiThreadCaller m_caller;
    std::atomic<bool> m_closed{false};
};
