#include "remote/ControlFrame.h"

namespace {

uint16_t Read16(const char* p) {
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}

uint32_t Read32(const char* p) {
    return static_cast<uint32_t>(Read16(p)) | (static_cast<uint32_t>(Read16(p + 2)) << 16);
}

void Put16(char* p, uint16_t value) {
    p[0] = static_cast<char>(value & 0xFF);
    p[1] = static_cast<char>(value >> 8);
}

void Put32(char* p, uint32_t value) {
    Put16(p, static_cast<uint16_t>(value & 0xFFFF));
    Put16(p + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace

std::optional<ControlFrameHeader> ReadControlFrameHeader(const QByteArray& bytes) {
    if (bytes.size() < ControlFrame::kHeaderSize) {
        return std::nullopt;
    }
    const char* p = bytes.constData();
    ControlFrameHeader header;
    header.sop = Read16(p);
    header.id = Read16(p + 2);
    header.ver = static_cast<uint8_t>(p[4]);
    header.reserved = static_cast<uint8_t>(p[5]);
    header.time = Read32(p + 6);
    header.length = Read16(p + 10);
    return header;
}

std::optional<QByteArray> EncodeControlFrame(uint16_t objectId, const QByteArray& payload,
                                             uint32_t timeSeconds) {
    if (payload.size() > ControlFrame::kMaxPayload) {
        return std::nullopt;
    }
    QByteArray frame(ControlFrame::kHeaderSize, '\0');
    char* p = frame.data();
    Put16(p, ControlFrame::kStartWord);
    Put16(p + 2, objectId);
    p[4] = static_cast<char>(ControlFrame::kVersion);
    p[5] = 0;
    Put32(p + 6, timeSeconds);
    Put16(p + 10, static_cast<uint16_t>(payload.size()));
    frame.append(payload);
    return frame;
}

ControlHeaderFault CheckControlFrameHeader(const ControlFrameHeader& header) {
    if (header.sop != ControlFrame::kStartWord) {
        return ControlHeaderFault::StartWord;
    }
    if (header.ver < ControlFrame::kVersion) {
        return ControlHeaderFault::Version;
    }
    if (header.length > ControlFrame::kMaxPayload) {
        return ControlHeaderFault::Length;
    }
    return ControlHeaderFault::None;
}

QString ControlHeaderErrorBlock(const ControlFrameHeader& header, ControlHeaderFault fault) {
    const QString rule = QStringLiteral("//") + QString(60, u'=');
    QString block = rule + QString::asprintf("\r\n// * Header(ID : 0x%x)", header.id) +
                    QStringLiteral("\r\n") + rule;
    switch (fault) {
        case ControlHeaderFault::StartWord:
            block +=
                QString::asprintf("\r\n// 1.sop ERROR : 0x%04x((Must Be : 0xaabb) ", header.sop);
            break;
        case ControlHeaderFault::Version:
            block += QString::asprintf(
                "\r\n// 3.ver ERROR : 0x%02x(Must be greater than or equal to 2)", header.ver);
            break;
        case ControlHeaderFault::Length:
            block += QString::asprintf("\r\n// 6.length ERROR : 0x%04x(%d), : Max Lenght is %d",
                                       header.length, header.length, ControlFrame::kMaxPayload);
            break;
        case ControlHeaderFault::None:
            break;
    }
    return block;
}

void ControlFrameReader::Append(const char* data, qsizetype size) {
    m_pending.append(data, size);
}

std::optional<ControlFrameReader::Item> ControlFrameReader::TakeNext() {
    const std::optional<ControlFrameHeader> header = ReadControlFrameHeader(m_pending);
    if (!header) {
        return std::nullopt;
    }
    Item item;
    item.header = *header;
    item.fault = CheckControlFrameHeader(*header);
    if (item.fault != ControlHeaderFault::None) {
        item.kind = Item::Fault;
        m_pending.clear();
        return item;
    }
    const qsizetype frameSize = ControlFrame::kHeaderSize + header->length;
    if (m_pending.size() < frameSize) {
        return std::nullopt;
    }
    item.kind = Item::Frame;
    item.payload = m_pending.mid(ControlFrame::kHeaderSize, header->length);
    m_pending.remove(0, frameSize);
    return item;
}
