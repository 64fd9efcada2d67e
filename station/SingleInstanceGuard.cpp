#include "station/SingleInstanceGuard.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int kRaiseWait_ms = 1000;
}

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& folder)
    : m_name(name), m_folder(folder) {
    if (m_folder.isEmpty()) {
        m_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (m_folder.isEmpty()) {
        m_folder = QDir::tempPath();
    }
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

QString SingleInstanceGuard::lockPath() const {
    return m_folder + QLatin1Char('/') + m_name + ".lock";
}

bool SingleInstanceGuard::acquire() {
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A lock is stale only when its process is gone, never because the station ran long.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    const QString socketPath = m_folder + QLatin1Char('/') + m_name + ".sock";
    QLocalServer::removeServer(socketPath);  // left by a crashed instance; we hold the lock
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            peer->deleteLater();
            emit raiseRequested();
        }
    });
    m_server->listen(socketPath);
    return true;
}

bool SingleInstanceGuard::askFirstInstanceToRaise() {
    QLocalSocket socket;
    socket.connectToServer(m_folder + QLatin1Char('/') + m_name + ".sock");
    if (!socket.waitForConnected(kRaiseWait_ms)) {
        return false;
    }
    socket.write("raise\n");
    socket.waitForBytesWritten(kRaiseWait_ms);
    socket.disconnectFromServer();
    return true;
}
