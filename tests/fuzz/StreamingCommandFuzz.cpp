// A streaming server's command text as the station reads it: at most one acknowledgement per
// YELT element, and nothing for text that is not XML.

#include "app/Cp949.h"
#include "streaming/StreamingMessages.h"
#include "tests/fuzz/FuzzChecks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The station reads at most this much at once.
    if (size > 1024) {
        return 0;
    }
    const QString text =
        FromCp949(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    int lines = 0;
    const auto result = StreamingMessages::ReadServerCommand(text, [&](const QString& line) {
        ++lines;
        fuzz::Keep(static_cast<uint64_t>(line.size()));
    });
    fuzz::Check(lines >= 1);
    fuzz::Check(result.acknowledgements >= 0);
    fuzz::Check(result.wellFormed || result.acknowledgements == 0);
    fuzz::Check(result.acknowledgements <= text.count(QStringLiteral("YELT")));
    return 0;
}
