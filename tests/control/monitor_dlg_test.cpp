#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dlg_fixture.h"

namespace linkwatch::testing {
namespace {

class ShellTest : public DlgTest {
 protected:
  std::vector<std::string> MenuTexts() const {
    std::vector<std::string> texts;
    for (const auto& e : platform.menu)
      texts.push_back(e.kind == MenuItem::Separator ? "-" : e.text);
    return texts;
  }
  std::vector<unsigned> CheckedItems() const {
    std::vector<unsigned> out;
    for (const auto& e : platform.menu) {
      if (e.checked) out.push_back(e.command);
    }
    return out;
  }
};

TEST_F(ShellTest, StartUpState) {
  EXPECT_TRUE(dlg.OnInitDialog());
  EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"-", "COM1", "COM2", "COM3", "COM4", "-",
                                                   "&About linkwatch..."}));
  EXPECT_EQ(CheckedItems(), std::vector<unsigned>{IDM_COM1});
  EXPECT_EQ(dlg.ComPort(), 1);
  EXPECT_EQ(platform.ComboGetCurSel(IDC_DURATION), 0);
  EXPECT_EQ(dlg.Duration(), 0);
  EXPECT_FALSE(platform.checked[IDC_START]);
  EXPECT_FALSE(platform.visible[IDC_STOP]);
  EXPECT_FALSE(platform.enabled[IDC_ELAPSED_GROUP]);
  EXPECT_FALSE(platform.enabled[IDC_ELAPSED]);
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(dlg.Results().Count(), 0u);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ShellTest, NoSystemMenuStillInitialises) {
  platform.hasMenu = false;
  EXPECT_TRUE(dlg.OnInitDialog());
  EXPECT_TRUE(platform.menu.empty());
  EXPECT_EQ(dlg.ComPort(), 1);
}

TEST_F(ShellTest, ChoosingAPort) {
  Init();
  EXPECT_TRUE(dlg.OnSysCommand(IDM_COM3));
  EXPECT_EQ(CheckedItems(), std::vector<unsigned>{IDM_COM3});
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "COM3 selected");
  EXPECT_EQ(platform.boxes[0].kind, BoxKind::Ok);
  EXPECT_EQ(dlg.ComPort(), 3);

  // The selected port again: still checked, the notice again, nothing else.
  EXPECT_TRUE(dlg.OnSysCommand(IDM_COM3 | 0x0003));  // the low bits are the platform's
  EXPECT_EQ(CheckedItems(), std::vector<unsigned>{IDM_COM3});
  EXPECT_EQ(platform.boxes.back().text, "COM3 selected");

  dlg.OnStart();
  EXPECT_EQ(serial.openedPort, 3);
}

TEST_F(ShellTest, AboutAndForeignCommands) {
  Init();
  EXPECT_TRUE(dlg.OnSysCommand(IDM_ABOUTBOX));
  EXPECT_EQ(platform.aboutShown, 1);
  EXPECT_FALSE(dlg.OnSysCommand(0xF060));  // the platform's own close command
  EXPECT_FALSE(dlg.OnSysCommand(0x0060));
  EXPECT_EQ(dlg.ComPort(), 1);
}

TEST_F(ShellTest, GreyingLeavesAboutAndTheCheckMarkAlone) {
  Init();
  dlg.SelectComPort(2);
  dlg.EnableComMenu(true);
  for (unsigned cmd : {IDM_COM1, IDM_COM2, IDM_COM3, IDM_COM4})
    EXPECT_FALSE(platform.FindMenu(cmd)->enabled);
  EXPECT_TRUE(platform.FindMenu(IDM_ABOUTBOX)->enabled);
  EXPECT_EQ(CheckedItems(), std::vector<unsigned>{IDM_COM2});
  dlg.EnableComMenu(false);
  for (unsigned cmd : {IDM_COM1, IDM_COM2, IDM_COM3, IDM_COM4})
    EXPECT_TRUE(platform.FindMenu(cmd)->enabled);
}

}  // namespace
}  // namespace linkwatch::testing
