#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <string>

#include "app/about_dlg.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "fake_serial.h"
#include "modal_answerer.h"
#include "temp_dir.h"
#include "ui/dialog_binding.h"
#include "ui/monitor_window.h"
#include "ui/system_menu.h"

namespace linkwatch::testing {

// Changes the working directory for one test.
class WorkingDir {
 public:
  explicit WorkingDir(const std::string& path) : m_saved(get_current_dir_name()) {
    EXPECT_EQ(::chdir(path.c_str()), 0) << path;
  }
  WorkingDir(const WorkingDir&) = delete;
  WorkingDir& operator=(const WorkingDir&) = delete;
  ~WorkingDir() {
    if (m_saved != nullptr && ::chdir(m_saved) != 0)
      ADD_FAILURE() << "cannot go back to " << m_saved;
    ::free(m_saved);
  }

 private:
  char* m_saved;
};

// The main window with the dialog's handlers attached, as the program runs
// it, on a port that the test feeds. Boxes are answered through answerer.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() { window.SetAboutBox(ShowAboutBox); }

  // The dialog's initialisation, then the window shown and active.
  void Init() {
    dlg.OnInitDialog();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // Starts a test that logs into the temporary directory.
  void StartTest() {
    dlg.SetLogPath(dir.File("log.txt"));
    Get<QAbstractButton>(IDC_START)->click();
    ASSERT_TRUE(dlg.IsRunning());
  }

  template <class Widget>
  Widget* Get(int id) const {
    auto* widget = qobject_cast<Widget*>(window.Control(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
  }
  QAction* Item(unsigned command) const { return window.Menu().Find(command); }

  TempDir dir;
  FakeSerial serial;
  MonitorWindow window;
  CMonitorDlg dlg{window, serial};
  DialogBinding binding{window, dlg};
  ModalAnswerer answerer;
};

}  // namespace linkwatch::testing
