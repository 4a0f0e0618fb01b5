// The installer's main dialog, driven for real: its texts and initial state,
// the ways out, its place on the screen, the web link and the logo.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <map>

#include "installer_road.h"
#include "site_address.h"

namespace {

const char kExplanation[] =
    "Aquest programa actualitzarà el vostre Quop en anglès a la versió en català. Heu de tenir la versió en "
    "anglès del Quop 5.61; si no la teniu, podeu descarregar-la";

TEST(MainDialog, OpensWithItsTitleExplanationAndNothingChosen) {
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  EXPECT_EQ(ui::Text(run.dialog), kMainTitle);
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_TITLE), kMainTitle);
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_EXPLANATION), kExplanation);
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_CLIENT_PATH), "(cap camí seleccionat)");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_RESULTS), "");
  EXPECT_EQ(ui::ControlText(run.dialog, IDC_INSTALL), "&Instal·lar");
  EXPECT_FALSE(ui::IsEnabled(ui::Control(run.dialog, IDC_INSTALL)));
  EXPECT_TRUE(ui::IsEnabled(ui::Control(run.dialog, kSortir)));
  // "..." is the default button, the one that Enter presses.
  EXPECT_EQ(LOWORD(SendMessageA(run.dialog, DM_GETDEFID, 0, 0)), IDC_BROWSE);
  EXPECT_EQ(ui::Style(ui::Control(run.dialog, IDC_BROWSE)) & 0x0F, BS_DEFPUSHBUTTON);
}

TEST(MainDialog, IsCentredOnTheWorkArea) {
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const RECT box = ui::ScreenRect(run.dialog);
  EXPECT_NEAR((box.left + box.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((box.top + box.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

// Names, sizes and times of every file in a folder and below.
std::map<std::string, std::string> FolderState(const std::string& dir) {
  std::map<std::string, std::string> state;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return state;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    state[name] = std::to_string(found.nFileSizeLow) + "/" + std::to_string(found.ftLastWriteTime.dwLowDateTime);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const auto& inner : FolderState(dir + name + "\\")) state[name + "\\" + inner.first] = inner.second;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return state;
}

// "Sortir", Escape and the close box each end the program at once: no
// message, no other window, no file touched.
TEST(MainDialog, EachWayOutEndsTheProgramAtOnce) {
  const struct {
    const char* way;
    void (*leave)(HWND);
  } ways[] = {
      {"Sortir", [](HWND dialog) { ui::Click(dialog, kSortir); }},
      {"Escape", [](HWND dialog) { ui::PressKey(dialog, VK_ESCAPE); }},
      {"the close box", [](HWND dialog) { ui::CloseBox(dialog); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    InstallerRun run;
    ASSERT_NE(run.dialog, nullptr);
    const auto before = FolderState(run.pack);
    const auto clientBefore = FolderState(run.client);
    way.leave(run.dialog);
    std::string otherWindows;
    EXPECT_TRUE(ui::WaitUntil(
        [&] {
          for (HWND window : ui::TopWindows(run.process->id())) {
            if (window != run.dialog) otherWindows += " " + ui::Quoted(ui::Text(window));
          }
          return !run.process->Running();
        },
        [&] { return "the installer still runs, showing " + ui::DescribeWindows(run.process->id()); }, 5000));
    EXPECT_EQ(otherWindows, "") << "windows other than the main dialog appeared";
    EXPECT_EQ(FolderState(run.pack), before);
    EXPECT_EQ(FolderState(run.client), clientBefore);
  }
}

// ---------------------------------------------------------------------------
// The web link, control 1012.

COLORREF FaceColour() { return GetSysColor(COLOR_BTNFACE); }

// How many pixels of the link's area show each colour.
std::map<COLORREF, int> LinkColours(HWND link) {
  RECT client;
  GetClientRect(link, &client);
  std::map<COLORREF, int> counts;
  HDC screen = GetDC(nullptr);
  POINT origin = {0, 0};
  ClientToScreen(link, &origin);
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) ++counts[GetPixel(screen, origin.x + x, origin.y + y)];
  }
  ReleaseDC(nullptr, screen);
  return counts;
}

void ClickOn(HWND control) {
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

bool Between(BYTE value, BYTE a, BYTE b) { return value >= (a < b ? a : b) && value <= (a < b ? b : a); }

// Whether the link shows text of `textColour` on the dialog's face and
// nothing else: every pixel is the face, the text colour, or (at the smoothed
// edges of the letters) a blend of the two.
bool ShowsOnly(HWND link, COLORREF textColour) {
  const COLORREF face = FaceColour();
  const auto colours = LinkColours(link);
  for (const auto& colour : colours) {
    const COLORREF c = colour.first;
    if (!Between(GetRValue(c), GetRValue(face), GetRValue(textColour)) ||
        !Between(GetGValue(c), GetGValue(face), GetGValue(textColour)) ||
        !Between(GetBValue(c), GetBValue(face), GetBValue(textColour))) {
      return false;
    }
  }
  return colours.count(textColour) && colours.at(textColour) >= 20;
}

// Waits until the link shows only text of `textColour` on the face.
ui::AssertionResult WaitForLinkIn(HWND link, COLORREF textColour) {
  return ui::WaitUntil([&] { return ShowsOnly(link, textColour); },
                       [&] {
                         std::string colours;
                         char text[16];
                         for (const auto& colour : LinkColours(link)) {
                           std::snprintf(text, sizeof text, " %06lx:%d", static_cast<unsigned long>(colour.first),
                                         colour.second);
                           colours += text;
                         }
                         return "the link's colours (BGR:pixels):" + colours;
                       },
                       5000);
}

TEST(WebLink, IsBlueUnderlinedTextOnTheDialogFace) {
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
  EXPECT_EQ(ui::Text(link), "Verbalia");
  // Only the text colour and the dialog's face: no background rectangle.
  ASSERT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));

  // The underline: the one row whose blue runs unbroken under the whole
  // text, from its leftmost to its rightmost blue pixel; letters leave gaps.
  RECT client;
  GetClientRect(link, &client);
  std::vector<std::vector<bool>> blue(client.bottom, std::vector<bool>(client.right));
  int left = client.right, right = -1;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      blue[y][x] = ui::ClientPixel(link, x, y) == RGB(0, 0, 255);
      if (blue[y][x]) left = std::min(left, x), right = std::max(right, x);
    }
  }
  ASSERT_GT(right - left, 20) << "no text";
  std::vector<int> unbroken;
  for (int y = 0; y < client.bottom; ++y) {
    if (std::all_of(blue[y].begin() + left, blue[y].begin() + right + 1, [](bool b) { return b; })) {
      unbroken.push_back(y);
    }
  }
  ASSERT_EQ(unbroken.size(), 1u);
  EXPECT_GT(unbroken[0], client.bottom / 2);
}

TEST(WebLink, ReportsClicksOnlyFromItsFirstPaintOn) {
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  // The template gives no SS_NOTIFY; the link adds it when it is painted.
  HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
  EXPECT_TRUE(ui::WaitUntil([&] { return (ui::Style(link) & SS_NOTIFY) != 0; },
                            [&] { return "style " + std::to_string(ui::Style(link)); }, 5000));
}

TEST(WebLink, AClickOpensTheSiteAndTurnsTheTextPurple) {
  testenv::UrlLog log;
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
  ASSERT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
  ClickOn(link);
  ASSERT_TRUE(log.WaitForCount(1));
  EXPECT_EQ(log.Urls(), std::vector<std::string>{kSiteAddress});
  // The browser runs as the person at the screen: the desktop's shell starts it.
  EXPECT_EQ(log.Entries()[0].parent, testenv::ScreenUserLauncher());
  EXPECT_TRUE(WaitForLinkIn(link, RGB(128, 0, 128)));
  EXPECT_TRUE(IsWindow(run.dialog));
}

TEST(WebLink, WithoutAnHttpHandlerAClickLeavesItBlue) {
  testenv::UrlLog log;
  testenv::RemovedUrlHandler noHandler("http");
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
  ASSERT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
  ClickOn(link);
  EXPECT_TRUE(run.NoMessage());
  InvalidateRect(link, nullptr, TRUE);
  EXPECT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
  EXPECT_EQ(log.UrlsAtRest(), std::vector<std::string>{});
}

// Elevated, the installer opens nothing in its own process: when the
// desktop's shell cannot take the link (it fails, does not answer, as a hung
// one would not, or hangs inside a call), the user is given the address
// within seconds, and the link stays unvisited. While it waits for the
// shell, the keys work as ever: Tab moves on from "...".
TEST(WebLink, AHandOverThatTheDesktopsShellCannotTakeGivesTheAddress) {
  if (testenv::ScreenUserLauncher() != "explorer.exe") GTEST_SKIP() << "not elevated: the installer opens it itself";
  const struct {
    const char* fault;
    bool waits;  // for the shell's deadline
  } rows[] = {{"CoCreateInstance:2", false}, {"SendMessageTimeoutA:1", false}, {"CoCreateInstance:2:hang", true}};
  for (const auto& [fault, waits] : rows) {
    SCOPED_TRACE(fault);
    testenv::UrlLog log;
    const std::string pack = testenv::ScratchDir() + "pack\\";
    LayOutPack(pack);
    PlantedFaults faults(pack, fault);
    InstallerRun run(true, pack);
    ASSERT_NE(run.dialog, nullptr);
    HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
    ASSERT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
    ClickOn(link);
    if (waits) {
      ui::PressKey(run.dialog, VK_TAB);
      EXPECT_TRUE(ui::WaitForFocus(run.dialog, kSortir, 5000));
    }
    EXPECT_EQ(run.ExpectMessage(), std::string("Obriu aquesta adreça al navegador:\n") + kSiteAddress);
    EXPECT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
    EXPECT_EQ(log.UrlsAtRest(), std::vector<std::string>{}) << "opened all the same";
    EXPECT_TRUE(run.Quit());
  }
}

// Under high contrast the link takes the scheme's colour for links and the
// logo's lettering the colour of its text, also when the user chooses the
// scheme while the installer runs. Black lettering (a light scheme) stays
// seen, though black is the logo's transparent colour. The scheme is the
// fault injector's, for the installer alone: the face that Wine paints
// stays its own.
TEST(WebLink, UnderHighContrastTheLinkAndTheLogoTakeTheSchemesColours) {
  const struct {
    const char* scheme;
    COLORREF link, lettering;
  } rows[] = {
      {"dark", RGB(255, 255, 0), RGB(255, 255, 255)},
      {"light", RGB(0, 0, 128), RGB(0, 0, 1)},  // the nearest to black that is not the transparent colour
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.scheme);
    const std::string pack = testenv::ScratchDir() + "pack\\";
    LayOutPack(pack);
    PlantedFaults injector(pack, "");
    InstallerRun run(true, pack);
    ASSERT_NE(run.dialog, nullptr);
    HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
    ASSERT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
    testenv::RegistryValueOverride contrast(testenv::kUrlLogKey, "High contrast", row.scheme);
    PostMessageA(run.dialog, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(WaitForLinkIn(link, row.link));
    // The logo's full-coverage lettering, right of the bubble at (280, 10).
    const auto lettering = [&] {
      int count = 0;
      for (int y = 10; y < 67; ++y) {
        for (int x = 332; x < 430; ++x) count += ui::ClientPixel(run.dialog, x, y) == row.lettering;
      }
      return count;
    };
    EXPECT_TRUE(ui::WaitUntil([&] { return lettering() >= 50; },
                              [&] { return std::to_string(lettering()) + " pixels of the lettering's colour"; }, 5000));
    EXPECT_TRUE(run.Quit());
  }
}

// ---------------------------------------------------------------------------
// The keyboard alone, as a screen reader's user goes: Tab reaches every
// control that takes the focus, the link among them (with a focus rectangle;
// Enter and Space open it), access keys press the buttons, and after the
// install the focus is on the results, which a screen reader then reads.

TEST(Keyboard, TheWholeRoadWithoutAMouse) {
  testenv::UrlLog log;
  InstallerRun run;
  ASSERT_NE(run.dialog, nullptr);
  HWND link = ui::Control(run.dialog, IDC_WEB_LINK);
  const auto focusOn = [&](int id) { return ui::WaitForFocus(run.dialog, id, 5000); };
  const auto tab = [&](int id) {
    ui::PressKey(run.dialog, VK_TAB);
    return focusOn(id);
  };
  EXPECT_TRUE(focusOn(IDC_BROWSE));
  // "Instal·lar" is disabled until a program is picked: Tab passes it.
  for (const int id : {kSortir, IDC_RESULTS, IDC_WEB_LINK, IDC_BROWSE, kSortir, IDC_RESULTS}) EXPECT_TRUE(tab(id));
  ASSERT_TRUE(WaitForLinkIn(link, RGB(0, 0, 255)));
  ASSERT_TRUE(tab(IDC_WEB_LINK));
  EXPECT_TRUE(ui::WaitUntil([&] { return !ShowsOnly(link, RGB(0, 0, 255)); },
                            [] { return std::string("no focus rectangle"); }, 5000));
  ui::PressKey(run.dialog, VK_RETURN);
  ASSERT_TRUE(log.WaitForCount(1));
  // The opening has ended once the link turns purple (its focus rectangle
  // stays); a key pressed before then is dropped, as a second click is.
  const COLORREF purple = RGB(128, 0, 128);
  ASSERT_TRUE(ui::WaitUntil([&] { return LinkColours(link)[purple] >= 20; },
                            [&] { return std::to_string(LinkColours(link)[purple]) + " purple pixels"; }, 5000));
  ui::PressKey(run.dialog, VK_SPACE);
  ASSERT_TRUE(log.WaitForCount(2));
  EXPECT_EQ(log.UrlsAtRest(), (std::vector<std::string>{kSiteAddress, kSiteAddress}));

  // Enter on "..." opens the file selection, where the path is typed.
  ASSERT_TRUE(tab(IDC_BROWSE));
  EXPECT_TRUE(WaitForLinkIn(link, purple)) << "the rectangle left with the focus";
  ui::PressKey(run.dialog, VK_RETURN);
  HWND open = nullptr;
  ASSERT_TRUE(run.WaitForDialog("Open", open));
  ui::SetText(ui::Control(open, cmb13), run.client + "quop32.exe");
  ui::PressKey(open, VK_RETURN);
  ASSERT_TRUE(ui::WaitForWindowGone(open));
  ASSERT_TRUE(ui::WaitForEnabled(ui::Control(run.dialog, IDC_INSTALL)));
  ui::PressAccessKey(run.dialog, 'i');
  EXPECT_EQ(run.ExpectMessage(kPressEnter), kInstalled);
  HWND info = nullptr;
  ASSERT_TRUE(run.WaitForDialog(kInfoTitle, info));
  ui::PressKey(info, VK_ESCAPE);
  ASSERT_TRUE(ui::WaitForWindowGone(info));
  EXPECT_TRUE(focusOn(IDC_RESULTS));
  EXPECT_EQ(SendDlgItemMessageA(run.dialog, IDC_RESULTS, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "not read from the top";
  ui::PressAccessKey(run.dialog, 's');
  EXPECT_TRUE(run.process->WaitExit());
}

// ---------------------------------------------------------------------------
// The logo, bitmap 130, drawn at (280, 10) with black transparent.

// At 96 DPI (Windows' small fonts) the logo lies at the dialog's pixels
// (280, 10) at its own size; at 144 DPI (a screen at 150 %) the dialog
// grows with its font, the logo keeps its corner, placed by the dialog's
// base units, and grows by half. Black lets the face show through, and the
// lettering's edges are blends of its colours with the face, never darker
// than both.
TEST(Logo, ShowsTheFaceThroughItsBlackAndGrowsWithTheDpi) {
  HMODULE exe =
      LoadLibraryExA(testenv::BuildPath("installer\\trinstall.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HBITMAP logo =
      static_cast<HBITMAP>(LoadImageA(exe, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(logo, nullptr);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, logo);
  // A black and a yellow pixel amid their own colour, so that a stretched
  // picture shows them at their scaled place; and the picture's extent.
  const COLORREF colour = RGB(255, 204, 0);
  const auto amid = [&](int x, int y, COLORREF c) {
    for (int j = -1; j <= 1; ++j) {
      for (int i = -1; i <= 1; ++i) {
        if (GetPixel(memory, x + i, y + j) != c) return false;
      }
    }
    return true;
  };
  POINT black = {-1, -1}, coloured = {-1, -1};
  RECT drawn = {150, 57, 0, 0};
  for (int y = 0; y < 57; ++y) {
    for (int x = 0; x < 150; ++x) {
      if (black.x < 0 && x > 0 && y > 0 && amid(x, y, RGB(0, 0, 0))) black = {x, y};
      if (coloured.x < 0 && amid(x, y, colour)) coloured = {x, y};
      if (GetPixel(memory, x, y) != RGB(0, 0, 0)) {
        drawn = {std::min<LONG>(drawn.left, x), std::min<LONG>(drawn.top, y), std::max<LONG>(drawn.right, x + 1),
                 std::max<LONG>(drawn.bottom, y + 1)};
      }
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(logo);
  FreeLibrary(exe);
  ASSERT_GE(black.x, 0);
  ASSERT_GE(coloured.x, 0);

  for (const DWORD dpi : {96u, 144u}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    testenv::RegistryValueOverride pixels("Control Panel\\Desktop", "LogPixels", dpi);
    InstallerRun run;
    ASSERT_NE(run.dialog, nullptr);
    const auto scaled = [dpi](LONG pixels) { return static_cast<LONG>(MulDiv(pixels, dpi, 96)); };
    // The dialog's base units, from its size in them (295 x 249).
    RECT client;
    GetClientRect(run.dialog, &client);
    const int unitX = (client.right * 4 + 147) / 295, unitY = (client.bottom * 8 + 124) / 249;
    const POINT at = {(280 * unitX + 3) / 6, (10 * unitY + 6) / 13};
    if (dpi == 96) {
      EXPECT_EQ((std::vector<LONG>{at.x, at.y}), (std::vector<LONG>{280, 10}));
    }
    EXPECT_LE(at.x + scaled(150), client.right);
    EXPECT_GE(at.x, client.right / 2);
    const auto shown = [&](POINT p) { return ui::ClientPixel(run.dialog, at.x + scaled(p.x), at.y + scaled(p.y)); };
    EXPECT_TRUE(ui::WaitUntil([&] { return shown(coloured) == colour; },
                              [&] { return "the logo's yellow shown as " + std::to_string(shown(coloured)); }, 5000));
    const COLORREF face = FaceColour();
    EXPECT_EQ(shown(black), face);
    // What is not the face around the logo's place: the picture, grown
    // with the DPI.
    POINT origin = at;
    ClientToScreen(run.dialog, &origin);
    HDC screen = GetDC(nullptr);
    RECT seen = {LONG_MAX, LONG_MAX, 0, 0};
    for (LONG y = 0; y < scaled(57) + 4; ++y) {
      for (LONG x = 0; x < scaled(150) + 4 && at.x + x < client.right; ++x) {
        if (GetPixel(screen, origin.x + x, origin.y + y) == face) continue;
        seen = {std::min(seen.left, x), std::min(seen.top, y), std::max(seen.right, x + 1),
                std::max(seen.bottom, y + 1)};
      }
    }
    EXPECT_NEAR(seen.right - seen.left, scaled(drawn.right - drawn.left), 1);
    EXPECT_NEAR(seen.bottom - seen.top, scaled(drawn.bottom - drawn.top), 1);
    EXPECT_NEAR(seen.left, scaled(drawn.left), 1);
    EXPECT_NEAR(seen.top, scaled(drawn.top), 1);
    // The lettering, right of the bubble: the face, or a blend of the face
    // with the name's yellow or the motto's blue.
    int fringes = 0;
    for (LONG y = 0; y < scaled(57); ++y) {
      for (LONG x = scaled(52); x < scaled(150); ++x) {
        const COLORREF c = GetPixel(screen, origin.x + x, origin.y + y);
        const auto blendOf = [&](COLORREF letter) {
          return Between(GetRValue(c), GetRValue(face), GetRValue(letter)) &&
                 Between(GetGValue(c), GetGValue(face), GetGValue(letter)) &&
                 Between(GetBValue(c), GetBValue(face), GetBValue(letter));
        };
        if (!blendOf(RGB(255, 204, 0)) && !blendOf(RGB(0, 0, 153))) ++fringes;
      }
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(fringes, 0) << "pixels of the lettering that are no blend with the face";
  }
}

}  // namespace
