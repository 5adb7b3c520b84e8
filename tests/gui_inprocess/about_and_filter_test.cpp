// The About box as the Help command shows it, and the file types the open
// dialog is given.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/gui_inprocess/dialog_watcher.h"
#include "platform/windows/text.h"
#include "tests/gui_inprocess/gui_support.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/open_dialog.h"

namespace {

using AboutBox = FrameTest;

// The name, the version and the copyright line come from the program
// file's version block; the box is centred on the frame that owns it.
TEST_F(AboutBox, ShowsTheVersionBlocksTexts) {
  std::string text;
  RECT box = {};
  DialogWatcher dialogs([&](HWND dialog) {
    char read[256] = {};
    GetDlgItemTextA(dialog, IDC_ABOUT_TEXT, read, sizeof read);
    text = read;
    GetWindowRect(dialog, &box);
    DialogWatcher::PressOk(dialog);
  });
  SetActiveWindow(frame().hwnd());
  frame().Command(ID_APP_ABOUT);
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].caption, "About");
  EXPECT_EQ(dialogs.seen()[0].owner, frame().hwnd());
  EXPECT_EQ(text, "Trellin  ver. 1, 0, 2, 1\n\nCopyright (C) 2026 the Trellin developers");
  RECT owner;
  GetWindowRect(frame().hwnd(), &owner);
  EXPECT_NEAR((box.left + box.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((box.top + box.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
}

TEST_F(AboutBox, ClosesWithEscapeToo) {
  DialogWatcher dialogs(DialogWatcher::PressCancel);
  frame().Command(ID_APP_ABOUT);
  EXPECT_EQ(dialogs.seen().size(), 1u);
}

// The game plug-in's one file type.
constexpr char kLeafPatterns[] = "*.px;*.lfb;*.lff;*.lcf;*.lgf;*.cz1;*.cz2;*.tga;*.bbm";
constexpr char kLeafName[] = "Leaf image files";

TEST(OpenDialogFilter, OneImagePluginGivesItsTypeAfterAllFilesAndAllImages) {
  PluginList plugins;
  plugins.Append(PluginRecord(platform::Utf16(DistFolder() + "\\Mornel" + kPluginSuffix)));
  const OpenDialogFilter filter = OpenDialogFilterFor(plugins);
  EXPECT_EQ(filter.block, std::string("All files\0*.*\0All Images\0", 25) + kLeafPatterns + '\0' + kLeafName + '\0' +
                              kLeafPatterns + '\0' + '\0');
  EXPECT_EQ(filter.index, 2u);
  EXPECT_FALSE(plugins.records()[0].IsLoaded()) << "loaded for the question only";
}

// The frame's own list: the plug-ins found, then the image writer's
// library, which reads pictures too.
TEST_F(FrameTest, OpenDialogFilterOfTheViewsPlugins) {
  const OpenDialogFilter filter = OpenDialogFilterFor(view().plugins());
  EXPECT_EQ(filter.index, 2u);
  std::vector<std::string> strings;
  for (size_t at = 0; at < filter.block.size() && filter.block[at] != '\0'; at += strings.back().size() + 1)
    strings.push_back(filter.block.c_str() + at);
  ASSERT_GE(strings.size(), 8u);
  EXPECT_EQ(strings[0], "All files");
  EXPECT_EQ(strings[1], "*.*");
  EXPECT_EQ(strings[2], "All Images");
  EXPECT_EQ(strings[3].substr(0, sizeof kLeafPatterns), std::string(kLeafPatterns) + ";");
  EXPECT_NE(strings[3].find("*.png"), std::string::npos);
  EXPECT_EQ(strings[4], kLeafName);
  EXPECT_EQ(strings[5], kLeafPatterns);
  EXPECT_EQ(strings[6], "Windows bitmap");
  EXPECT_EQ(strings[7], "*.bmp;*.dib");
  EXPECT_EQ(strings.size() % 2, 0u);
  EXPECT_EQ(filter.block.substr(filter.block.size() - 2), std::string(1, '\0') + '\0');
}

}  // namespace
