#pragma once
// The one exception of the station: a failed system call on the pan/tilt serial port, carrying
// the errno of that call.

#include <QString>

#include <exception>

class CSerialException : public std::exception {
  public:
    explicit CSerialException(int errorCode);

    int errorCode() const { return m_errorCode; }
    // Fills `text` (at most `size` bytes including the terminator) with the system's message for
    // the code and sets the help context to 0. Without a system text the buffer is emptied and
    // the result is false.
    bool GetErrorMessage(char* text, unsigned size, unsigned* helpContext = nullptr) const;
    QString errorMessage() const;
    const char* what() const noexcept override;

  private:
    int m_errorCode;
    char m_what[128];
};
