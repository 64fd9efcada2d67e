#include "app/ModalLoop.h"
#include "app/UiThreadCaller.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

void PumpUntil(const std::function<bool()>& condition, int limit_ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < limit_ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

TEST(UiThreadCallerTest, WorkFromAnotherThreadRunsOnTheOwningThreadWhileTheCallerWaits) {
    UiThreadCaller caller;
    std::atomic<bool> returned{false};
    bool ran = false;
    bool answered = false;
    QThread* ranOn = nullptr;
    std::thread other([&] {
        answered = caller.call([&] {
            ranOn = QThread::currentThread();
            ran = true;
        });
        returned = true;
    });
    QThread::msleep(50);
    EXPECT_FALSE(returned.load()) << "the caller waits for the owning thread";
    PumpUntil([&] { return returned.load(); });
    other.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(ran);
    EXPECT_EQ(ranOn, QThread::currentThread());
    // On the owning thread the work runs at once.
    EXPECT_TRUE(caller.call([] {}));
}

TEST(UiThreadCallerTest, CloseAnswersWaitingCallersAndLaterOnesAtOnce) {
    UiThreadCaller caller;
    std::atomic<int> ran{0};
    std::atomic<int> answeredFalse{0};
    std::vector<std::thread> waiting;
    for (int i = 0; i < 3; ++i) {
        waiting.emplace_back([&] {
            if (!caller.call([&] { ++ran; })) {
                ++answeredFalse;
            }
        });
    }
    QThread::msleep(50);  // all three are queued; the owning thread has not looked yet
    caller.close();
    for (std::thread& t : waiting) {
        t.join();  // would hang if close() did not answer them
    }
    EXPECT_EQ(answeredFalse.load(), 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.load(), 0) << "dropped work never runs later";
    bool later = true;
    std::thread([&] { later = caller.call([&] { ++ran; }); }).join();
    EXPECT_FALSE(later);
}

TEST(UiThreadCallerTest, ACallerWithALimitStopsWaitingAndItsWorkIsDropped) {
    UiThreadCaller caller;
    std::atomic<int> ran{0};
    bool answer = true;
    QElapsedTimer clock;
    clock.start();
    // The owning thread is busy (it does not look at its queue) for longer than the limit.
    std::thread([&] { answer = caller.call([&] { ++ran; }, 100); }).join();
    EXPECT_FALSE(answer);
    EXPECT_GE(clock.elapsed(), 90);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.load(), 0) << "work whose caller gave up never runs later";
    // Taken in time, it runs.
    std::atomic<bool> returned{false};
    std::thread other([&] {
        answer = caller.call([&] { ++ran; }, 5000);
        returned = true;
    });
    PumpUntil([&] { return returned.load(); });
    other.join();
    EXPECT_TRUE(answer);
    EXPECT_EQ(ran.load(), 1);
}

TEST(UiThreadCallerTest, WorkThatHasStartedFinishesBeforeItsCallerIsAnswered) {
    UiThreadCaller caller;
    std::atomic<bool> inside{false};
    std::atomic<bool> finished{false};
    bool answer = false;
    std::thread other([&] {
        answer = caller.call([&] {
            inside = true;
            // The shutdown arrives while the work runs (as in a dialog's nested loop).
            caller.close();
            QThread::msleep(50);
            finished = true;
        });
        EXPECT_TRUE(finished.load()) << "answered while its work still ran";
    });
    PumpUntil([&] { return inside.load(); });
    other.join();
    EXPECT_TRUE(answer);
}

TEST(ModalLoopTest, CloseAllEndsOpenDialogsInnermostFirstAndKeepsNewOnesShut) {
    ModalLoop::Reopen();
    QDialog outer;
    QDialog inner;
    std::vector<std::string> events;
    int innerResult = -1;
    QTimer::singleShot(0, [&] {
        events.push_back("inner opens at depth " + std::to_string(ModalLoop::Depth()));
        innerResult = ModalLoop::Exec(inner, [&] {
            events.push_back("inner closed as timed out");
            inner.accept();
        });
    });
    QTimer::singleShot(100, [&] {
        events.push_back("close all at depth " + std::to_string(ModalLoop::Depth()));
        ModalLoop::CloseAll();
    });
    const int outerResult = ModalLoop::Exec(outer);
    events.push_back("outer returned at depth " + std::to_string(ModalLoop::Depth()));
    EXPECT_EQ(innerResult, QDialog::Accepted);
    EXPECT_EQ(outerResult, QDialog::Rejected);
    EXPECT_EQ(events,
              (std::vector<std::string>{"inner opens at depth 1", "close all at depth 2",
                                        "inner closed as timed out", "outer returned at depth 0"}));

    QDialog late;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ModalLoop::Exec(late), QDialog::Rejected);
    EXPECT_FALSE(late.isVisible());
    EXPECT_LT(clock.elapsed(), 1000);
    ModalLoop::Reopen();
}

}  // namespace
