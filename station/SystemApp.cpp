#include "station/SystemApp.h"

#include "app/DebugLog.h"
#include "app/EventLoopProbe.h"
#include "app/StationConfig.h"
#include "app/StationDialogs.h"
#include "setup/WidgetDialogs.h"
#include "station/HeaderIcon.h"
#include "station/SingleInstanceGuard.h"
#include "station/SystemDlg.h"
#include "station/TerminationWatcher.h"

#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include <sys/socket.h>
#include <unistd.h>

namespace {

bool SocketLayerWorks() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

void SubstituteFonts() {
    QFont::insertSubstitution(QStringLiteral("맑은 고딕"), QStringLiteral("NanumGothic"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
}

}  // namespace

int CSystemApp::InitInstance(int argc, char** argv) {
    QApplication app(argc, argv);
    SubstituteFonts();
    QApplication::setWindowIcon(HeaderIcon::StationIcon());
    WidgetDialogs dialogs;
    InstallStationDialogs(&dialogs);

    if (!SocketLayerWorks()) {
        ShowSystemMessage(QString(), QStringLiteral("Windows 소켓을 초기화하지 못했습니다."));
        InstallStationDialogs(nullptr);
        return 1;
    }

    const QString guardName = QString::fromUtf8(kDefaultSoftwareTitle);
    SingleInstanceGuard guard(guardName);
    if (!guard.acquire()) {
        const QString text = guardName + QString::fromLatin1(kAlreadyRunningSuffix);
        DebugLog(text);
        ShowSystemMessage(QString(), text);
        guard.askFirstInstanceToRaise();
        InstallStationDialogs(nullptr);
        return 0;
    }

    int result = 0;
    {
        CSystemDlg window;
        dialogs.SetOwner(&window);
        QObject::connect(&guard, &SingleInstanceGuard::raiseRequested, &window,
                         &CSystemDlg::RaiseWindow);
        TerminationWatcher termination;
        QObject::connect(&termination, &TerminationWatcher::terminationRequested, &window,
                         &CSystemDlg::Shutdown);
        QObject::connect(&window, &CSystemDlg::shutdownFinished, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        window.OnInitDialog();
        window.show();
        // The soak measurement's view of the UI thread; off unless asked for.
        const std::unique_ptr<CEventLoopProbe> probe = CEventLoopProbe::FromEnvironment();
        DebugLog(QStringLiteral("[System] Main window shown"));
        result = app.exec();
        dialogs.SetOwner(nullptr);
    }
    InstallStationDialogs(nullptr);
    return result;
}
