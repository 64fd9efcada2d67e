#include "tools/control-sim/ControlSimOutput.h"

#include <cstdio>

OutputFunction StandardOutput() {
    return [](OutputChannel channel, const QString& text) {
        const QByteArray bytes = text.toUtf8();
        if (channel == OutputChannel::Err) {
            std::fprintf(stderr, "control-sim: %s\n", bytes.constData());
            std::fflush(stderr);
        } else {
            std::fprintf(stdout, "%s\n", bytes.constData());
            std::fflush(stdout);
        }
    };
}
