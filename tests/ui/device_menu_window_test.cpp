#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QTest>

#include <string>

#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "fake_device_list.h"
#include "fake_serial.h"
#include "modal_answerer.h"
#include "temp_dir.h"
#include "ui/device_watch.h"
#include "ui/dialog_binding.h"
#include "ui/monitor_window.h"
#include "ui/system_menu.h"

namespace linkwatch::testing {
namespace {

constexpr const char* kFtdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";

// The window as the program runs it, with devices that the test plugs in.
class DeviceWindowTest : public ::testing::Test {
 protected:
  // The program's items of the menu, after the window commands.
  QStringList ProgramItems() const {
    QStringList texts;
    const auto actions = window.Menu().actions();
    bool program = false;
    for (const QAction* action : actions) {
      if (action->isSeparator() && !program) {
        program = true;  // the first separator ends the window commands
        continue;
      }
      if (!program) continue;
      QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
      if (action->isChecked()) text += QStringLiteral(" *");
      if (!action->isEnabled()) text += QStringLiteral(" (grey)");
      texts << text;
    }
    return texts;
  }
  QAction* ItemNamed(const QString& text) const {
    for (QAction* action : window.Menu().actions()) {
      if (action->text() == text) return action;
    }
    return nullptr;
  }

  TempDir dir;
  FakeSerial serial;
  FakeDeviceList devices;
  MonitorWindow window;
  CMonitorDlg dlg{window, serial, devices};
  DialogBinding binding{window, dlg};
  ModalAnswerer answerer;
};

TEST_F(DeviceWindowTest, DevicesComeAndGoInTheMenuAndAreChosenThere) {
  devices.devices = {"/dev/ttyS0"};
  dlg.OnInitDialog();
  const DeviceWatch watch(dlg);
  ASSERT_TRUE(watch.Watching());
  window.show();
  EXPECT_EQ(ProgramItems(), (QStringList{"COM1 *", "COM2", "COM3", "COM4", "-", "/dev/ttyS0", "-",
                                         "&About linkwatch..."}));

  // Plugged in: the monitor's descriptor wakes the window's own loop.
  devices.Set({kFtdi, "/dev/ttyS0"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(kFtdi) != nullptr; }, 5000));
  EXPECT_EQ(ProgramItems(), (QStringList{"COM1 *", "COM2", "COM3", "COM4", "-", kFtdi, "/dev/ttyS0",
                                         "-", "&About linkwatch..."}));

  answerer.Answer(QMessageBox::Ok);
  ItemNamed(kFtdi)->trigger();
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, QString(kFtdi) + " selected");
  EXPECT_EQ(ProgramItems(), (QStringList{"COM1", "COM2", "COM3", "COM4", "-", QString(kFtdi) + " *",
                                         "/dev/ttyS0", "-", "&About linkwatch..."}));

  dlg.SetLogPath(dir.File("log.txt"));
  qobject_cast<QAbstractButton*>(window.Control(IDC_START))->click();
  ASSERT_TRUE(dlg.IsRunning());
  EXPECT_EQ(serial.openedDevice, kFtdi);
  EXPECT_FALSE(ItemNamed(kFtdi)->isEnabled());

  // Pulled out during the test: the other items stay grey.
  devices.Set({"/dev/ttyS0"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return ItemNamed(kFtdi) == nullptr; }, 5000));
  EXPECT_EQ(ProgramItems(), (QStringList{"COM1 (grey)", "COM2 (grey)", "COM3 (grey)", "COM4 (grey)",
                                         "-", "/dev/ttyS0 (grey)", "-", "&About linkwatch..."}));
  dlg.StopTest();
}

}  // namespace
}  // namespace linkwatch::testing
