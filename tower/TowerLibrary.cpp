#include "tower/TowerLibrary.h"

#include "app/DebugLog.h"
#include "app/Utilities.h"

#include <dlfcn.h>

namespace {
constexpr int kDeviceIndex = 0;
constexpr unsigned char kWriteMode = 1;
}  // namespace

CTowerLibrary::~CTowerLibrary() {
    Unload();
}

QString CTowerLibrary::DefaultPath() {
    const QString configured = qEnvironmentVariable("STATION_TOWER_LIB");
    if (!configured.isEmpty()) {
        return configured;
    }
    return ModuleFolder() + QLatin1Char('/') + QLatin1String(kDefaultFileName);
}

bool CTowerLibrary::Load() {
    return Load(DefaultPath());
}

bool CTowerLibrary::Load(const QString& path) {
    Unload();
    void* handle = ::dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        DebugLogf("[Tower] No signal tower library : %s", ::dlerror());
        return false;
    }
    auto open = reinterpret_cast<UsbQuOpenFunction>(::dlsym(handle, STATION_TOWER_OPEN_SYMBOL));
    auto write = reinterpret_cast<UsbQuWriteFunction>(::dlsym(handle, STATION_TOWER_WRITE_SYMBOL));
    auto getState =
        reinterpret_cast<UsbQuGetstateFunction>(::dlsym(handle, STATION_TOWER_GETSTATE_SYMBOL));
    if (!open || !write || !getState) {
        DebugLogf("[Tower] %s lacks the tower functions", path.toLocal8Bit().constData());
        ::dlclose(handle);
        return false;
    }
    m_handle = handle;
    m_path = path;
    m_open = open;
    m_write = write;
    m_getState = getState;
    return true;
}

void CTowerLibrary::Unload() {
    if (m_handle) {
        ::dlclose(m_handle);
    }
    m_handle = nullptr;
    m_path.clear();
    m_open = nullptr;
    m_write = nullptr;
    m_getState = nullptr;
}

void CTowerLibrary::Open() {
    if (m_open) {
        m_open();
    }
}

void CTowerLibrary::Write(const TowerPattern& pattern) {
    if (m_write) {
        TowerPattern bytes = pattern;
        m_write(kDeviceIndex, kWriteMode, bytes.data());
    }
}

int CTowerLibrary::GetState() {
    return m_getState ? m_getState() : 0;
}
