#include "setup/DlgMessage.h"
#include "setup/DlgMessageYesNo.h"
#include "setup/DlgProgress.h"
#include "setup/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Watches the UI thread's windows: records each dialog once, answers questions and message
// boxes the way the script says.
class DialogWatcher : public QObject {
  public:
    explicit DialogWatcher(QWidget* expectedOwner) : m_owner(expectedOwner) {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &DialogWatcher::Look);
        m_timer.start();
    }
    std::atomic<bool> confirmQuestions{true};
    QStringList seen;
    bool allOnUiThread = true;
    bool allOwned = true;

  private:
    void Note(QWidget* dialog, const QString& what) {
        // Dialogs live on the caller's stack, so a later one may reuse an earlier one's address.
        if (dialog->property("watched").toBool()) {
            return;
        }
        dialog->setProperty("watched", true);
        seen << what;
        allOnUiThread &= dialog->thread() == QApplication::instance()->thread();
        allOwned &= dialog->parentWidget() == m_owner;
    }
    void Look() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible()) {
                continue;
            }
            if (auto* message = qobject_cast<CDlgMessage*>(widget)) {
                Note(message,
                     QStringLiteral("message:") + message->Title() + "|" + message->Text());
            } else if (auto* question = qobject_cast<CDlgMessageYesNo*>(widget)) {
                Note(question, QStringLiteral("question:") + question->Title());
                (confirmQuestions ? question->OkButton() : question->CancelButton())->click();
            } else if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                Note(box, QStringLiteral("system:") + box->windowTitle() + "|" + box->text());
                box->buttons().first()->click();
            } else if (auto* progress = qobject_cast<CDlgProgress*>(widget)) {
                Note(progress, QStringLiteral("progress:") + progress->Title());
            }
        }
    }
    QWidget* m_owner;
    QTimer m_timer;
};

}  // namespace

TEST(WidgetDialogsTest, CallsFromAWorkerRunOnTheUiThreadAndWait) {
    QWidget owner;
    owner.resize(1200, 800);
    owner.show();
    WidgetDialogs dialogs;
    dialogs.SetOwner(&owner);
    DialogWatcher watcher(&owner);

    QEventLoop loop;
    std::atomic<qint64> message_ms{0};
    std::atomic<int> answers{0};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        QElapsedTimer clock;
        clock.start();
        dialogs.showMessage(QStringLiteral("알림"), QStringLiteral("저장 완료"));
        message_ms = clock.elapsed();
        answers += dialogs.askYesNo(QStringLiteral("삭제"), QStringLiteral("삭제하시겠습니까?"));
        watcher.confirmQuestions = false;
        answers +=
            2 * dialogs.askYesNo(QStringLiteral("복사"), QStringLiteral("복사하시겠습니까?"));
        dialogs.showSystemMessage(QStringLiteral("DB"), QStringLiteral("query\n[Error]"));
        dialogs.showProgress(QStringLiteral("초기화"), 3);
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    worker.join();

    ASSERT_TRUE(finished);
    // The message closed by its own timer while the worker waited for it.
    EXPECT_GE(message_ms, 1900);
    EXPECT_EQ(answers, 1);  // confirmed, then cancelled
    EXPECT_EQ(watcher.seen.join(" / ").toStdString(),
              "message:알림|저장 완료 / question:삭제 / question:복사 / system:DB|query\n[Error] / "
              "progress:초기화");
    EXPECT_TRUE(watcher.allOnUiThread);
    EXPECT_TRUE(watcher.allOwned);
}

TEST(WidgetDialogsTest, CallOnTheUiThreadShowsTheDialogDirectly) {
    WidgetDialogs dialogs;
    DialogWatcher watcher(nullptr);
    QElapsedTimer clock;
    clock.start();
    dialogs.showProgress(QStringLiteral("초기화"), 2);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_EQ(watcher.seen.join(" / ").toStdString(), "progress:초기화");
    EXPECT_TRUE(watcher.allOwned);
}
