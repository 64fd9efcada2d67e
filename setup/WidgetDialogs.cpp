#include "setup/WidgetDialogs.h"

#include "app/DebugLog.h"
#include "app/ModalLoop.h"
#include "setup/DlgMessage.h"
#include "setup/DlgMessageYesNo.h"
#include "setup/DlgPopupOption.h"
#include "setup/DlgProgress.h"

#include <QMessageBox>

WidgetDialogs::WidgetDialogs(QWidget* owner) : m_owner(owner), m_caller(this) {}

bool WidgetDialogs::OnUiThread(const std::function<void()>& show) {
    if (m_closed.load()) {
        return false;
    }
    bool shown = false;
    m_caller.call([&] {
        if (!ModalLoop::IsClosed()) {
            show();
            shown = true;
        }
    });
    return shown;
}

void WidgetDialogs::showMessage(const QString& caption, const QString& text) {
    DebugLog(QStringLiteral("[Message] %1 : %2").arg(caption, text));
    OnUiThread([&] {
        CDlgMessage dialog(m_owner);
        dialog.SetTitle(caption);
        dialog.SetText(text);
        ModalLoop::Exec(dialog, [&dialog] { dialog.accept(); });
    });
}

bool WidgetDialogs::askYesNo(const QString& caption, const QString& text) {
    DebugLog(QStringLiteral("[Question] %1 : %2").arg(caption, text));
    bool confirmed = false;
    OnUiThread([&] {
        CDlgMessageYesNo dialog(m_owner);
        dialog.SetTitle(caption);
        dialog.SetText(text);
        confirmed = ModalLoop::Exec(dialog) == QDialog::Accepted;
    });
    return confirmed;
}

void WidgetDialogs::showSystemMessage(const QString& caption, const QString& text) {
    DebugLog(QStringLiteral("[MessageBox] %1 : %2").arg(caption, text));
    OnUiThread([&] {
        QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, m_owner);
        ModalLoop::Exec(box, [&box] { box.done(QMessageBox::Ok); });
    });
}

void WidgetDialogs::showProgress(const QString& title, int steps) {
    OnUiThread([&] {
        CDlgProgress dialog(title, steps, m_owner);
        ModalLoop::Exec(dialog, [&dialog] { dialog.accept(); });
    });
}

std::optional<int> WidgetDialogs::chooseLevel(const QString& title, const QString& text,
                                              int value) {
    std::optional<int> chosen;
    OnUiThread([&] {
        CDlgPopupOption dialog(m_owner);
        dialog.SetTitle(title);
        dialog.SetText(text);
        dialog.SetValue(value);
        if (ModalLoop::Exec(dialog) == QDialog::Accepted) {
            chosen = dialog.GetValue();
        }
    });
    return chosen;
}

void WidgetDialogs::closeAll() {
    m_closed.store(true);
    // Threads whose dialog has not opened yet are answered now; open dialogs close, and their
    // threads are answered as the dialogs return.
    m_caller.close();
    ModalLoop::CloseAll();
}
