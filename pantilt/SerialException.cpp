#include "pantilt/SerialException.h"

#include <cstdio>
#include <cstring>

namespace {
// glibc answers every unknown code with this prefix; such a code has no real text.
constexpr const char kUnknownPrefix[] = "Unknown error";

const char* SystemText(int code, char* scratch, size_t size) {
    return strerror_r(code, scratch, size);
}
}  // namespace

CSerialException::CSerialException(int errorCode) : m_errorCode(errorCode) {
    char scratch[256];
    std::snprintf(m_what, sizeof m_what, "serial port error %d: %s", errorCode,
                  SystemText(errorCode, scratch, sizeof scratch));
}

bool CSerialException::GetErrorMessage(char* text, unsigned size, unsigned* helpContext) const {
    if (helpContext) {
        *helpContext = 0;
    }
    if (!text || size == 0) {
        return false;
    }
    char scratch[256];
    const char* message = SystemText(m_errorCode, scratch, sizeof scratch);
    if (!message || std::strncmp(message, kUnknownPrefix, sizeof kUnknownPrefix - 1) == 0) {
        text[0] = '\0';
        return false;
    }
    std::snprintf(text, size, "%s", message);
    return true;
}

QString CSerialException::errorMessage() const {
    char text[256];
    GetErrorMessage(text, sizeof text);
    return QString::fromLocal8Bit(text);
}

const char* CSerialException::what() const noexcept {
    return m_what;
}
