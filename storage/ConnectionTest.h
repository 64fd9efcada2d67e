#pragma once
// The system settings page's two server checks: a connection with the profile ("set names
// euckr" only) on a short-lived worker thread, whose result is shown as a message.

#include "storage/DbProfile.h"

#include <thread>

// Connects and closes; true when the server accepted the profile.
bool TestDatabaseConnection(const DbProfile& profile);

// "Vorn DB 서버 연결 성공" / "Vorn DB 서버 연결에 실패했습니다.", caption "Vorn DB 서버". The page
// detaches the returned thread (tests join it).
std::thread StartWebConnectionTest(const DbProfile& web);
// "Bridge DB 서버 연결 성공" / "Bridge DB 서버 연결에 실패했습니다.", caption "Bridge DB 서버".
std::thread StartBridgeConnectionTest(const DbProfile& bridge);
