// The launcher's resources, read from its file as data: one icon group and
// nothing else (no version, dialogs, strings or menus).
#include <gtest/gtest.h>

#include <set>

#include "test_env.h"

namespace {

#pragma pack(push, 2)
struct IconGroupHeader {
  WORD reserved, type, count;
};
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::vector<std::string> LauncherFiles() {
  std::vector<std::string> files{testenv::BuildPath("weblauncher\\verbalia.exe")};
  const std::string deliverable = testenv::DeliverablePath("weblauncher\\verbalia.exe");
  if (!deliverable.empty()) files.push_back(deliverable);
  return files;
}

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR param) {
  auto* types = reinterpret_cast<std::set<ULONG_PTR>*>(param);
  types->insert(IS_INTRESOURCE(type) ? reinterpret_cast<ULONG_PTR>(type) : ~ULONG_PTR(0));
  return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::set<WORD>*>(param)->insert(language);
  return TRUE;
}

class LauncherResources : public ::testing::TestWithParam<std::string> {};

TEST_P(LauncherResources, HoldOnlyTheCatalanIconGroupOfTwo16ColourImages) {
  HMODULE module = LoadLibraryExA(GetParam().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << GetParam();

  std::set<ULONG_PTR> types;
  EnumResourceTypesA(module, CollectType, reinterpret_cast<LONG_PTR>(&types));
  EXPECT_EQ(types,
            (std::set<ULONG_PTR>{reinterpret_cast<ULONG_PTR>(RT_ICON), reinterpret_cast<ULONG_PTR>(RT_GROUP_ICON)}));

  std::set<WORD> languages;
  EnumResourceLanguagesA(module, RT_GROUP_ICON, MAKEINTRESOURCEA(101), CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::set<WORD>{1027});

  HRSRC group = FindResourceExA(module, RT_GROUP_ICON, MAKEINTRESOURCEA(101), 1027);
  ASSERT_NE(group, nullptr);
  const auto* header = static_cast<const IconGroupHeader*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->type, 1);
  ASSERT_EQ(header->count, 2);
  const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].width, 32);
    EXPECT_EQ(entries[i].height, 32);
    EXPECT_EQ(entries[i].colours, 16);
    EXPECT_EQ(entries[i].bitCount, 4);
    EXPECT_EQ(entries[i].id, i + 1);
    // The image itself: a 4-bpp picture that is not a flat square.
    HRSRC image = FindResourceExA(module, RT_ICON, MAKEINTRESOURCEA(entries[i].id), 1027);
    ASSERT_NE(image, nullptr);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biBitCount, 4);
    EXPECT_EQ(info->biWidth, 32);
    const BYTE* pixels = reinterpret_cast<const BYTE*>(info + 1) + 16 * sizeof(RGBQUAD);
    std::set<int> colours;
    for (int b = 0; b < 32 * 16; ++b) {
      colours.insert(pixels[b] >> 4);
      colours.insert(pixels[b] & 15);
    }
    EXPECT_GE(colours.size(), 4u);
  }
  FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Builds, LauncherResources, ::testing::ValuesIn(LauncherFiles()));

}  // namespace
