#pragma once
// The application object: the single-instance guard, the fonts, the dialogs seam and the main
// window for the life of the process.

class CSystemApp {
  public:
    // Runs the station; returns the process exit code.
    int InitInstance(int argc, char** argv);

    static constexpr const char* kAlreadyRunningSuffix = " already is Run....!!";
};
