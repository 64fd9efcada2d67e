#pragma once
// Puts the whole process under a locale for the lifetime of the object, as an operator's session
// with that LANG would, and restores the previous one. ok() tells whether the locale exists
// (the test set-up generates de_DE.UTF-8).

#include <clocale>
#include <string>

class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name) {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        m_previous = previous != nullptr ? previous : "C";
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool ok() const { return m_ok; }
    // The decimal separator printf uses now.
    static char DecimalPoint() { return std::localeconv()->decimal_point[0]; }

  private:
    std::string m_previous;
    bool m_ok = false;
};
