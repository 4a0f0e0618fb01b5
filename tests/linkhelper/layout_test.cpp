// The helper's dialog templates, read from its file, against their layouts.
#include <gtest/gtest.h>

#include "dialog_template.h"
#include "setup_texts.h"
#include "test_env.h"

namespace {

using layout::Dialog;
using layout::kChild;
using layout::kVisibleChild;

constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT;
constexpr DWORD kShownDialog = kDialog | WS_VISIBLE;
constexpr DWORD kDefault = kVisibleChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kPush = kVisibleChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kRadio = kVisibleChild | BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr DWORD kGroupBox = kVisibleChild | BS_GROUPBOX;
constexpr DWORD kCentred = kVisibleChild | SS_CENTER | WS_GROUP;
constexpr DWORD kLeft = kVisibleChild | SS_LEFT | WS_GROUP;
// Controls that show user data (paths, servers, the channel, replies) show
// an "&" as it is.
constexpr DWORD kCentredData = kCentred | SS_NOPREFIX;
constexpr DWORD kLeftData = kLeft | SS_NOPREFIX;
constexpr DWORD kFileList = kVisibleChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT |
                            LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_DISABLENOSCROLL;
constexpr char kFont[] = "MS Sans Serif";
constexpr char kServer[] = "irc.cat:6667";
// A server line: a box that breaks a long name and scrolls to its end, a
// stop of the Tab key, so that the keyboard can scroll it too.
constexpr DWORD kServerLine = kVisibleChild | ES_CENTER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP;

// One row per control, as the layout gives it.
// clang-format off
const Dialog kLinkDlg = {kShownDialog, 130, 100, 156, 87, 8, kFont, "QuopLink Connexió", {
    {-1, "Static", 3, 6, 145, 8, kCentred, "S'ha demanat que el QuopLink es connecti a:"},
    {114, "Edit", 3, 19, 140, 16, kServerLine, kServer},
    {-1, "Static", 3, 36, 140, 10, kCentred, "i s'uneixi al canal següent:"},
    {115, "Static", 3, 47, 140, 10, kCentredData, "#Quop"},
    {1, "Button", 37, 65, 36, 16, kDefault, "&Endavant"},
    {2, "Button", 76, 65, 36, 16, kPush, "&Cancel·la"},
}};

const Dialog kAskDlg = {kShownDialog, 119, 82, 186, 154, 8, kFont, "QuopLink Confirmació", {
    {1, "Button", 56, 134, 36, 16, kDefault, "E&ndavant"},
    {2, "Button", 96, 134, 36, 16, kPush, "C&ancel·la"},
    {-1, "Static", 5, 6, 177, 8, kCentred, "El QuopLink ha trobat que el Quop està connectat a:"},
    {114, "Edit", 5, 19, 177, 16, kServerLine, kServer},
    {-1, "Static", 5, 36, 177, 8, kCentred, "La sol·licitud actual enviada al QuopLink és:"},
    {120, "Edit", 5, 46, 177, 16, kServerLine, kServer},
    {121, "Static", 5, 63, 177, 8, kCentredData, "#Quop"},
    {-1, "Button", 17, 73, 153, 56, kGroupBox, "Voleu:"},
    {117, "Button", 27, 85, 141, 10, kRadio, "&Canviar els servidors i unir-vos al canal?"},
    {118, "Button", 27, 99, 143, 10, kRadio, "&Unir-vos al canal amb el servidor actual?"},
    {119, "Button", 27, 113, 127, 10, kRadio, "&Executar una altra còpia del Quop?"},
}};

const Dialog kAsk2Dlg = {kShownDialog, 119, 82, 176, 129, 8, kFont, "QuopLink Confirmació", {
    {1, "Button", 50, 110, 36, 14, kDefault, "E&ndavant"},
    {2, "Button", 90, 110, 34, 14, kPush, "C&ancel·la"},
    {-1, "Static", 5, 6, 167, 8, kCentred, "El QuopLink ha trobat que el Quop està connectat a:"},
    {114, "Edit", 5, 19, 166, 16, kServerLine, kServer},
    {-1, "Static", 5, 36, 166, 8, kCentred, "La sol·licitud actual enviada al QuopLink és:"},
    {120, "Edit", 5, 46, 166, 16, kServerLine, kServer},
    {-1, "Button", 29, 63, 137, 44, kGroupBox, "Voleu:"},
    {117, "Button", 41, 75, 100, 12, kRadio, "&Canviar al nou servidor?"},
    {119, "Button", 41, 89, 127, 10, kRadio, "&Executar una altra còpia del Quop?"},
    {118, "Button", 195, 78, 137, 12, kChild | BS_AUTORADIOBUTTON | WS_DISABLED,
     "Uneix-te al canal amb el servidor actual"},
}};

const Dialog kWarnDlg = {kShownDialog, 91, 68, 190, 107, 8, kFont, "QuopLink Advertència de versió", {
    {1, "Button", 79, 87, 36, 16, kDefault, "D'&acord"},
    {-1, "Static", 4, 6, 184, 16, kCentred, "El QuopLink ha trobat que la vostra versió actual del Quop és:"},
    {116, "Static", 4, 29, 184, 8, kCentredData, "Quop v?.? ?bit"},
    {-1, "Static", 4, 42, 184, 16, kCentred, "El QuopLink només funciona amb la versió 4.52 del Quop i posteriors!"},
    {-1, "Static", 26, 64, 139, 19, kCentred,
     "Si us plau, aconseguiu la darrera versió del Quop si és que voleu utilitzar el QuopLink."},
}};

const Dialog kInstallDlg = {kShownDialog, 37, 36, 223, 212, 8, kFont, "QuopLink", {
    {1, "Button", 181, 144, 36, 16, kDefault, "D'ac&ord"},
    {2, "Button", 181, 163, 36, 16, kPush, "&Cancel·la"},
    {103, "Static", 5, 6, 177, 10, kLeft, ""},
    {-1, "Button", 4, 58, 215, 26, kGroupBox, "Programa del Quop:"},
    {113, "Static", 10, 70, 170, 8, kLeftData, ""},
    {112, "Button", 183, 66, 32, 14, kPush, "&Navega"},
    {104, "Static", 5, 21, 188, 18, kLeft, ""},
    {105, "Static", 5, 44, 201, 12, kLeft, ""},
    {107, "Static", 5, 147, 168, 8, kLeft, ""},
    {-1, "Button", 4, 113, 215, 26, kGroupBox, "Fitxer ini del Quop:"},
    {111, "Static", 10, 125, 170, 8, kLeftData, ""},
    {109, "Button", 183, 121, 32, 14, kPush, "N&avega"},
    {-1, "Static", 2, 163, 46, 8, kVisibleChild | SS_RIGHT | WS_GROUP, "Nom del &DDE:"},
    {110, "Edit", 51, 162, 90, 12, kVisibleChild | ES_LEFT | WS_BORDER | WS_TABSTOP, ""},
    {106, "Static", 5, 91, 201, 19, kLeft, ""},
    {-1, "Button", 4, 179, 215, 29, kGroupBox, ""},
    {108, "Static", 12, 187, 200, 18, kCentred, ""},
}};

const Dialog kFileDialog = {kDialog, 42, 58, 217, 149, 8, kFont, "Quop Selecció de fitxer", {
    {-1, "Static", 4, 3, 60, 9, kLeft, "&Directoris:"},
    {1088, "Static", 4, 15, 80, 9, kLeft | SS_NOPREFIX, ""},
    {1121, "ListBox", 4, 29, 81, 92, kFileList, ""},
    {1091, "Static", 4, 121, 46, 9, kLeft, "&Unitats:"},
    {1137, "ComboBox", 4, 131, 82, 60,
     kVisibleChild | CBS_DROPDOWNLIST | WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_OWNERDRAWFIXED | CBS_AUTOHSCROLL |
         CBS_SORT | CBS_HASSTRINGS,
     ""},
    {1090, "Static", 90, 3, 51, 10, kLeft, "&Nom del fitxer:"},
    {1152, "Edit", 90, 13, 81, 12, kVisibleChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_OEMCONVERT, ""},
    {1120, "ListBox", 90, 29, 81, 92, kFileList, ""},
    {1089, "Static", 90, 121, 78, 8, kLeft, "Llista els fitxers del &tipus:"},
    {1136, "ComboBox", 90, 131, 82, 90,
     kVisibleChild | CBS_DROPDOWNLIST | WS_BORDER | WS_VSCROLL | WS_TABSTOP | CBS_AUTOHSCROLL, ""},
    {1, "Button", 177, 30, 36, 16, kDefault | WS_GROUP, "D'ac&ord"},
    {2, "Button", 177, 50, 36, 16, kPush | WS_GROUP, "&Cancel·la"},
    {1040, "Button", 248, 65, 50, 12, kChild | BS_AUTOCHECKBOX | WS_GROUP | WS_DISABLED, "&Només de lectura"},
    {1038, "Button", 249, 87, 50, 14, kChild | BS_PUSHBUTTON | WS_GROUP | WS_DISABLED, "&Ajuda"},
}};
// clang-format on

std::vector<std::string> HelperFiles() {
  std::vector<std::string> files{testenv::BuildPath("linkhelper\\urlhop32.exe")};
  const std::string deliverable = testenv::DeliverablePath("linkhelper\\urlhop32.exe");
  if (!deliverable.empty()) files.push_back(deliverable);
  return files;
}

void Expect(LPCSTR name, const Dialog& dialog) {
  for (const std::string& file : HelperFiles()) {
    SCOPED_TRACE(file);
    layout::ExpectTemplate(file, name, MAKELANGID(LANG_CATALAN, SUBLANG_DEFAULT), dialog);
  }
}

constexpr WORD kCatalan = MAKELANGID(LANG_CATALAN, SUBLANG_DEFAULT);

// The dialogs' font as Windows draws it: the bench must have Windows' own
// metrics, or every picture and every fit below measures another font.
TEST(DialogFont, IsMsSansSerifWithItsWindowsMetrics) {
  const layout::FontFacts font = layout::DialogFont(HelperFiles().front(), "LINK_DLG", kCatalan);
  EXPECT_EQ(font.face, "MS Sans Serif");
  EXPECT_EQ(font.height, 13);
  EXPECT_EQ(font.averageWidth, 5);
}

// Every text shown whole, at 96 DPI and on a screen at 150 %: the template's
// own, and what the helper puts over it. User data (servers, the channel,
// replies, paths) is measured at its longest ordinary value; a longer one is
// cut by its control.
void ExpectEveryTextToFit() {
  // A server line holds two lines of a name that the IRC allows, and
  // scrolls to the rest of a longer one.
  const std::string server = "irc.xarxa-catalana.example.org:6667", channel = "#programari-en-catala",
                    twoLines = "irc.libera.chat." + std::string(30, 'x') + ".example.net:6697";
  const struct {
    LPCSTR name;
    std::vector<layout::ShownText> shown;
  } kDialogs[] = {
      {"LINK_DLG", {{114, twoLines}, {115, channel}}},
      {"ASK_DLG", {{114, twoLines}, {120, twoLines}, {121, channel}}},
      {"ASK2_DLG", {{114, twoLines}, {120, server}}},
      {"WARN_DLG", {{116, "4.51"}}},
      {"INSTALL_DLG",
       {{103, kSetupWelcome},
        {104, kSetupPurpose},
        {105, kSetupProgramPrompt},
        {106, kSetupIniPrompt},
        {107, kSetupServicePrompt},
        {108, kSetupNotice},
        {113, "c:\\program files (x86)\\quop\\quop32.exe"},
        {111, "c:\\program files (x86)\\quop\\quop.ini"}}},
      {MAKEINTRESOURCEA(1536), {{1088, "c:\\program files\\quop"}}},
  };
  for (const std::string& file : HelperFiles()) {
    for (const auto& dialog : kDialogs) {
      SCOPED_TRACE(file + ", " + (IS_INTRESOURCE(dialog.name) ? "1536" : dialog.name));
      layout::ExpectTextsFit(file, dialog.name, kCatalan, dialog.shown);
    }
  }
}
TEST(HelperLayout, EveryTextFitsItsControl) { testenv::AtEachDpi({96, 144}, ExpectEveryTextToFit); }

TEST(HelperLayout, LinkDlg) { Expect("LINK_DLG", kLinkDlg); }
TEST(HelperLayout, AskDlg) { Expect("ASK_DLG", kAskDlg); }
TEST(HelperLayout, Ask2Dlg) { Expect("ASK2_DLG", kAsk2Dlg); }
TEST(HelperLayout, WarnDlg) { Expect("WARN_DLG", kWarnDlg); }
TEST(HelperLayout, InstallDlg) { Expect("INSTALL_DLG", kInstallDlg); }
TEST(HelperLayout, FileDialog) { Expect(MAKEINTRESOURCEA(1536), kFileDialog); }

}  // namespace
