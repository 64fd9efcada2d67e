#pragma once
// Turns SIGTERM and SIGINT into a Qt signal on the UI thread, so a service manager stopping the
// station gets the same orderly shutdown as the exit icon.

#include <QObject>

class QSocketNotifier;

class TerminationWatcher : public QObject {
    Q_OBJECT
  public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

  signals:
    void terminationRequested();

  private:
    QSocketNotifier* m_notifier = nullptr;
};
