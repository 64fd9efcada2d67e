#pragma once
// The nested event loops of the station's modal dialogs on the UI thread. A shutdown request that
// arrives inside one must not destroy what the code below the dialog still uses: it closes every
// open dialog, keeps new ones from opening, and waits until no dialog loop is left on the stack.

#include <functional>

class QDialog;

namespace ModalLoop {

// Runs dialog.exec() and counts the nested loop while it runs. `closeAsTimedOut` ends the dialog
// the way its own time-out or cancel would (reject() when empty). Once CloseAll() has run, the
// dialog is not shown and QDialog::Rejected is returned at once. UI thread only.
int Exec(QDialog& dialog, std::function<void()> closeAsTimedOut = {});

// How many dialog loops are running now (0 = control is in the main loop or below no dialog).
int Depth();

// Ends every running dialog loop and every one that is opened later (see Exec).
void CloseAll();
bool IsClosed();

// Undoes CloseAll (for a process that runs a second station, as tests do).
void Reopen();

}  // namespace ModalLoop
