// What the helper does differently on the systems of the newer shell's first
// version (4.x: Windows 95, NT 4.0) and on the others: where its dialogs
// paint its icon, and whether it takes up the 3-D controls library. Run as
// the prefix's own version and, with %QUOP_WINDOWS_VERSION%, as win95 and nt40.
#include <gtest/gtest.h>

#include "helper_run.h"

namespace {

// The pixels of a square of `size` that `paint` draws into a bitmap.
template <typename Paint>
std::vector<COLORREF> PaintedSquare(int size, Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory, screen);
  std::vector<COLORREF> pixels;
  for (int j = 0; j < size; ++j) {
    for (int i = 0; i < size; ++i) pixels.push_back(GetPixel(memory, i, j));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The pixels of a square of `window`'s client area, as the screen shows it.
std::vector<COLORREF> ScreenSquare(HWND window, int x, int y, int size) {
  POINT origin = {x, y};
  ClientToScreen(window, &origin);
  return PaintedSquare(
      size, [&](HDC memory, HDC screen) { BitBlt(memory, 0, 0, size, size, screen, origin.x, origin.y, SRCCOPY); });
}

// The helper's icon 1 as it looks drawn `size` pixels wide on a dialog's face.
std::vector<COLORREF> IconOnFace(int size) {
  HMODULE helper =
      LoadLibraryExA(testenv::BuildPath("linkhelper\\urlhop32.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  auto icon = static_cast<HICON>(LoadImageA(helper, MAKEINTRESOURCEA(IDI_HELPER), IMAGE_ICON, size, size, 0));
  std::vector<COLORREF> pixels = PaintedSquare(size, [&](HDC memory, HDC) {
    RECT all = {0, 0, size, size};
    FillRect(memory, &all, GetSysColorBrush(COLOR_3DFACE));
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  });
  if (icon) DestroyIcon(icon);
  FreeLibrary(helper);
  return pixels;
}

// Whether the square at `origin` shows the icon, in the pixels that no
// control covers: a control next to the icon may paint over part of it.
bool ShowsIcon(HWND dialog, POINT origin, const std::vector<COLORREF>& icon, int size) {
  std::vector<RECT> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT rect = ui::ScreenRect(child);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    controls.push_back(rect);
  }
  const std::vector<COLORREF> shown = ScreenSquare(dialog, origin.x, origin.y, size);
  int compared = 0;
  for (int j = 0; j < size; ++j) {
    for (int i = 0; i < size; ++i) {
      const POINT at = {origin.x + i, origin.y + j};
      bool covered = false;
      for (const RECT& rect : controls) covered = covered || PtInRect(&rect, at);
      if (covered) continue;
      ++compared;
      if (shown[j * size + i] != icon[j * size + i]) return false;
    }
  }
  return compared >= size * size / 4;
}

// Starts the helper with `request` ("" for none), waits for its dialog
// `title` (`width` x `height` dialog units), and expects the icon painted at
// the place for this version and not at the other, both given in pixels at
// 96 DPI: at 144 DPI both, and the icon, grow with the dialog's units.
void ExpectIconInDialog(const std::string& request, const char* title, SIZE units, POINT version4, POINT other) {
  for (const DWORD dpi : {96u, 144u}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    testenv::RegistryValueOverride pixels("Control Panel\\Desktop", "LogPixels", dpi);
    HelperSetup setup;
    auto helper = setup.Start(request.empty() ? "" : setup.Request("req.txt", request));
    HWND dialog = nullptr;
    ASSERT_TRUE(HelperSetup::WaitForDialog(*helper, title, dialog));
    RECT client;
    GetClientRect(dialog, &client);
    const LONG unitX = (client.right * 4 + units.cx / 2) / units.cx,
               unitY = (client.bottom * 8 + units.cy / 2) / units.cy;
    const auto place = [&](POINT at) { return POINT{(at.x * unitX + 3) / 6, (at.y * unitY + 6) / 13}; };
    const int size = static_cast<int>((32 * unitX + 3) / 6);
    if (dpi == 96) {
      EXPECT_EQ(size, 32);
    }
    const POINT here = place(testenv::OnVersion4() ? version4 : other);
    const POINT there = place(testenv::OnVersion4() ? other : version4);
    const std::vector<COLORREF> icon = IconOnFace(size);
    EXPECT_TRUE(ui::WaitUntil([&] { return ShowsIcon(dialog, here, icon, size); },
                              [&] { return "no icon at " + std::to_string(here.x) + "," + std::to_string(here.y); },
                              5000));
    if (here.x != there.x || here.y != there.y) {
      EXPECT_FALSE(ShowsIcon(dialog, there, icon, size)) << "an icon at " << there.x << "," << there.y;
    }
    ui::Click(dialog, IDCANCEL);
    EXPECT_TRUE(helper->WaitExit());
  }
}

TEST(ShellLook, TheConfirmationPaintsTheIconWhereTheShellWantsIt) {
  ExpectIconInDialog("channel catala\nconfirm 1\n", "QuopLink Connexió", {156, 87}, {17, 96}, {21, 96});
}

// The later systems' place, 344, lies outside the setup dialog in its own
// font: there too the icon is painted where it is seen.
TEST(ShellLook, TheSetupDialogPaintsTheIconWhereItIsSeen) {
  ExpectIconInDialog("", "QuopLink32 v5.61", {223, 212}, {290, 20}, {290, 20});
}

// Runs the helper with a request that names nothing (it ends at once), in
// `folder`, with the stand-in 3-D controls library copied to `libraryFolder`;
// returns the calls it logged.
std::string Ctl3dCalls(const HelperSetup& setup, const std::string& libraryFolder, const std::string& folder) {
  // A system without a library of its own, as every system after the 4.x ones.
  testenv::SystemLibrary noSystemLibrary("urlhop32.exe", "ctl3d32.dll");
  EXPECT_TRUE(CopyFileA(testenv::BuildPath("tests\\support\\Ctl3d32.dll").c_str(),
                        (libraryFolder + "Ctl3d32.dll").c_str(), FALSE));
  const std::string log = testenv::ScratchDir() + "ctl3d.log";
  SetEnvironmentVariableA("QUOP_CTL3D_LOG", log.c_str());
  ui::Process helper(setup.folder + "urlhop32.exe", folder + "nothing.txt", folder);
  EXPECT_TRUE(helper.WaitExit());
  SetEnvironmentVariableA("QUOP_CTL3D_LOG", nullptr);
  return testenv::ReadFile(log);
}

TEST(ShellLook, OnlyTheOlderShellTakesUpThe3DControls) {
  HelperSetup setup;
  EXPECT_EQ(Ctl3dCalls(setup, setup.folder, setup.folder),
            testenv::OnVersion4() ? "" : "register\r\nautosubclass\r\nunregister\r\n");
}

// The browser starts the helper in a folder that any web page can write to.
TEST(ShellLook, No3DControlsLibraryIsTakenFromTheCurrentFolder) {
  HelperSetup setup;
  const std::string downloads = testenv::ScratchDir() + "Baixades\\";
  CreateDirectoryA(downloads.c_str(), nullptr);
  EXPECT_EQ(Ctl3dCalls(setup, downloads, downloads), "");
}

}  // namespace
