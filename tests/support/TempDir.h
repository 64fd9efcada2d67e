#pragma once
// Points the per-user settings store at a fresh temporary folder for the lifetime of the object,
// so a test never reads or writes the real user's settings.

#include <QSettings>
#include <QTemporaryDir>

class ScopedUserSettings {
  public:
    ScopedUserSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }
    QString path() const { return m_dir.path(); }

  private:
    QTemporaryDir m_dir;
};
