#pragma once
// The one seam through which every operator dialog passes. The application installs the widget
// implementation; tests install a recording one with scripted answers.

#include <QString>

#include <optional>

class StationDialogs {
  public:
    virtual ~StationDialogs() = default;
    // The self-closing message dialog; returns when it has closed.
    virtual void showMessage(const QString& caption, const QString& text) = 0;
    // The confirmation dialog; true only when the operator confirmed.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // The plain system message box (database failure details, the single-instance notice).
    virtual void showSystemMessage(const QString& caption, const QString& text) = 0;
    // The timed progress dialog with `steps` steps of 100 ms; returns when it has closed.
    virtual void showProgress(const QString& title, int steps) = 0;
    // The level popup with `title` and `text`, the entry "<value x 10> dB" preselected. After
    // "확인" the chosen entry's index (-1 when none); nothing when cancelled or not shown.
    virtual std::optional<int> chooseLevel(const QString& title, const QString& text, int value) {
        return std::nullopt;
    }
    // The station is shutting down: close every open dialog as its time-out or cancel would,
    // answer every thread waiting for one, and answer later calls at once (no dialog shown).
    virtual void closeAll() {}
};

// Installs the implementation used by the free functions below (not owned). nullptr removes it;
// without one, the calls only write a debug line and AskYesNo answers false.
void InstallStationDialogs(StationDialogs* dialogs);
StationDialogs* InstalledStationDialogs();

// Callable from any thread; the widget implementation marshals to the UI thread and waits.
void ShowMessage(const QString& caption, const QString& text);
bool AskYesNo(const QString& caption, const QString& text);
void ShowSystemMessage(const QString& caption, const QString& text);
void ShowProgress(const QString& title, int steps);
std::optional<int> ChooseLevel(const QString& title, const QString& text, int value);
// See StationDialogs::closeAll; nothing without an installed implementation.
void CloseAllStationDialogs();
