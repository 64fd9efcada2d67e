#include "display/TextProgressCtrl.h"
#include "setup/AboutDlg.h"
#include "setup/DlgMessage.h"
#include "setup/DlgMessageYesNo.h"
#include "setup/DlgPassword.h"
#include "setup/DlgPopupOption.h"
#include "setup/DlgProgress.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

void SpinFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// Runs the dialog modally; a far deadline rejects it so a dialog that never closes fails the
// test instead of hanging it.
int ExecWithDeadline(QDialog& dialog, qint64* elapsed_ms) {
    QTimer::singleShot(15000, &dialog, &QDialog::reject);
    QElapsedTimer clock;
    clock.start();
    const int result = dialog.exec();
    *elapsed_ms = clock.elapsed();
    return result;
}

void SendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

}  // namespace

TEST(DlgMessageTest, ClosesItselfAfterTwoSecondsAndTheCallerContinues) {
    CDlgMessage dialog;
    dialog.SetTitle(QStringLiteral("알림"));
    dialog.SetText(QStringLiteral("제품을 선택하세요"));
    EXPECT_EQ(dialog.size(), QSize(900, 200));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("확인"));
    EXPECT_EQ(dialog.OkButton()->geometry(), QRect(400, 145, 100, 45));
    qint64 elapsed = 0;
    EXPECT_EQ(ExecWithDeadline(dialog, &elapsed), QDialog::Accepted);
    EXPECT_GE(elapsed, 1900);
    EXPECT_LT(elapsed, 10000);
}

TEST(DlgMessageTest, ClosedEarlyItDoesNotCloseAgainLater) {
    CDlgMessage dialog;
    int finishes = 0;
    QObject::connect(&dialog, &QDialog::finished, [&finishes] { ++finishes; });
    dialog.show();
    SpinFor(100);
    dialog.OkButton()->click();
    EXPECT_EQ(finishes, 1);
    // Past the moment the self-close would have come.
    SpinFor(CDlgMessage::kAutoClose_ms + 500);
    EXPECT_EQ(finishes, 1);
}

TEST(DlgMessageTest, IsCentredOnItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 60, 1200, 800);
    owner.show();
    CDlgMessage dialog(&owner);
    dialog.show();
    const QPoint centre = dialog.geometry().center();
    EXPECT_LE(std::abs(centre.x() - owner.geometry().center().x()), 2);
    EXPECT_LE(std::abs(centre.y() - owner.geometry().center().y()), 2);
}

TEST(DlgMessageYesNoTest, OnlyConfirmIsAccepted) {
    for (bool confirm : {true, false}) {
        CDlgMessageYesNo dialog;
        dialog.SetTitle(QStringLiteral("확인"));
        dialog.SetText(QStringLiteral("삭제하시겠습니까?"));
        QPushButton* button = confirm ? dialog.OkButton() : dialog.CancelButton();
        QTimer::singleShot(50, button, &QPushButton::click);
        qint64 elapsed = 0;
        EXPECT_EQ(ExecWithDeadline(dialog, &elapsed),
                  confirm ? QDialog::Accepted : QDialog::Rejected);
    }
    CDlgMessageYesNo dialog;
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("확인"));
    EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("취소"));
}

TEST(DlgMessageYesNoTest, WaitsForAnAnswerAndRedrawsItsButtonsOnlyAfterPaints) {
    CDlgMessageYesNo dialog;
    dialog.show();
    SpinFor(2500);
    EXPECT_TRUE(dialog.isVisible());
    // The refresh after a paint runs, but its own redraw does not schedule the next one.
    EXPECT_GE(dialog.RefreshCount(), 1);
    EXPECT_LE(dialog.RefreshCount(), 10);
}

TEST(StationDialogKeysTest, EnterEscapeAndF1DoNotClose) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
    };
    const Case cases[] = {
        {"message", [] { return std::make_unique<CDlgMessage>(); }},
        {"question", [] { return std::make_unique<CDlgMessageYesNo>(); }},
        {"option", [] { return std::make_unique<CDlgPopupOption>(); }},
        {"progress", [] { return std::make_unique<CDlgProgress>(QStringLiteral("초기화"), 50); }},
    };
    for (const Case& c : cases) {
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<QDialog> dialog = c.make();
        bool finished = false;
        QObject::connect(dialog.get(), &QDialog::finished, [&finished] { finished = true; });
        dialog->show();
        QApplication::processEvents();
        std::vector<QWidget*> targets{dialog.get()};
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            if (child->focusPolicy() != Qt::NoFocus) {
                targets.push_back(child);
            }
        }
        for (QWidget* target : targets) {
            for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1}) {
                target->setFocus();
                SendKey(target, key);
                QApplication::processEvents();
            }
        }
        // The message closes by itself after two seconds; on a machine slow enough to reach
        // that, its closing says nothing about the keys.
        if (clock.elapsed() >= CDlgMessage::kAutoClose_ms * 3 / 4) {
            continue;
        }
        EXPECT_TRUE(dialog->isVisible()) << c.name;
        EXPECT_FALSE(finished) << c.name;
    }
}

TEST(DlgPopupOptionTest, ValuePreselectsItsLevelAndConfirmReturnsTheIndex) {
    struct Case {
        int value;
        int preselected;
    };
    for (const Case& c : {Case{6, 3}, Case{3, 0}, Case{13, 10}, Case{20, -1}, Case{0, -1}}) {
        CDlgPopupOption dialog;
        dialog.SetTitle(QStringLiteral("Spectrum Max dB Level "));
        dialog.SetText(QStringLiteral("최대레벨 :"));
        dialog.SetValue(c.value);
        dialog.show();
        EXPECT_EQ(dialog.List()->count(), 11);
        EXPECT_EQ(dialog.List()->currentIndex(), c.preselected) << c.value;
        if (c.preselected >= 0) {
            EXPECT_EQ(dialog.List()->currentText(), QString::asprintf("%d dB", c.value * 10));
        }
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.GetValue(), c.preselected) << c.value;
    }
}

TEST(DlgPopupOptionTest, ChoiceIsKeptOnlyOnConfirm) {
    CDlgPopupOption chosen;
    chosen.SetValue(20);
    chosen.show();
    chosen.List()->setCurrentIndex(2);
    chosen.OkButton()->click();
    EXPECT_EQ(chosen.GetValue(), 2);
    EXPECT_EQ(chosen.List()->itemText(2), QStringLiteral("50 dB"));

    CDlgPopupOption cancelled;
    cancelled.SetValue(6);
    cancelled.show();
    cancelled.List()->setCurrentIndex(5);
    cancelled.CancelButton()->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.GetValue(), 6);
}

TEST(DlgProgressTest, TwentyStepsShowTheirShareAndCloseAfterTheLast) {
    CDlgProgress dialog(QStringLiteral("System 초기화"), 20);
    EXPECT_EQ(dialog.size(), QSize(600, 150));
    EXPECT_EQ(dialog.Title(), QStringLiteral("System 초기화"));
    EXPECT_EQ(dialog.Progress()->geometry(), QRect(30, 75, 540, 50));
    EXPECT_FALSE(dialog.Progress()->ShowPercent());
    QStringList texts;
    QObject::connect(&dialog, &CDlgProgress::stepped, [&] { texts << dialog.BarText(); });
    qint64 elapsed = 0;
    EXPECT_EQ(ExecWithDeadline(dialog, &elapsed), QDialog::Accepted);
    ASSERT_EQ(texts.size(), 20);
    EXPECT_EQ(texts.first(), QStringLiteral("5.0%"));
    EXPECT_EQ(texts.at(9), QStringLiteral("50.0%"));
    EXPECT_EQ(texts.last(), QStringLiteral("100.0%"));
    EXPECT_EQ(dialog.Progress()->GetPos(), 20);
    EXPECT_EQ(dialog.CurrentStep(), 20);
    // Twenty steps and one more before closing, 100 ms each.
    EXPECT_GE(elapsed, 2050);
    EXPECT_LT(elapsed, 10000);
}

TEST(DlgProgressTest, ClosedEarlyItStopsStepping) {
    CDlgProgress dialog(QStringLiteral("초기화"), 5);
    int finishes = 0;
    QObject::connect(&dialog, &QDialog::finished, [&finishes] { ++finishes; });
    dialog.show();
    SpinFor(250);
    dialog.reject();
    const int stepsAtClose = dialog.CurrentStep();
    SpinFor(1000);
    EXPECT_EQ(dialog.CurrentStep(), stepsAtClose);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(DlgProgressTest, BarIsGreenOnDark) {
    CDlgProgress dialog(QStringLiteral("초기화"), 4);
    dialog.Progress()->SetPos(2);
    const QImage image = dialog.Progress()->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(45, 200, 45));
    EXPECT_EQ(image.pixelColor(534, 5), QColor(25, 25, 25));
}

TEST(AboutDlgTest, ShowsTheVersion) {
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("System 정보"));
    EXPECT_EQ(dialog.Text(), QStringLiteral("System, 버전 1.0"));
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("확인"));
    dialog.show();
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(DlgPasswordTest, OnlyTheButtonTakesThePasswordAndKeysCloseNothing) {
    CDlgPassword dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("비밀번호를 입력해 주세요"));
    // Shown inside too, for a session without title bars.
    const auto* prompt = dialog.findChild<QLabel*>(QStringLiteral("PasswordPrompt"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(), QStringLiteral("비밀번호를 입력해 주세요"));
    EXPECT_EQ(dialog.Edit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("확인"));
    QTimer::singleShot(50, &dialog, [&] {
        dialog.Edit()->setFocus();
        QTest::keyClicks(dialog.Edit(), QStringLiteral("tonewise1211"));
        for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1}) {
            SendKey(dialog.Edit(), key);
            SendKey(&dialog, key);
        }
    });
    QTimer::singleShot(400, &dialog, [&] {
        EXPECT_TRUE(dialog.isVisible());  // none of the keys closed it
        dialog.OkButton()->click();
    });
    qint64 elapsed = 0;
    EXPECT_EQ(ExecWithDeadline(dialog, &elapsed), QDialog::Accepted);
    EXPECT_GE(elapsed, 350);
    EXPECT_EQ(dialog.EnteredPassword(), QStringLiteral("tonewise1211"));

    // The close box cancels and keeps nothing.
    CDlgPassword cancelled;
    QTimer::singleShot(50, &cancelled, [&] {
        QTest::keyClicks(cancelled.Edit(), QStringLiteral("secret"));
        cancelled.close();
    });
    EXPECT_EQ(ExecWithDeadline(cancelled, &elapsed), QDialog::Rejected);
    EXPECT_TRUE(cancelled.EnteredPassword().isEmpty());
}
