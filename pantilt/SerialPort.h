#pragma once
// The pan/tilt head's serial line: 9600 8N1 without flow control, reads that return at once and
// writes that give up after 1000 ms. Port n is the device COM<n> in the serial folder
// ($STATION_SERIAL_DIR, default /dev), usually a udev link to a USB adapter.

#include <QByteArray>
#include <QString>

class CSerialPort {
  public:
    enum WriteMode { TextMode = 1, HexMode = 2 };

    CSerialPort() = default;
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Exclusive open with the line settings; any failure gives false.
    bool Open(int port);
    // Always true; logs "Disconnect OK : Com %d Port." also when nothing was open.
    bool Close();
    bool IsOpen() const { return m_fd >= 0; }
    int PortNumber() const { return m_portNumber; }

    void SetWriteMode(int mode) { m_writeMode = mode; }
    int WriteMode() const { return m_writeMode; }

    // Appends CR LF and writes (see WriteRaw). Throws CSerialException when a system call fails.
    bool WriteCommand(const QByteArray& command);
    // Purges both directions, then writes the text as it stands (text mode) or the bytes its hex
    // digits denote, CR LF left out (hex mode).
    bool WriteRaw(const QByteArray& text);
    // Whatever has arrived, at most maxBytes, without waiting; 0 when nothing is there. Throws
    // CSerialException when the read fails.
    int Read(char* buffer, int maxBytes);

    static bool IsPortPresent(unsigned port);
    static QString DevicePath(unsigned port);
    static QString SerialFolder();

    static int HexDigitValue(char digit);
    static char HexDigitChar(int value);

  private:
    void Configure();
    int WriteAll(const char* bytes, int count);

    int m_fd = -1;
    int m_portNumber = 0;
    int m_writeMode = TextMode;
};
