#include "app/ModalLoop.h"

#include <QDialog>
#include <QPointer>

#include <vector>

namespace {

struct OpenDialog {
    QPointer<QDialog> dialog;
    std::function<void()> close;
};

// UI thread only, so plain state is enough.
std::vector<OpenDialog>& OpenDialogs() {
    static std::vector<OpenDialog> dialogs;
    return dialogs;
}
bool g_closed = false;

void Close(const OpenDialog& open) {
    if (!open.dialog) {
        return;
    }
    if (open.close) {
        open.close();
    } else {
        open.dialog->reject();
    }
}

}  // namespace

namespace ModalLoop {

int Exec(QDialog& dialog, std::function<void()> closeAsTimedOut) {
    if (g_closed) {
        return QDialog::Rejected;
    }
    OpenDialogs().push_back({&dialog, std::move(closeAsTimedOut)});
    const int result = dialog.exec();
    OpenDialogs().pop_back();
    return result;
}

int Depth() {
    return static_cast<int>(OpenDialogs().size());
}

void CloseAll() {
    g_closed = true;
    // Innermost first: each loop returns to the one below it.
    for (auto it = OpenDialogs().rbegin(); it != OpenDialogs().rend(); ++it) {
        Close(*it);
    }
}

bool IsClosed() {
    return g_closed;
}

void Reopen() {
    g_closed = false;
}

}  // namespace ModalLoop
