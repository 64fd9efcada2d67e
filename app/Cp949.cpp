#include "app/Cp949.h"

#include <QList>

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

// Converts with one iconv descriptor per call; on an unconvertible or invalid sequence it emits
// `replacement` and skips `skip` input bytes.
QByteArray Convert(const char* to, const char* from, const QByteArray& input,
                   const QByteArray& replacement, size_t skip) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    QByteArray output;
    output.reserve(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char chunk[1024];
    while (inLeft > 0) {
        char* out = chunk;
        size_t outLeft = sizeof chunk;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(chunk, static_cast<qsizetype>(sizeof chunk - outLeft));
        if (rc != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (truncated tail): replace and step over.
        output.append(replacement);
        const size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
    }
    char* out = chunk;
    size_t outLeft = sizeof chunk;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    output.append(chunk, static_cast<qsizetype>(sizeof chunk - outLeft));
    iconv_close(cd);
    return output;
}

}  // namespace

QByteArray ToCp949(const QString& text) {
    // UTF-32 input lets one code point be skipped at a time.
    QByteArray utf32;
    const QList<uint> ucs = text.toUcs4();
    utf32.resize(ucs.size() * 4);
    for (qsizetype i = 0; i < ucs.size(); ++i) {
        const uint c = ucs[i];
        utf32[i * 4 + 0] = static_cast<char>(c & 0xFF);
        utf32[i * 4 + 1] = static_cast<char>((c >> 8) & 0xFF);
        utf32[i * 4 + 2] = static_cast<char>((c >> 16) & 0xFF);
        utf32[i * 4 + 3] = static_cast<char>((c >> 24) & 0xFF);
    }
    return Convert("CP949", "UTF-32LE", utf32, "?", 4);
}

QString FromCp949(const QByteArray& bytes) {
    return QString::fromUtf8(Convert("UTF-8", "CP949", bytes, "\xEF\xBF\xBD", 1));
}
