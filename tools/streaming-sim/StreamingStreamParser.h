#pragma once
// Splits the bytes a streaming server receives from the station into its messages: the
// introduction text, pictures ("V.160", a 4-byte little-endian length, the JPEG file) and "ACK".
// TCP merges and splits the station's sends freely, so partial messages wait for the next feed;
// anything that is none of these is skipped up to the next possible start and reported once, just
// before the message that follows it (or by finish()), so the events do not depend on how the
// bytes were cut.

#include <QByteArray>
#include <QList>
#include <QString>

struct StreamingEvent {
    enum class Kind {
        Introduction,  // ugvId holds the decoded code, bytes the raw text
        Text,          // a complete text message that is not an introduction; bytes holds it
        Picture,       // bytes holds the JPEG file
        Ack,
        Garbage,  // skipped bytes, counted in `skipped`
    };
    Kind kind = Kind::Garbage;
    QString ugvId;
    QByteArray bytes;
    qint64 skipped = 0;

    bool operator==(const StreamingEvent&) const = default;
};

class StreamingStreamParser {
  public:
    static constexpr qsizetype kHeaderSize = 9;              // "V.160" + length
    static constexpr quint32 kMaxPictureSize = 1024 * 1024;  // larger lengths are corrupt
    static constexpr qsizetype kMaxTextSize = 4096;

    // Appends received bytes and returns the events they complete.
    QList<StreamingEvent> feed(const QByteArray& bytes);
    // The connection ended: whatever is still buffered or skipped becomes one Garbage event.
    QList<StreamingEvent> finish();
    // Forgets everything, for a new connection.
    void reset();

    qsizetype buffered() const { return m_buffer.size() - m_offset; }

  private:
    enum class Step { Done, Wait };
    Step parseOne(QList<StreamingEvent>& events);
    Step parseText(QList<StreamingEvent>& events);
    // Skips the byte at the front and looks for the next start from there.
    Step startGarbage();
    // Skips up to the next "V.160", "<YELT" or "ACK"; waits while the tail may begin one.
    Step resync();
    void skip(qsizetype count);
    void emitMessage(QList<StreamingEvent>& events, StreamingEvent event, qsizetype length);

    QByteArray m_buffer;
    qsizetype m_offset = 0;
    qint64 m_pendingGarbage = 0;
    bool m_inGarbage = false;  // resyncing: a bare '<' is no start here, only "<YELT"
};
