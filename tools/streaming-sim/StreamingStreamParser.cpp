#include "tools/streaming-sim/StreamingStreamParser.h"

#include "app/Cp949.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr QByteArrayView kPictureMark("V.160");
constexpr QByteArrayView kTextMark("<YELT");
constexpr QByteArrayView kTextEnd("</YELT>");
constexpr QByteArrayView kAck("ACK");

enum class Match { None, Partial, Full };

// Whether `token` starts at the beginning of `bytes`; Partial when `bytes` ends inside it.
Match MatchAt(QByteArrayView bytes, QByteArrayView token) {
    const qsizetype common = std::min(bytes.size(), token.size());
    if (std::memcmp(bytes.data(), token.data(), static_cast<size_t>(common)) != 0) {
        return Match::None;
    }
    return common == token.size() ? Match::Full : Match::Partial;
}

quint32 LittleEndian32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
}

// The decoded UGV code of an introduction text; nothing when the text is not one.
std::optional<QString> IntroductionCode(const QByteArray& text) {
    if (!text.contains("CMD_ID=\"UGV_INFORMATION\"")) {
        return {};
    }
    // '<' is never a trail byte in code page 949, so the tags are found in the raw bytes.
    const qsizetype open = text.indexOf("<UGV_ID>");
    if (open < 0) {
        return {};
    }
    const qsizetype begin = open + 8;
    const qsizetype end = text.indexOf("</UGV_ID>", begin);
    if (end < 0) {
        return {};
    }
    return FromCp949(text.mid(begin, end - begin));
}

}  // namespace

QList<StreamingEvent> StreamingStreamParser::feed(const QByteArray& bytes) {
    m_buffer.append(bytes);
    QList<StreamingEvent> events;
    while (parseOne(events) == Step::Done) {
    }
    if (m_offset > 0) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    return events;
}

QList<StreamingEvent> StreamingStreamParser::finish() {
    const qint64 left = m_pendingGarbage + buffered();
    reset();
    if (left == 0) {
        return {};
    }
    StreamingEvent garbage;
    garbage.kind = StreamingEvent::Kind::Garbage;
    garbage.skipped = left;
    return {garbage};
}

void StreamingStreamParser::reset() {
    m_buffer.clear();
    m_offset = 0;
    m_pendingGarbage = 0;
    m_inGarbage = false;
}

void StreamingStreamParser::skip(qsizetype count) {
    m_offset += count;
    m_pendingGarbage += count;
}

void StreamingStreamParser::emitMessage(QList<StreamingEvent>& events, StreamingEvent event,
                                        qsizetype length) {
    if (m_pendingGarbage > 0) {
        StreamingEvent garbage;
        garbage.kind = StreamingEvent::Kind::Garbage;
        garbage.skipped = m_pendingGarbage;
        events.append(garbage);
        m_pendingGarbage = 0;
    }
    events.append(std::move(event));
    m_offset += length;
}

StreamingStreamParser::Step StreamingStreamParser::startGarbage() {
    m_inGarbage = true;
    skip(1);
    return Step::Done;
}

StreamingStreamParser::Step StreamingStreamParser::resync() {
    const QByteArrayView view(m_buffer.constData() + m_offset, buffered());
    for (qsizetype at = 0; at < view.size(); ++at) {
        const char c = view[at];
        if (c != 'V' && c != '<' && c != 'A') {
            continue;
        }
        const QByteArrayView rest = view.sliced(at);
        const Match match =
            std::max({MatchAt(rest, kPictureMark), MatchAt(rest, kTextMark), MatchAt(rest, kAck)});
        if (match == Match::None) {
            continue;
        }
        skip(at);
        if (match == Match::Partial) {
            return Step::Wait;  // the tail may become a start; decide when more bytes come
        }
        m_inGarbage = false;
        return Step::Done;
    }
    skip(view.size());
    return Step::Wait;
}

StreamingStreamParser::Step StreamingStreamParser::parseOne(QList<StreamingEvent>& events) {
    if (buffered() == 0) {
        return Step::Wait;
    }
    if (m_inGarbage) {
        return resync();
    }
    const QByteArrayView view(m_buffer.constData() + m_offset, buffered());
    switch (view[0]) {
        case 'V': {
            const Match mark = MatchAt(view, kPictureMark);
            if (mark == Match::None) {
                return startGarbage();
            }
            if (view.size() < kHeaderSize) {
                return Step::Wait;
            }
            const quint32 length = LittleEndian32(view.data() + kPictureMark.size());
            if (length > kMaxPictureSize) {
                return startGarbage();
            }
            if (view.size() < kHeaderSize + qsizetype(length)) {
                return Step::Wait;
            }
            StreamingEvent picture;
            picture.kind = StreamingEvent::Kind::Picture;
            picture.bytes = QByteArray(view.data() + kHeaderSize, length);
            emitMessage(events, std::move(picture), kHeaderSize + length);
            return Step::Done;
        }
        case 'A': {
            const Match mark = MatchAt(view, kAck);
            if (mark == Match::None) {
                return startGarbage();
            }
            if (mark == Match::Partial) {
                return Step::Wait;
            }
            StreamingEvent ack;
            ack.kind = StreamingEvent::Kind::Ack;
            emitMessage(events, std::move(ack), kAck.size());
            return Step::Done;
        }
        case '<':
            return parseText(events);
        default:
            return startGarbage();
    }
}

StreamingStreamParser::Step StreamingStreamParser::parseText(QList<StreamingEvent>& events) {
    // Only the first kMaxTextSize bytes count, so the outcome never depends on what follows them.
    const QByteArrayView view(m_buffer.constData() + m_offset, std::min(buffered(), kMaxTextSize));
    const qsizetype end = view.indexOf(kTextEnd);
    // A second opening tag or a picture header before the end means this text was cut short:
    // skip straight to that start instead of swallowing it.
    const qsizetype open = view.indexOf(kTextMark);
    qsizetype cut = open >= 0 ? view.indexOf(kTextMark, open + 1) : -1;
    const qsizetype picture = view.indexOf(kPictureMark, 1);
    if (picture > 0 && (cut < 0 || picture < cut)) {
        cut = picture;
    }
    if (end >= 0 && (cut < 0 || cut > end)) {
        const qsizetype length = end + kTextEnd.size();
        StreamingEvent text;
        text.bytes = QByteArray(view.data(), length);
        const std::optional<QString> code = IntroductionCode(text.bytes);
        text.kind = code ? StreamingEvent::Kind::Introduction : StreamingEvent::Kind::Text;
        text.ugvId = code.value_or(QString());
        emitMessage(events, std::move(text), length);
        return Step::Done;
    }
    if (cut > 0) {
        skip(cut);
        return Step::Done;
    }
    if (view.size() >= kMaxTextSize) {
        return startGarbage();
    }
    return Step::Wait;
}
