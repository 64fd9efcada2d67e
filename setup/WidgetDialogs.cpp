#include "setup/WidgetDialogs.h"

#include "setup/DlgMessage.h"
#include "setup/DlgMessageYesNo.h"
#include "setup/DlgProgress.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

WidgetDialogs::WidgetDialogs(QWidget* owner) : m_owner(owner) {}

template <typename Function>
void WidgetDialogs::OnUiThread(Function&& function) {
    if (QThread::currentThread() == thread()) {
        function();
        return;
    }
    QMetaObject::invokeMethod(this, std::forward<Function>(function), Qt::BlockingQueuedConnection);
}

void WidgetDialogs::showMessage(const QString& caption, const QString& text) {
    OnUiThread([&] {
        CDlgMessage dialog(m_owner);
        dialog.SetTitle(caption);
        dialog.SetText(text);
        dialog.exec();
    });
}

bool WidgetDialogs::askYesNo(const QString& caption, const QString& text) {
    bool confirmed = false;
    OnUiThread([&] {
        CDlgMessageYesNo dialog(m_owner);
        dialog.SetTitle(caption);
        dialog.SetText(text);
        confirmed = dialog.exec() == QDialog::Accepted;
    });
    return confirmed;
}

void WidgetDialogs::showSystemMessage(const QString& caption, const QString& text) {
    OnUiThread([&] { QMessageBox::information(m_owner, caption, text); });
}

void WidgetDialogs::showProgress(const QString& title, int steps) {
    OnUiThread([&] {
        CDlgProgress dialog(title, steps, m_owner);
        dialog.exec();
    });
}
