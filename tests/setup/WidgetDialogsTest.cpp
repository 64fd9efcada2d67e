#include "setup/DlgMessage.h"
#include "setup/DlgMessageYesNo.h"
#include "setup/DlgPopupOption.h"
#include "setup/DlgProgress.h"
#include "setup/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
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

// Acts on the first visible level popup once: reports its preselected entry, then `act` on it.
static void OnLevelPopup(std::function<void(CDlgPopupOption&)> act, QString* preselected) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act, preselected] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* popup = qobject_cast<CDlgPopupOption*>(widget);
            if (popup && popup->isVisible()) {
                *preselected = popup->Title() + "|" + popup->List()->currentText();
                timer->stop();
                timer->deleteLater();
                act(*popup);
                return;
            }
        }
    });
    timer->start();
}

TEST(WidgetDialogsTest, LevelPopupGivesTheChosenIndexAndNothingWhenCancelledOrClosed) {
    WidgetDialogs dialogs;
    QString preselected;
    OnLevelPopup(
        [](CDlgPopupOption& popup) {
            popup.List()->setCurrentIndex(3);
            popup.OkButton()->click();
        },
        &preselected);
    EXPECT_EQ(dialogs.chooseLevel(QStringLiteral("Spectrum Max dB Level "),
                                  QStringLiteral("최대레벨 :"), 13),
              std::optional<int>(3));
    EXPECT_EQ(preselected, QStringLiteral("Spectrum Max dB Level |130 dB"));

    OnLevelPopup([](CDlgPopupOption& popup) { popup.CancelButton()->click(); }, &preselected);
    EXPECT_EQ(dialogs.chooseLevel(QStringLiteral("Spectrogram Max dB Level "),
                                  QStringLiteral("최대레벨 :"), 8),
              std::nullopt);
    EXPECT_EQ(preselected, QStringLiteral("Spectrogram Max dB Level |80 dB"));

    // A station stop closes an open popup as a cancel, and no popup opens after it.
    OnLevelPopup([&dialogs](CDlgPopupOption&) { dialogs.closeAll(); }, &preselected);
    EXPECT_EQ(dialogs.chooseLevel(QStringLiteral("Spectrum Max dB Level "),
                                  QStringLiteral("최대레벨 :"), 13),
              std::nullopt);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialogs.chooseLevel(QStringLiteral("Spectrum Max dB Level "),
                                  QStringLiteral("최대레벨 :"), 13),
              std::nullopt);
    EXPECT_LT(clock.elapsed(), 1000);
}
