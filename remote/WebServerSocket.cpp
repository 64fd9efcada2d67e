#include "remote/WebServerSocket.h"

#include "app/Cp949.h"
#include "app/DebugLog.h"

#include <QDateTime>

CWebServerSocket::CWebServerSocket(QObject* parent)
    : QObject(parent),
      m_socket({kConnectTimeout_ms, kKeepAliveIdle_ms, kKeepAliveInterval_ms, kSendTimeout_ms,
                ControlFrame::kMaxFrame},
               this) {
    connect(&m_socket, &TcpClientSocket::received, this, &CWebServerSocket::OnReceive);
    connect(&m_socket, &TcpClientSocket::closed, this, &CWebServerSocket::OnClose);
}

CWebServerSocket::~CWebServerSocket() {
    Stop();
}

void CWebServerSocket::SetServerAddress(const QString& address) {
    std::lock_guard lock(m_addressMutex);
    m_address = address;
}

QString CWebServerSocket::ServerAddress() const {
    std::lock_guard lock(m_addressMutex);
    return m_address;
}

void CWebServerSocket::Start(std::function<void()> afterConnect) {
    std::lock_guard lock(m_runMutex);
    if (m_running || m_thread.joinable()) {
        return;
    }
    m_afterConnect = std::move(afterConnect);
    m_running = true;
    m_thread = std::thread([this] { Thread_Web_Server(); });
}

void CWebServerSocket::Stop() {
    {
        std::lock_guard lock(m_runMutex);
        m_running = false;
    }
    m_runChanged.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_connected.store(false);
    m_socket.Close();
    m_reader.Clear();
}

bool CWebServerSocket::Pause(int ms) {
    std::unique_lock lock(m_runMutex);
    return !m_runChanged.wait_for(lock, std::chrono::milliseconds(ms),
                                  [this] { return !m_running; });
}

void CWebServerSocket::Thread_Web_Server() {
    DebugLog(QStringLiteral("Start Thread_Web_Server....!!! "));
    for (;;) {
        {
            std::lock_guard lock(m_runMutex);
            if (!m_running) {
                break;
            }
        }
        int pause = kConnectedPause_ms;
        if (!m_connected.load()) {
            const QString address = ServerAddress();
            if (ConnectToServer()) {
                m_connected.store(true);
                if (m_afterConnect) {
                    m_afterConnect();
                }
                DebugLog(
                    QStringLiteral("[Web Control Server : %1] Connection OK...!").arg(address));
            } else {
                m_connected.store(false);
                DebugLog(
                    QStringLiteral("[Web Control Server : %1] Connection NG...!").arg(address));
                pause = kRetryPause_ms;
            }
        }
        if (!Pause(pause)) {
            break;
        }
    }
    DebugLog(QStringLiteral("End Thread_Web_Server....!!! "));
}

bool CWebServerSocket::ConnectToServer() {
    const QString address = ServerAddress();
    if (address.isEmpty()) {
        return false;
    }
    return m_socket.Connect(address, m_port.load());
}

void CWebServerSocket::SendControlMessage(const QString& text) {
    Send(ControlFrame::kControlObjectId, text);
}

void CWebServerSocket::SendStatusMessage(const QString& text) {
    Send(ControlFrame::kStatusObjectId, text);
}

void CWebServerSocket::Send(uint16_t objectId, const QString& text) {
    if (!m_connected.load()) {
        return;
    }
    if (objectId == ControlFrame::kControlObjectId) {
        DebugLog(text);
    }
    const QByteArray payload = ToCp949(text);
    const auto frame = EncodeControlFrame(
        objectId, payload, static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch()));
    if (!frame) {
        DebugLog(
            QStringLiteral("[Web Control Server] Message of %1 bytes not sent: a frame carries "
                           "at most %2")
                .arg(payload.size())
                .arg(ControlFrame::kMaxPayload));
        return;
    }
    m_socket.Send(*frame);
}

void CWebServerSocket::OnReceive(const QByteArray& bytes) {
    m_reader.Append(bytes.constData(), bytes.size());
    while (const auto item = m_reader.TakeNext()) {
        if (item->kind == ControlFrameReader::Item::Fault) {
            DebugLog(ControlHeaderErrorBlock(item->header, item->fault));
            continue;
        }
        if (item->header.id != ControlFrame::kServerObjectId) {
            continue;
        }
        // The text ends at a NUL, as the zero-filled copy it was read from did.
        const qsizetype end = item->payload.indexOf('\0');
        const QString text = FromCp949(end < 0 ? item->payload : item->payload.left(end));
        DebugLog(QStringLiteral("[ObjectID : 0xe011]"));
        DebugLog(text);
        emit commandReceived(text);
    }
}

void CWebServerSocket::OnClose() {
    DebugLog(QStringLiteral("[OnClose]CWebServerSocket 연결해제"));
    m_reader.Clear();
    m_connected.store(false);
}
