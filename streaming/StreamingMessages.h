#pragma once
// What travels on a streaming link, as plain functions over bytes: the station's introduction,
// a picture message cut into its sends, the thumbnail itself, and the servers' commands.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace StreamingMessages {

constexpr int kThumbnailWidth = 160;
constexpr int kThumbnailHeight = 120;
constexpr int kHeaderBytes = 9;
constexpr int kChunkBytes = 1024;

// The introduction with the vehicle code, in code page 949.
QByteArray Introduction(const QString& ugvCode);
// "V.160", the file length (32-bit little-endian) and the file, in the sends that carry it: the
// header with the first 1024 bytes, then at most 1024 bytes each.
std::vector<QByteArray> PictureSends(const QByteArray& jpeg);
// The 160 x 120 JPEG of a pane, smoothly scaled, default quality; empty when it cannot be made.
QByteArray Thumbnail(const QImage& pane);

// The acknowledgements a server's command text asks for: one per YELT element whose VERSION is
// "1.0" and CMD_ID "BROD_CMD_01" (the values carry over from one element to the next). Nothing
// when the text is not XML. Writes the diagnostic lines through `log`.
struct BroadcastCommands {
    bool wellFormed = false;
    int acknowledgements = 0;
};
BroadcastCommands ReadServerCommand(const QString& text,
                                    const std::function<void(const QString&)>& log);

}  // namespace StreamingMessages
