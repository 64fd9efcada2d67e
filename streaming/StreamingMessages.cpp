#include "streaming/StreamingMessages.h"

#include "app/Cp949.h"

#include <QBuffer>
#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QDomNodeList>

namespace StreamingMessages {

QByteArray Introduction(const QString& ugvCode) {
    return ToCp949(
        QStringLiteral("<YELT VERSION=\"1.0\" CMD_ID=\"UGV_INFORMATION\"><ELEMENT><UGV_ID>") +
        ugvCode + QStringLiteral("</UGV_ID></ELEMENT></YELT>"));
}

std::vector<QByteArray> PictureSends(const QByteArray& jpeg) {
    std::vector<QByteArray> sends;
    const auto length = static_cast<uint32_t>(jpeg.size());
    QByteArray first("V.160", 5);
    for (int shift = 0; shift < 32; shift += 8) {
        first.append(static_cast<char>((length >> shift) & 0xFF));
    }
    first.append(jpeg.left(kChunkBytes));
    sends.push_back(first);
    for (qsizetype offset = kChunkBytes; offset < jpeg.size(); offset += kChunkBytes) {
        sends.push_back(jpeg.mid(offset, kChunkBytes));
    }
    return sends;
}

QByteArray Thumbnail(const QImage& pane) {
    if (pane.isNull()) {
        return {};
    }
    const QImage small = pane.scaled(kThumbnailWidth, kThumbnailHeight, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!small.save(&buffer, "JPEG")) {
        return {};
    }
    return jpeg;
}

BroadcastCommands ReadServerCommand(const QString& text,
                                    const std::function<void(const QString&)>& log) {
    BroadcastCommands result;
    QDomDocument document;
    if (!document.setContent(text)) {
        log(QStringLiteral("[XML Load ERROR]"));
        return result;
    }
    result.wellFormed = true;
    const QDomNodeList elements = document.elementsByTagName(QStringLiteral("YELT"));
    log(QStringLiteral("<YELT>Len = %1").arg(elements.count()));
    QString version;
    QString command;
    for (int i = 0; i < elements.count(); ++i) {
        const QDomNamedNodeMap attributes = elements.at(i).attributes();
        log(QStringLiteral("Attribute len = %1").arg(attributes.count()));
        for (int a = 0; a < attributes.count(); ++a) {
            const QDomAttr attribute = attributes.item(a).toAttr();
            log(QStringLiteral("[%1]t_name = %2, t_data = %3")
                    .arg(i)
                    .arg(attribute.name(), attribute.value()));
            if (attribute.name() == u"VERSION") {
                version = attribute.value();
            } else if (attribute.name() == u"CMD_ID") {
                command = attribute.value();
            }
        }
        if (version == u"1.0" && command == u"BROD_CMD_01") {
            ++result.acknowledgements;
        }
    }
    return result;
}

}  // namespace StreamingMessages
