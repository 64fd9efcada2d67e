#include "storage/DayCounters.h"

CounterTexts CounterTextsOf(const DayCounters& c) {
    CounterTexts texts;
    texts.pass = QString::asprintf("  %d EA", c.today_pass);
    texts.ng = QString::asprintf("  %d EA", c.today_ng);
    texts.total = QString::asprintf("  %d EA", c.today_total);
    if (c.today_total != 0) {
        const float rate =
            static_cast<float>(c.today_ng) / static_cast<float>(c.today_total) * 100.0f;
        texts.ng_rate = QString::asprintf("  %.1f%%", static_cast<double>(rate));
    } else {
        texts.ng_rate = QStringLiteral("  0.0%");
    }
    return texts;
}
