// The installer's resources read from its file: the launcher it carries is
// the launcher's build output, byte for byte, and its icon is the launcher's.
#include <gtest/gtest.h>

#include "helper_resource.h"
#include "installer_resource.h"
#include "test_env.h"

namespace {

// System DPI awareness, as Windows Vista to 11 read it; Windows 95 to XP
// pass it over.
constexpr char kDpiAware[] =
    "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>";

std::string Resource(HMODULE module, LPCSTR type, int id, WORD language) {
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
  if (!found) return {};
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  return std::string(bytes, SizeofResource(module, found));
}

struct Build {
  std::string installer, launcher;
};

std::vector<Build> Builds() {
  std::vector<Build> builds{
      {testenv::BuildPath("installer\\trinstall.exe"), testenv::BuildPath("weblauncher\\verbalia.exe")}};
  if (!testenv::DeliverablePath("").empty()) {
    builds.push_back(
        {testenv::DeliverablePath("installer\\trinstall.exe"), testenv::DeliverablePath("weblauncher\\verbalia.exe")});
  }
  return builds;
}

TEST(InstallerResources, CarryTheLauncherAndItsIcon) {
  for (const Build& build : Builds()) {
    SCOPED_TRACE(build.installer);
    HMODULE installer = LoadLibraryExA(build.installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMODULE launcher = LoadLibraryExA(build.launcher.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(installer, nullptr);
    ASSERT_NE(launcher, nullptr);
    const std::string carried = Resource(installer, "NOSTRE", IDR_LAUNCHER, 1027);
    ASSERT_FALSE(carried.empty());
    EXPECT_TRUE(carried == testenv::ReadFile(build.launcher)) << "the carried launcher differs from the built one";
    // Icon 128 holds the launcher's two images.
    for (int image = 1; image <= 2; ++image) {
      EXPECT_EQ(Resource(installer, RT_ICON, image, 1027), Resource(launcher, RT_ICON, image, 1027));
    }
    // The logo: 150 x 57, 8 bits per pixel with 256 colours, English (U.K.).
    const std::string logo = Resource(installer, RT_BITMAP, 130, 2057);
    ASSERT_GE(logo.size(), sizeof(BITMAPINFOHEADER));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(logo.data());
    EXPECT_EQ(header->biWidth, 150);
    EXPECT_EQ(header->biHeight, 57);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_TRUE(header->biClrUsed == 0 || header->biClrUsed == 256);
    // The manifest asks to run as administrator and to be laid out at the
    // screen's DPI, and for nothing that changes the layout.
    const std::string manifest = Resource(installer, RT_MANIFEST, 1, 0);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find(kDpiAware), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
    FreeLibrary(launcher);
    FreeLibrary(installer);
  }
}

// Laid out at the screen's DPI, and with no execution level: with one,
// Windows would stop redirecting its writes under Program Files.
TEST(HelperResources, DeclareDpiAwarenessAndNoExecutionLevel) {
  for (const std::string& helper :
       {testenv::BuildPath("linkhelper\\urlhop32.exe"), testenv::DeliverablePath("linkhelper\\urlhop32.exe")}) {
    if (helper.empty()) continue;
    SCOPED_TRACE(helper);
    HMODULE module = LoadLibraryExA(helper.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const std::string manifest = Resource(module, RT_MANIFEST, 1, 0);
    EXPECT_NE(manifest.find(kDpiAware), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("trustInfo"), std::string::npos) << manifest;
    // Its own icon and dialogs are there.
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDI_HELPER), RT_GROUP_ICON), nullptr);
    for (const char* name : {"LINK_DLG", "ASK_DLG", "ASK2_DLG", "WARN_DLG", "INSTALL_DLG"}) {
      EXPECT_NE(FindResourceA(module, name, RT_DIALOG), nullptr) << name;
    }
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDD_FILE_BROWSER), RT_DIALOG), nullptr);
    FreeLibrary(module);
  }
}

}  // namespace
