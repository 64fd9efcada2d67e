#include "app/CLocaleFormat.h"

#include <locale.h>
#include <clocale>
#include <cstdio>

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Switches the calling thread (only) to the C locale for its lifetime.
class CLocaleScope {
  public:
    CLocaleScope() : m_previous(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(m_previous); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t m_previous;
};

}  // namespace

QByteArray FormatCLocaleV(const char* format, va_list args) {
    CLocaleScope scope;
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    QByteArray text;
    if (length > 0) {
        text.resize(length);
        std::vsnprintf(text.data(), static_cast<std::size_t>(length) + 1, format, args);
    }
    return text;
}

QByteArray FormatCLocale(const char* format, ...) {
    va_list args;
    va_start(args, format);
    QByteArray text = FormatCLocaleV(format, args);
    va_end(args);
    return text;
}
