// urlhop32.exe: the link helper that a web browser starts with a chat
// request file.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
