#pragma once
// Code page 949 at the station's boundaries (database, control and streaming payloads); inside
// the program all text is QString.

#include <QByteArray>
#include <QString>

// Characters that code page 949 cannot hold become '?'.
QByteArray ToCp949(const QString& text);
// Bytes that are not valid code page 949 become U+FFFD; decoding never fails.
QString FromCp949(const QByteArray& bytes);
