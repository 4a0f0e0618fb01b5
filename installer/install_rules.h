// The installer's rules: the product it updates, the verdict on a chosen
// program, the files it replaces and where their copies and the launcher
// go. Text and path code free of any Windows header, so that it also builds
// for the host's unit tests.
#pragma once

#include "text.h"

constexpr char kProductName[] = "Quop";
constexpr char kProductExe[] = "quop32.exe";
constexpr char kProductVersion[] = "5.61";

// What the version resource of a chosen program says about it.
enum class ClientVerdict {
  kNotTheClient,  // the declared file name is not exactly kProductExe
  kOtherVersion,  // the right program, but not exactly kProductVersion
  kAccepted,
};

// Exact, case-sensitive comparisons over the whole texts; an empty
// (missing) name is not the client and an empty version is another version.
ClientVerdict JudgeClient(const CString& declaredName, const CString& declaredVersion);

// Cuts a path just after its last "\" or "/"; a path without one (or an
// empty path) stays as it is.
CString StripFileName(const CString& path);

// The files that the installer replaces, in the order it handles them: the
// translated file beside the installer and the client's file it replaces.
struct InstallPair {
  const char* source;
  const char* target;
};
constexpr InstallPair kInstallPairs[] = {
    {"quop32.ca", "quop32.exe"},
    {"popups.ca", "popups.ini"},
    {"urlhop32.ca", "urlhop32.exe"},
};

// The folder inside the client's folder that receives the untranslated files.
constexpr char kBackupFolderName[] = "original\\";

// The folder, beside that one, for the copies of a later run whose files
// have changed since the first copies were made: "original.2\" for n = 2,
// "original.3\"... in the client's folder.
CString NumberedBackupFolder(const CString& clientFolder, unsigned n);

// Where Windows Vista on keeps, for a program without a manifest (as the
// client is), its own copy of a file that the program wrote into a folder
// that only administrators may change: the user's Local AppData folder,
// "\VirtualStore", the client's folder without its drive ("C:\Program
// Files\Quop\" gives "\Program Files\Quop\") and the file's name. Empty
// when Local AppData is not known or the client's folder is on no drive (a
// network path: nothing is kept apart for it).
CString VirtualStorePath(const CString& localAppData, const CString& clientFolder, const char* name);

// How much of the Local AppData folder's path is the profile's own folder:
// all but its last two parts ("C:\\Users\\anna" of
// "C:\\Users\\anna\\AppData\\Local"). What lies below may be links that the
// user made.
size_t ProfileLength(const CString& localAppData);

// The name that a copy of the client's menus from there takes beside the
// copies of the client's own files: it says where the file came from.
constexpr char kVirtualMenusCopyName[] = "popups (VirtualStore).ini";

// The web launcher that the desktop shortcut starts, in the Windows directory.
constexpr char kLauncherName[] = "verbalia.exe";

// The launcher's full path from the Windows directory as the platform gave
// it (`reported` characters, into a buffer of `capacity`): the directory, a
// backslash and kLauncherName. Empty when the directory is not known (the
// call failed, or its result did not fit): the launcher then goes nowhere.
CString LauncherPath(const char* windowsFolder, size_t reported, size_t capacity);
