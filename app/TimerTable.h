#pragma once
// Window timers addressed by integer id, as the station's windows use them: starting an id that
// runs restarts it with the new interval.

#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

class TimerTable : public QObject {
    Q_OBJECT
  public:
    explicit TimerTable(QObject* parent = nullptr) : QObject(parent) {}

    void start(int id, int interval_ms, bool singleShot);
    void stop(int id);
    bool isActive(int id) const;
    int interval(int id) const;

  signals:
    void fired(int id);

  private:
    std::map<int, std::unique_ptr<QTimer>> m_timers;
};
