#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dlg_fixture.h"
#include "fake_device_list.h"

namespace linkwatch::testing {
namespace {

constexpr const char* kFtdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
constexpr const char* kAcm = "/dev/ttyACM0";

unsigned DeviceItem(int index) {
  return IDM_DEVICE_FIRST + 16 * static_cast<unsigned>(index);
}

class DeviceMenuTest : public DlgTest {
 protected:
  DeviceMenuTest() { devices.devices = {kFtdi, kAcm}; }

  void InitWithDevices() {
    dlg2.OnInitDialog();
    dlg2.SetLogPath(logPath);
  }
  std::vector<std::string> MenuTexts() const {
    std::vector<std::string> texts;
    for (const auto& e : platform.menu) {
      std::string t = e.kind == MenuItem::Separator ? "-" : e.text;
      if (e.checked) t += " *";
      if (!e.enabled) t += " (grey)";
      texts.push_back(t);
    }
    return texts;
  }
  // The monitor reports a change and the front end's loop hands it on.
  void Plug(std::vector<std::string> now) {
    devices.Set(std::move(now));
    dlg2.OnDeviceChange();
  }

  FakeDeviceList devices;
  TestDlg dlg2{platform, serial, devices};
};

TEST_F(DeviceMenuTest, DevicesAreListedBetweenComFourAndAbout) {
  InitWithDevices();
  EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"-", "COM1 *", "COM2", "COM3", "COM4", "-",
                                                   kFtdi, kAcm, "-", "&About linkwatch..."}));
  // Without devices the menu is as it always was.
  FakePlatform bare;
  FakeDeviceList none;
  CMonitorDlg plain{bare, serial, none};
  plain.OnInitDialog();
  ASSERT_EQ(bare.menu.size(), 7u);
  EXPECT_EQ(bare.menu.back().text, "&About linkwatch...");
}

TEST_F(DeviceMenuTest, ChoosingADeviceWorksLikeChoosingAComPort) {
  InitWithDevices();
  EXPECT_TRUE(dlg2.OnSysCommand(DeviceItem(1)));
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, std::string(kAcm) + " selected");
  EXPECT_EQ(platform.boxes[0].kind, BoxKind::Ok);
  EXPECT_EQ(MenuTexts(),
            (std::vector<std::string>{"-", "COM1", "COM2", "COM3", "COM4", "-", kFtdi,
                                      std::string(kAcm) + " *", "-", "&About linkwatch..."}));
  EXPECT_EQ(dlg2.PortName(), kAcm);

  dlg2.OnStart();
  ASSERT_TRUE(dlg2.IsRunning());
  EXPECT_EQ(serial.openedDevice, kAcm);
  // During the test no port can be chosen: COM items and devices are grey.
  EXPECT_EQ(MenuTexts(), (std::vector<std::string>{
                             "-", "COM1 (grey)", "COM2 (grey)", "COM3 (grey)", "COM4 (grey)", "-",
                             std::string(kFtdi) + " (grey)", std::string(kAcm) + " * (grey)", "-",
                             "&About linkwatch..."}));
  dlg2.StopTest();
  ASSERT_NE(platform.FindMenu(DeviceItem(0)), nullptr);
  EXPECT_TRUE(platform.FindMenu(DeviceItem(0))->enabled);

  // Back to a COM port: the device loses its mark and is no longer opened.
  dlg2.OnSysCommand(IDM_COM2);
  EXPECT_EQ(platform.boxes.back().text, "COM2 selected");
  ASSERT_NE(platform.FindMenu(DeviceItem(1)), nullptr);
  EXPECT_FALSE(platform.FindMenu(DeviceItem(1))->checked);
  EXPECT_TRUE(platform.FindMenu(IDM_COM2)->checked);
  EXPECT_EQ(dlg2.PortName(), "COM2");
  platform.Answer(BoxAnswer::Yes);  // overwrite the log of the first test
  dlg2.OnStart();
  EXPECT_EQ(serial.openedPort, 2);
  EXPECT_EQ(serial.openedDevice, "");
}

TEST_F(DeviceMenuTest, ADeviceThatCannotBeOpenedIsNamedInTheMessageAndTheLog) {
  InitWithDevices();
  dlg2.OnSysCommand(DeviceItem(0));
  serial.failOpen = true;
  dlg2.OnStart();
  EXPECT_FALSE(dlg2.IsRunning());
  EXPECT_EQ(platform.boxes.back().text, std::string("Cannot Open ") + kFtdi);
  EXPECT_TRUE(Log().ends_with(std::string("Cannot Open ") + kFtdi + " - recording terminated"));
}

TEST_F(DeviceMenuTest, PluggingInAndPullingOutRefreshesTheList) {
  InitWithDevices();
  dlg2.OnSysCommand(DeviceItem(1));  // ttyACM0
  const std::string usb = "/dev/ttyUSB0";

  Plug({kFtdi, kAcm, usb});
  EXPECT_EQ(MenuTexts(),
            (std::vector<std::string>{"-", "COM1", "COM2", "COM3", "COM4", "-", kFtdi,
                                      std::string(kAcm) + " *", usb, "-", "&About linkwatch..."}));
  // The chosen device is pulled out: its item goes, the choice stays, and it
  // is marked again when it comes back.
  Plug({usb});
  EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"-", "COM1", "COM2", "COM3", "COM4", "-", usb,
                                                   "-", "&About linkwatch..."}));
  EXPECT_EQ(dlg2.Device(), kAcm);
  Plug({kAcm, usb});
  ASSERT_NE(platform.FindMenu(DeviceItem(0)), nullptr);
  EXPECT_TRUE(platform.FindMenu(DeviceItem(0))->checked);
  // Choosing an item whose device has gone in the meantime does nothing.
  EXPECT_FALSE(dlg2.OnSysCommand(DeviceItem(2)));
  // A device plugged in while the "selected" notice is open: the chosen
  // device keeps its mark in the refreshed list.
  platform.Answer(BoxAnswer::Ok, [&] { Plug({kFtdi, kAcm, usb}); });
  dlg2.OnSysCommand(DeviceItem(1));  // ttyUSB0
  ASSERT_NE(platform.FindMenu(DeviceItem(2)), nullptr);
  EXPECT_EQ(platform.FindMenu(DeviceItem(2))->text, usb);
  EXPECT_TRUE(platform.FindMenu(DeviceItem(2))->checked);
  EXPECT_EQ(dlg2.Device(), usb);
  // All gone: the menu is as it was without devices.
  Plug({});
  EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"-", "COM1", "COM2", "COM3", "COM4", "-",
                                                   "&About linkwatch..."}));
  // A wake-up without a change lists nothing anew.
  const int listings = devices.listings;
  dlg2.OnDeviceChange();
  EXPECT_EQ(devices.listings, listings);
}

TEST_F(DeviceMenuTest, ADeviceThatComesDuringATestIsGreyUntilItEnds) {
  InitWithDevices();
  dlg2.OnStart();
  Plug({kFtdi, kAcm, "/dev/ttyUSB3"});
  ASSERT_NE(platform.FindMenu(DeviceItem(2)), nullptr);
  EXPECT_FALSE(platform.FindMenu(DeviceItem(2))->enabled);
  dlg2.StopTest();
  EXPECT_TRUE(platform.FindMenu(DeviceItem(2))->enabled);
}

TEST_F(DeviceMenuTest, MenuTextsShowAmpersandsAsTheyAre) {
  devices.devices = {"/dev/serial/by-id/usb-R&D_Adapter-if00"};
  InitWithDevices();
  ASSERT_NE(platform.FindMenu(DeviceItem(0)), nullptr);
  EXPECT_EQ(platform.FindMenu(DeviceItem(0))->text, "/dev/serial/by-id/usb-R&&D_Adapter-if00");
  dlg2.OnSysCommand(DeviceItem(0));
  EXPECT_EQ(platform.boxes.back().text, "/dev/serial/by-id/usb-R&D_Adapter-if00 selected");
}

TEST_F(DeviceMenuTest, TheListIsBoundedBelowThePlatformsCommands) {
  devices.devices.clear();
  for (int i = 0; i < 100; ++i) devices.devices.push_back("/dev/ttyUSB" + std::to_string(i));
  InitWithDevices();
  EXPECT_EQ(dlg2.ListedDevices().size(), kMaxDeviceItems);
  EXPECT_LT(DeviceItem(kMaxDeviceItems - 1), 0xF000u);
}

}  // namespace
}  // namespace linkwatch::testing
