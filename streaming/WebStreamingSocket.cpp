#include "streaming/WebStreamingSocket.h"

#include "app/Cp949.h"
#include "app/DebugLog.h"
#include "streaming/StreamingMessages.h"

CWebStreamingSocket::CWebStreamingSocket(int index, std::function<QString()> ugvCode,
                                         QObject* parent)
    : QObject(parent),
      m_index(index),
      m_ugvCode(std::move(ugvCode)),
      m_socket({kConnectTimeout_ms, 0, 0, kSendTimeout_ms, kReadBytes}, this),
      m_port(kFirstPort + index) {
    connect(&m_socket, &TcpClientSocket::received, this, &CWebStreamingSocket::OnReceive);
    connect(&m_socket, &TcpClientSocket::closed, this, &CWebStreamingSocket::OnClose);
}

CWebStreamingSocket::~CWebStreamingSocket() {
    Stop();
}

void CWebStreamingSocket::SetServerAddress(const QString& address) {
    std::lock_guard lock(m_addressMutex);
    m_address = address;
}

QString CWebStreamingSocket::ServerAddress() const {
    std::lock_guard lock(m_addressMutex);
    return m_address;
}

QString CWebStreamingSocket::ThreadName() const {
    return m_index == 0 ? QStringLiteral("Thread_Streaming_Top")
                        : QStringLiteral("Thread_Streaming_Bottom");
}

void CWebStreamingSocket::StartPushThread() {
    std::lock_guard lock(m_runMutex);
    if (m_running || m_thread.joinable()) {
        return;
    }
    m_running = true;
    m_thread = std::thread([this] { PushThread(); });
}

void CWebStreamingSocket::Stop() {
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
}

bool CWebStreamingSocket::Pause(int ms) {
    std::unique_lock lock(m_runMutex);
    return !m_runChanged.wait_for(lock, std::chrono::milliseconds(ms),
                                  [this] { return !m_running; });
}

void CWebStreamingSocket::RequestPush(const QImage& pane) {
    {
        std::lock_guard lock(m_paneMutex);
        m_pane = pane;
    }
    m_request.store(true);
}

void CWebStreamingSocket::PushThread() {
    DebugLog(QStringLiteral("Start %1 ++++++++++++++++++++++!!! ").arg(ThreadName()));
    for (;;) {
        SendPendingAcknowledgements();
        if (!m_request.exchange(false)) {
            if (!Pause(kIdlePoll_ms)) {
                break;
            }
            continue;
        }
        QImage pane;
        {
            std::lock_guard lock(m_paneMutex);
            pane.swap(m_pane);
        }
        PushPicture(pane);
        std::lock_guard lock(m_runMutex);
        if (!m_running) {
            break;
        }
    }
    DebugLog(QStringLiteral("End %1 ------------------------!!! ").arg(ThreadName()));
}

bool CWebStreamingSocket::ConnectToServer() {
    const QString address = ServerAddress();
    return !address.isEmpty() && m_socket.Connect(address, m_port.load());
}

bool CWebStreamingSocket::PushPicture(const QImage& pane) {
    const QString address = ServerAddress();
    if (!m_connected.load()) {
        if (!ConnectToServer()) {
            m_socket.Close();
            m_connected.store(false);
            DebugLog(QStringLiteral("[Streaming Server %1 : %2] Connection NG...!")
                         .arg(m_index)
                         .arg(address));
            Pause(kRetryPause_ms);
            return false;
        }
        // The introduction goes from this thread, so no picture can overtake it.
        m_pendingAcks.store(0);
        m_socket.Send(StreamingMessages::Introduction(m_ugvCode ? m_ugvCode() : QString()));
        if (m_index == 0) {
            DebugLog(
                QStringLiteral("[Streaming Server : OnWebStreamingTopServerSocketAttach] Send "
                               "UGV_INFORMATION(VORN_ID)....!!! "));
        }
        DebugLog(QStringLiteral("[Streaming Server %1 : %2] Connection OK...!")
                     .arg(m_index)
                     .arg(address));
        Pause(kConnectedPause_ms);
        m_connected.store(true);
        return true;
    }
    const QByteArray jpeg = StreamingMessages::Thumbnail(pane);
    if (jpeg.isEmpty()) {
        DebugLog(QStringLiteral("파일 열기에 실패했습니다."));
        return false;
    }
    bool failed = false;
    for (const QByteArray& part : StreamingMessages::PictureSends(jpeg)) {
        if (!m_socket.Send(part)) {
            failed = true;
            break;
        }
    }
    if (failed) {
        m_socket.Close();
        m_connected.store(false);
        return true;
    }
    m_picturesSent.fetch_add(1);
    return true;
}

void CWebStreamingSocket::SendPendingAcknowledgements() {
    int pending = m_pendingAcks.exchange(0);
    while (pending-- > 0 && m_connected.load()) {
        if (!m_socket.Send(QByteArrayLiteral("ACK"))) {
            m_socket.Close();
            m_connected.store(false);
        }
    }
}

void CWebStreamingSocket::OnReceive(const QByteArray& bytes) {
    const QString text = FromCp949(bytes);
    DebugLog(QStringLiteral("[OnReceive] t_len = %1").arg(bytes.size()));
    DebugLog(text);
    const auto commands =
        StreamingMessages::ReadServerCommand(text, [](const QString& line) { DebugLog(line); });
    // Sent by the push thread between pictures, so an answer never splits a picture message.
    m_pendingAcks.fetch_add(commands.acknowledgements);
}

void CWebStreamingSocket::OnClose() {
    DebugLog(QStringLiteral("[OnClose]CWebStreamingSocket 연결해제"));
    m_connected.store(false);
}
