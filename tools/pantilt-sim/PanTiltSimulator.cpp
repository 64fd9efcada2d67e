// pantilt-sim: a pan/tilt head speaking Pelco-D on a pseudo-terminal that it links as COM<n> in a
// folder, so the station opens it like the real USB adapter. Independent of the station's own
// frame code on purpose: a fault there must not be mirrored here.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "Usage: pantilt-sim [options]\n"
    "A Pelco-D pan/tilt head on a pseudo-terminal, linked as <dir>/COM<port>.\n"
    "\n"
    "Options:\n"
    "  --dir DIR           folder of the COM link (default $STATION_SERIAL_DIR, else\n"
    "                      /tmp/station-serial; created when missing)\n"
    "  --port N            COM number (default 1)\n"
    "  --address A         Pelco-D receiver address (default 1); frames to others are ignored\n"
    "  --speed DEG         positioning speed in degrees per second (default 30; 0 = never moves)\n"
    "  --pan DEG           initial pan position (default 0)\n"
    "  --tilt DEG          initial tilt position (default 0)\n"
    "  --short-by H        stop H hundredths of a degree short of every set position\n"
    "  --silent            receive and log frames but never answer\n"
    "  --vanish-after MS   remove the port MS milliseconds after start\n"
    "  --help              this text\n"
    "\n"
    "Every frame is logged on standard output (rx, tx, ignored, bad-checksum). Commands on\n"
    "standard input, one per line, each answered with \"ok <command>\":\n"
    "  silent on|off       stop or resume answering\n"
    "  short H             stay H hundredths short of set positions\n"
    "  speed DEG           positioning speed\n"
    "  pan H | tilt H      put the head at a position (hundredths) at once\n"
    "  queue-pan H...      report these pan values in the next pan replies, then the real one\n"
    "  queue-tilt H...     the same for tilt replies\n"
    "  raw HEX             write these bytes to the line as they are\n"
    "  vanish              remove the port (link and pseudo-terminal)\n"
    "  appear              create the port again\n"
    "  quit                remove the port and exit\n"
    "Continuous moves run at (speed byte / 2) degrees per second until a stop.\n"
    "Go-to-preset (any preset, e.g. 254 of the initialise frame) moves to pan 0, tilt 0.\n";

constexpr int kFull = 36000;  // hundredths of a degree in a turn

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

double NowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Hex(const unsigned char* bytes, size_t count) {
    std::string text;
    char pair[4];
    for (size_t k = 0; k < count; ++k) {
        std::snprintf(pair, sizeof pair, k ? " %02x" : "%02x", bytes[k]);
        text += pair;
    }
    return text;
}

void Log(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

struct Axis {
    double position = 0;  // hundredths
    double target = -1;   // hundredths, -1 = no set position
    double velocity = 0;  // hundredths per second for continuous moves (signed)
    std::deque<int> queued;

    void step(double seconds, double positioningSpeed, int shortBy) {
        if (target >= 0) {
            const double direction = target > position ? 1 : -1;
            const double goal =
                std::abs(target - position) <= shortBy ? position : target - direction * shortBy;
            const double move = positioningSpeed * seconds;
            if (std::abs(goal - position) <= move) {
                position = goal;
            } else {
                position += direction * move;
            }
        } else if (velocity != 0) {
            position = std::clamp(position + velocity * seconds, 0.0, double(kFull));
        }
    }
    int reported() {
        if (!queued.empty()) {
            const int value = queued.front();
            queued.pop_front();
            return value;
        }
        return static_cast<int>(std::lround(position));
    }
};

struct Options {
    std::string dir;
    int port = 1;
    int address = 1;
    double speed = 30;
    double pan = 0;
    double tilt = 0;
    int shortBy = 0;
    bool silent = false;
    long vanishAfterMs = -1;
};

class Head {
  public:
    explicit Head(Options options) : m_options(std::move(options)) {
        m_pan.position = m_options.pan * 100;
        m_tilt.position = m_options.tilt * 100;
        m_link = m_options.dir + "/COM" + std::to_string(m_options.port);
    }

    bool appear() {
        if (m_master >= 0) {
            return true;
        }
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            std::perror("pantilt-sim: pseudo-terminal");
            return false;
        }
        const char* slaveName = ptsname(m_master);
        // Holding the slave side open keeps the master readable between the station's opens.
        m_slave = open(slaveName, O_RDWR | O_NOCTTY);
        if (m_slave >= 0) {
            termios line{};
            tcgetattr(m_slave, &line);
            cfmakeraw(&line);
            cfsetispeed(&line, B9600);
            cfsetospeed(&line, B9600);
            tcsetattr(m_slave, TCSANOW, &line);
        }
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        unlink(m_link.c_str());
        if (symlink(slaveName, m_link.c_str()) != 0) {
            std::perror("pantilt-sim: link");
            return false;
        }
        Log("ready " + m_link + " -> " + slaveName);
        return true;
    }

    void vanish() {
        unlink(m_link.c_str());
        if (m_master >= 0) {
            close(m_master);
        }
        if (m_slave >= 0) {
            close(m_slave);
        }
        m_master = m_slave = -1;
        m_input.clear();
        Log("vanished " + m_link);
    }

    int master() const { return m_master; }

    void step(double seconds) {
        m_pan.step(seconds, m_options.speed * 100, m_options.shortBy);
        m_tilt.step(seconds, m_options.speed * 100, m_options.shortBy);
    }

    void readLine() {
        unsigned char bytes[256];
        const ssize_t n = read(m_master, bytes, sizeof bytes);
        if (n <= 0) {
            return;
        }
        m_input.insert(m_input.end(), bytes, bytes + n);
        while (true) {
            auto sync = std::find(m_input.begin(), m_input.end(), 0xFF);
            if (sync != m_input.begin()) {
                Log("noise " + Hex(m_input.data(), size_t(sync - m_input.begin())));
                m_input.erase(m_input.begin(), sync);
            }
            if (m_input.size() < 7) {
                break;
            }
            unsigned char frame[7];
            std::copy_n(m_input.begin(), 7, frame);
            m_input.erase(m_input.begin(), m_input.begin() + 7);
            handle(frame);
        }
    }

    bool command(const std::string& line) {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        if (verb.empty()) {
            return true;
        }
        if (verb == "silent") {
            std::string value;
            words >> value;
            m_options.silent = value != "off";
        } else if (verb == "short") {
            words >> m_options.shortBy;
        } else if (verb == "speed") {
            words >> m_options.speed;
        } else if (verb == "pan" || verb == "tilt") {
            Axis& axis = verb == "pan" ? m_pan : m_tilt;
            words >> axis.position;
            axis.target = -1;
            axis.velocity = 0;
        } else if (verb == "queue-pan" || verb == "queue-tilt") {
            Axis& axis = verb == "queue-pan" ? m_pan : m_tilt;
            int value;
            while (words >> value) {
                axis.queued.push_back(value);
            }
        } else if (verb == "raw") {
            std::string hex, digits;
            while (words >> digits) {
                hex += digits;
            }
            if (hex.size() % 2 != 0 ||
                hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                Log("bad " + line + " (needs pairs of hex digits)");
                return true;
            }
            std::vector<unsigned char> bytes;
            for (size_t k = 0; k + 1 < hex.size(); k += 2) {
                bytes.push_back(
                    static_cast<unsigned char>(std::stoi(hex.substr(k, 2), nullptr, 16)));
            }
            send(bytes.data(), bytes.size(), "raw");
        } else if (verb == "vanish") {
            vanish();
        } else if (verb == "appear") {
            appear();
        } else if (verb == "quit") {
            return false;
        } else {
            Log("unknown " + line);
            return true;
        }
        Log("ok " + line);
        return true;
    }

  private:
    void send(const unsigned char* bytes, size_t count, const std::string& what) {
        if (m_master < 0) {
            return;
        }
        const ssize_t n = write(m_master, bytes, count);
        Log("tx " + Hex(bytes, count) + " " + what + (n == ssize_t(count) ? "" : " (short write)"));
    }

    void reply(unsigned char code, int value, const char* what) {
        if (m_options.silent) {
            Log(std::string("silent ") + what);
            return;
        }
        unsigned char frame[7] = {0xFF,
                                  static_cast<unsigned char>(m_options.address),
                                  0x00,
                                  code,
                                  static_cast<unsigned char>((value >> 8) & 0xFF),
                                  static_cast<unsigned char>(value & 0xFF),
                                  0};
        frame[6] = static_cast<unsigned char>(frame[1] + frame[2] + frame[3] + frame[4] + frame[5]);
        send(frame, 7, std::string(what) + " " + std::to_string(value));
    }

    void handle(const unsigned char* frame) {
        const std::string text = Hex(frame, 7);
        const unsigned sum = (frame[1] + frame[2] + frame[3] + frame[4] + frame[5]) & 0xFF;
        if (sum != frame[6]) {
            Log("bad-checksum " + text);
            return;
        }
        if (frame[1] != m_options.address) {
            Log("ignored " + text + " address " + std::to_string(frame[1]));
            return;
        }
        const unsigned char command = frame[3];
        const int value = frame[4] * 256 + frame[5];
        switch (command) {
            case 0x4B:
                Log("rx " + text + " set-pan " + std::to_string(value));
                m_pan.target = value;
                m_pan.velocity = 0;
                break;
            case 0x4D:
                Log("rx " + text + " set-tilt " + std::to_string(value));
                m_tilt.target = value;
                m_tilt.velocity = 0;
                break;
            case 0x51:
                Log("rx " + text + " query-pan");
                reply(0x59, m_pan.reported(), "pan-reply");
                break;
            case 0x53:
                Log("rx " + text + " query-tilt");
                reply(0x5B, m_tilt.reported(), "tilt-reply");
                break;
            case 0x07:
                Log("rx " + text + " go-to-preset " + std::to_string(frame[5]));
                m_pan.target = 0;
                m_tilt.target = 0;
                break;
            default:
                if (frame[2] == 0 && (command & 0x01) == 0 && command <= 0x1E) {
                    move(command, frame[4], frame[5], text);
                } else {
                    Log("rx " + text + " unknown");
                }
        }
    }

    void move(unsigned char code, unsigned char panSpeed, unsigned char tiltSpeed,
              const std::string& text) {
        const char* names[] = {"stop", "right", "left", "up", "down"};
        std::string what;
        for (int bit = 1; bit <= 4; ++bit) {
            if (code & (1 << bit)) {
                what += what.empty() ? names[bit] : std::string("-") + names[bit];
            }
        }
        Log("rx " + text + " move " + (what.empty() ? names[0] : what));
        const double panRate = panSpeed * 50.0;  // hundredths per second = speed byte / 2 deg/s
        const double tiltRate = tiltSpeed * 50.0;
        m_pan.target = m_tilt.target = -1;
        m_pan.velocity = (code & 0x02) ? panRate : (code & 0x04) ? -panRate : 0;
        m_tilt.velocity = (code & 0x08) ? tiltRate : (code & 0x10) ? -tiltRate : 0;
    }

    Options m_options;
    std::string m_link;
    int m_master = -1;
    int m_slave = -1;
    std::vector<unsigned char> m_input;
    Axis m_pan, m_tilt;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    const char* env = std::getenv("STATION_SERIAL_DIR");
    options.dir = env && *env ? env : "/tmp/station-serial";
    for (int k = 1; k < argc; ++k) {
        const std::string name = argv[k];
        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (name == "--silent") {
            options.silent = true;
            continue;
        }
        static const char* const kValued[] = {"--dir", "--port", "--address",  "--speed",
                                              "--pan", "--tilt", "--short-by", "--vanish-after"};
        if (std::none_of(std::begin(kValued), std::end(kValued),
                         [&](const char* known) { return name == known; })) {
            std::fprintf(stderr, "pantilt-sim: unknown option %s\n%s", name.c_str(), kUsage);
            return false;
        }
        if (k + 1 >= argc) {
            std::fprintf(stderr, "pantilt-sim: %s needs a value\n%s", name.c_str(), kUsage);
            return false;
        }
        const char* value = argv[++k];
        if (name == "--dir") {
            options.dir = value;
        } else if (name == "--port") {
            options.port = std::atoi(value);
        } else if (name == "--address") {
            options.address = std::atoi(value);
        } else if (name == "--speed") {
            options.speed = std::atof(value);
        } else if (name == "--pan") {
            options.pan = std::atof(value);
        } else if (name == "--tilt") {
            options.tilt = std::atof(value);
        } else if (name == "--short-by") {
            options.shortBy = std::atoi(value);
        } else if (name == "--vanish-after") {
            options.vanishAfterMs = std::atol(value);
        } else {
            std::fprintf(stderr, "pantilt-sim: unknown option %s\n%s", name.c_str(), kUsage);
            return false;
        }
    }
    if (options.port < 1 || options.address < 0 || options.address > 255) {
        std::fprintf(stderr, "pantilt-sim: port must be >= 1 and address 0-255\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        return 2;
    }
    mkdir(options.dir.c_str(), 0755);
    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    signal(SIGPIPE, SIG_IGN);

    const long vanishAfterMs = options.vanishAfterMs;
    Head head(options);
    if (!head.appear()) {
        return 1;
    }
    const double started = NowSeconds();
    double last = started;
    bool stdinOpen = true;
    bool vanishPending = vanishAfterMs >= 0;
    std::string pending;
    while (!g_stop) {
        pollfd fds[2] = {{head.master(), POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
        poll(fds, 2, 10);
        const double now = NowSeconds();
        head.step(now - last);
        last = now;
        if (vanishPending && (now - started) * 1000 >= vanishAfterMs) {
            vanishPending = false;
            head.vanish();
        }
        if (head.master() >= 0 && (fds[0].revents & POLLIN)) {
            head.readLine();
        }
        if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char chunk[512];
            const ssize_t n = read(0, chunk, sizeof chunk);
            if (n <= 0) {
                stdinOpen = false;  // started without a console: run on until a signal
                continue;
            }
            pending.append(chunk, size_t(n));
            size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!head.command(line)) {
                    g_stop = 1;
                    break;
                }
            }
        }
    }
    head.vanish();
    return 0;
}
