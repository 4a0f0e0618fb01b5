// The installer's dialog templates, read from its file, against their layouts.
#include <gtest/gtest.h>

#include "dialog_template.h"
#include "test_env.h"

namespace {

using layout::Dialog;
using layout::kVisibleChild;

constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kDefault = kVisibleChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kPush = kVisibleChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheckBox = kVisibleChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kGroupBox = kVisibleChild | BS_GROUPBOX;
constexpr DWORD kLeft = kVisibleChild | SS_LEFT | WS_GROUP;
constexpr char kFont[] = "MS Sans Serif";

// One row per control, as the layout gives it.
// clang-format off
const Dialog kMainDialog = {kDialog, 0, 0, 295, 249, 8, kFont, "Actualitzador", {
    {1011, "Static", 15, 21, 128, 13, kLeft, "Product and Version!"},
    {1001, "Static", 13, 54, 264, 16, kLeft, "Explicació"},
    {-1, "Button", 12, 115, 267, 38, kGroupBox, "Quop "},
    {3073, "Static", 25, 129, 203, 12, kVisibleChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_SUNKEN | WS_GROUP,
     "(cap camí seleccionat)"},
    {3005, "Button", 239, 128, 25, 13, kDefault, "..."},
    {-1, "Static", 13, 91, 254, 20, kLeft,
     "Si us plau, feu clic al botó amb els tres punts i seleccioneu el fitxer principal del programa Quop "
     "(quop32.exe)."},
    {-1, "Button", 14, 163, 264, 62, kGroupBox, "Resultats de l'actualització"},
    {1006, "Button", 164, 229, 50, 14, kPush, "&Instal·lar"},
    {2, "Button", 227, 229, 50, 14, kPush, "&Sortir"},
    {1009, "Edit", 23, 182, 247, 33,
     kVisibleChild | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, ""},
    {-1, "Static", 13, 71, 51, 8, kLeft, "del lloc web de "},
    {1012, "Static", 63, 71, 63, 8, kLeft | WS_TABSTOP, "Verbalia"},
}};

const Dialog kInfoDialog = {kDialog, 0, 0, 307, 122, 8, kFont, "Informació sobre programes en català", {
    {1, "Button", 176, 100, 50, 14, kDefault, "D'&acord"},
    {2, "Button", 242, 100, 50, 14, kPush, "&Cancel·la"},
    {-1, "Static", 9, 10, 285, 25, kLeft,
     "Aquest programa ha estat traduït per Verbalia. Al nostre web anem publicant noves versions d'aquest i "
     "altres programes que hem traduït i mantenim un recull de tots els programes existents en català."},
    {-1, "Static", 10, 40, 285, 20, kLeft,
     "Les següents opcions us permetran estar informat de les últimes novetats sobre programes en català. "
     "Seleccioneu les opcions en què estigueu interessat:"},
    {1010, "Button", 9, 64, 285, 10, kCheckBox,
     "&Em vull subscriure a la llista de novetats (us mantindrem informat per correu electrònic)"},
    {1011, "Button", 10, 80, 282, 10, kCheckBox,
     "&Vull crear una icona a l'escriptori per poder accedir directament al web de Verbalia."},
}};

const Dialog kExplanationDialog = {kDialog, 0, 0, 225, 77, 8, kFont, "Explicació", {
    {1, "Button", 87, 56, 50, 14, kDefault, "D'&acord"},
    {-1, "Static", 9, 9, 198, 38, kLeft,
     "A continuació s'obrirà el seu programa de correu i apareixerà un missatge. Envieu aquest missatge per "
     "subscriure-us a la llista de correu que us mantindrà informat sobre les novetats en programes en català."},
}};
// clang-format on

void Expect(int id, const Dialog& dialog) {
  for (const std::string& file :
       {testenv::BuildPath("installer\\trinstall.exe"), testenv::DeliverablePath("installer\\trinstall.exe")}) {
    if (file.empty()) continue;
    SCOPED_TRACE(file);
    layout::ExpectTemplate(file, MAKEINTRESOURCEA(id), MAKELANGID(LANG_CATALAN, SUBLANG_DEFAULT), dialog);
  }
}

// Every text shown whole in the dialogs' own font, at 96 DPI and on a screen
// at 150 %: the template's, and what the installer puts over it (a client
// path is measured at its longest ordinary value; a longer one is cut by its
// control).
void ExpectEveryTextToFit() {
  const struct {
    int id;
    std::vector<layout::ShownText> shown;
  } kDialogs[] = {
      {129,
       {{1011, "Actualitzador del Quop 5.61"},
        {1001,
         "Aquest programa actualitzarà el vostre Quop en anglès a la versió en català. Heu de tenir la versió en "
         "anglès del Quop 5.61; si no la teniu, podeu descarregar-la"},
        {3073, "C:\\Program Files (x86)\\Quop\\quop32.exe"},
        // The results of a complete install into a client under Program Files,
        // with its menus kept apart for a user with a long name.
        {1009,
         "La versió original del Quop ha estat copiada a 'C:\\Program Files (x86)\\Quop Chat\\original\\'\r\n"
         "El Quop en català ha estat copiat a C:\\Program Files (x86)\\Quop Chat\\\r\nProcés finalitzat!\r\n"
         "També s'han traduït els menús del Quop que el Windows desava a C:\\Users\\Maria Mercè Marçal\\AppData\\"
         "Local\\VirtualStore\\Program Files (x86)\\Quop Chat\\popups.ini\r\n"
         "L'ajudant del Quop s'ha registrat per als enllaços irc://."}}},
      {133, {}},
      {134, {}},
  };
  for (const std::string& file :
       {testenv::BuildPath("installer\\trinstall.exe"), testenv::DeliverablePath("installer\\trinstall.exe")}) {
    if (file.empty()) continue;
    for (const auto& dialog : kDialogs) {
      SCOPED_TRACE(file + ", " + std::to_string(dialog.id));
      layout::ExpectTextsFit(file, MAKEINTRESOURCEA(dialog.id), MAKELANGID(LANG_CATALAN, SUBLANG_DEFAULT),
                             dialog.shown);
    }
  }
}
TEST(InstallerLayout, EveryTextFitsItsControl) { testenv::AtEachDpi({96, 144}, ExpectEveryTextToFit); }

TEST(InstallerLayout, MainDialog) { Expect(129, kMainDialog); }
TEST(InstallerLayout, InfoDialog) { Expect(133, kInfoDialog); }
TEST(InstallerLayout, ExplanationDialog) { Expect(134, kExplanationDialog); }

}  // namespace
