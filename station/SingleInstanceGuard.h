#pragma once
// One station per user session: a lock file named after the guard name, and a local socket
// through which a second start asks the first to raise its window.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class SingleInstanceGuard : public QObject {
    Q_OBJECT
  public:
    // folder: where the lock and the socket live (default: the user's runtime folder).
    explicit SingleInstanceGuard(const QString& name, const QString& folder = QString());
    ~SingleInstanceGuard() override;

    // True when this process is the only one; the lock is then held until destruction.
    bool acquire();
    // From a second start: asks the running instance to raise its window. False when it
    // could not be reached.
    bool askFirstInstanceToRaise();

    QString lockPath() const;

  signals:
    void raiseRequested();

  private:
    QString m_name;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
