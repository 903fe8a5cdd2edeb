#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "control/resource.h"
#include "dlg_fixture.h"
#include "record/log_path.h"

namespace linkwatch::testing {
namespace {

class LogPathDlgTest : public DlgTest {
 protected:
  void TearDown() override { std::filesystem::current_path(m_oldCwd); }
  std::filesystem::path m_oldCwd = std::filesystem::current_path();
};

TEST_F(LogPathDlgTest, DefaultIsResultsTxtInTheCurrentDirectory) {
  std::filesystem::current_path(dir.Path());
  dlg.OnInitDialog();
  const std::string expected = std::filesystem::current_path().string() + "/results.txt";
  EXPECT_EQ(dlg.LogPath(), expected);
  EXPECT_EQ(platform.texts[IDC_LOG_FILE], ShortenedLogDisplay(expected));
}

TEST_F(LogPathDlgTest, UnreadableCurrentDirectoryLeavesThePathEmpty) {
  const std::string gone = dir.File("gone");
  std::filesystem::create_directory(gone);
  std::filesystem::current_path(gone);
  std::filesystem::remove(gone);
  EXPECT_EQ(CurrentDirectory(), std::nullopt);

  dlg.OnInitDialog();
  EXPECT_EQ(dlg.LogPath(), "");
  EXPECT_EQ(platform.texts[IDC_LOG_FILE], "");
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "Cannot open ");
  EXPECT_EQ(serial.opens, 0);
}

}  // namespace
}  // namespace linkwatch::testing
