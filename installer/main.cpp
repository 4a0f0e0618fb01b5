// trinstall.exe: the translation installer's entry point and its one
// application object.
#include "installer_app.h"

namespace {
CInstallerApp theApp;
}

CInstallerApp& TheApp() { return theApp; }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return theApp.Run(instance); }
