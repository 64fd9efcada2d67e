#pragma once
// The signal tower's vendor library, loaded at run time. Path: $STATION_TOWER_LIB, else
// libUx64_dllc.so beside the executable. Without a library (or without its three functions)
// there is no tower: writes are ignored and the state reads 0.

#include <QString>

#include <array>
#include <cstdint>

#include "tower/TowerLibraryApi.h"

using TowerPattern = std::array<uint8_t, 6>;

class CTowerLibrary {
  public:
    static constexpr const char* kDefaultFileName = "libUx64_dllc.so";

    CTowerLibrary() = default;
    ~CTowerLibrary();
    CTowerLibrary(const CTowerLibrary&) = delete;
    CTowerLibrary& operator=(const CTowerLibrary&) = delete;

    // Loads the library from DefaultPath(); true when all three functions were found.
    bool Load();
    bool Load(const QString& path);
    bool IsLoaded() const { return m_write != nullptr; }
    QString LoadedPath() const { return m_path; }
    static QString DefaultPath();

    void Open();
    void Write(const TowerPattern& pattern);
    // Nonzero: a tower answers.
    int GetState();

  private:
    void Unload();

    void* m_handle = nullptr;
    QString m_path;
    UsbQuOpenFunction m_open = nullptr;
    UsbQuWriteFunction m_write = nullptr;
    UsbQuGetstateFunction m_getState = nullptr;
};
