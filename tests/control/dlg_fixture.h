#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "calendar.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "fake_platform.h"
#include "fake_serial.h"
#include "fake_sleep_lock.h"
#include "frames.h"
#include "temp_dir.h"

namespace linkwatch::testing {

// The dialog with the ring opened up for the tests.
class TestDlg : public CMonitorDlg {
 public:
  using CMonitorDlg::CMonitorDlg;

  // Stores bytes at the write position as the poll would (at most 63 at once).
  void PutBytes(const std::vector<std::uint8_t>& bytes) {
    for (std::uint8_t b : bytes) {
      *m_pWrite = b;
      m_pWrite = RingAdvance(m_RxRing, m_pWrite, 1);
    }
  }
  // Puts the bytes through the ring and the decoder in passes of at most 63.
  void Decode(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += kRxRingCapacity) {
      const auto end = std::min(bytes.size(), i + kRxRingCapacity);
      PutBytes({bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(end)});
      DecodeFrames();
    }
  }
  void SetRingPos(int pos) { m_pRead = m_pWrite = m_RxRing.data() + pos; }
};

class DlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    platform.now = At(2003, 7, 3, 14, 5, 9);
  }

  // The dialog as it stands after start-up, writing its log into the temp dir.
  void Init() {
    dlg.OnInitDialog();
    dlg.SetLogPath(logPath);
  }
  void Start() {
    Init();
    dlg.OnStart();
    ASSERT_TRUE(dlg.IsRunning());
  }
  // One tick, `seconds` after the previous one, on both clocks.
  void Tick(int seconds = 1) {
    platform.now += seconds;
    platform.monotonic += seconds;
    dlg.OnTimer(ID_TICK);
  }
  std::string Log() const { return ReadFile(logPath); }
  std::vector<TableRow::Kind> RowKinds() const {
    std::vector<TableRow::Kind> kinds;
    for (std::size_t i = 0; i < dlg.Results().Count(); ++i)
      kinds.push_back(dlg.Results().At(i).GetKind());
    return kinds;
  }
  std::vector<std::string> List(int id) { return platform.lists[id]; }

  static constexpr int ID_TICK = 1;
  TempDir dir;
  std::string logPath = dir.File("results.txt");
  FakePlatform platform;
  FakeSerial serial;
  FakeSleepLock sleepLock;
  TestDlg dlg{platform, serial, sleepLock};
};

}  // namespace linkwatch::testing
