#include "app/StationDialogs.h"

#include "app/DebugLog.h"

#include <atomic>

namespace {
std::atomic<StationDialogs*> g_dialogs{nullptr};
}

void InstallStationDialogs(StationDialogs* dialogs) {
    g_dialogs.store(dialogs);
}

StationDialogs* InstalledStationDialogs() {
    return g_dialogs.load();
}

void ShowMessage(const QString& caption, const QString& text) {
    if (StationDialogs* d = g_dialogs.load()) {
        d->showMessage(caption, text);
        return;
    }
    DebugLog(QStringLiteral("[Message] %1 : %2").arg(caption, text));
}

bool AskYesNo(const QString& caption, const QString& text) {
    if (StationDialogs* d = g_dialogs.load()) {
        return d->askYesNo(caption, text);
    }
    DebugLog(QStringLiteral("[Question] %1 : %2").arg(caption, text));
    return false;
}

void ShowSystemMessage(const QString& caption, const QString& text) {
    if (StationDialogs* d = g_dialogs.load()) {
        d->showSystemMessage(caption, text);
        return;
    }
    DebugLog(QStringLiteral("[MessageBox] %1 : %2").arg(caption, text));
}

void ShowProgress(const QString& title, int steps) {
    if (StationDialogs* d = g_dialogs.load()) {
        d->showProgress(title, steps);
    }
}

std::optional<int> ChooseLevel(const QString& title, const QString& text, int value) {
    if (StationDialogs* d = g_dialogs.load()) {
        return d->chooseLevel(title, text, value);
    }
    return std::nullopt;
}

void CloseAllStationDialogs() {
    if (StationDialogs* d = g_dialogs.load()) {
        d->closeAll();
    }
}
