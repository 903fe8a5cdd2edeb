#include <algorithm>

#include "control/monitor_dlg.h"

namespace linkwatch {

namespace {

constexpr int kLinkLost = 3;  // the loss has been reported
constexpr int kSecondQuietTick = 2;

}  // namespace

// Stores up to n waiting bytes at the write position, at most two reads, one
// for each contiguous stretch of the ring. The write position moves by the
// bytes actually delivered. Returns that count.
int CMonitorDlg::ReadIntoRing(int n) {
  // Never over unread bytes (the ring is empty here, but stay safe).
  n = std::min(n, kRxRingCapacity - RingUsed(m_RxRing, m_pRead, m_pWrite));
  if (n <= 0) return 0;
  const auto readAtWrite = [this](int count) {
    const int got = std::clamp(m_Serial.Read(m_pWrite, count), 0, count);
    m_pWrite = RingAdvance(m_RxRing, m_pWrite, got);
    return got;
  };
  const int w = RingPos(m_RxRing, m_pWrite);
  if (n <= kRxRingCapacity - w) return readAtWrite(n);  // ends before the last byte
  const int toEnd = static_cast<int>(kRxRingSize) - w;
  const int got = readAtWrite(toEnd);
  if (got < toEnd || n == toEnd) return got;
  return got + readAtWrite(n - toEnd);
}

LineState CMonitorDlg::LineNow() const {
  if (m_nMissedTicks == 0) return LineState::Up;
  return m_nMissedTicks == kLinkLost ? LineState::Lost : LineState::Quiet;
}

void CMonitorDlg::PollLink() {
  const Seconds tPoll = m_Platform.Now();
  m_tPoll = tPoll;
  int waiting = m_Serial.BytesWaiting();
  if (waiting <= 0) {
    if (m_nMissedTicks < kSecondQuietTick) ++m_nMissedTicks;
    // A frame's bytes arrive within milliseconds: one still unfinished after a
    // whole quiet second is broken (a pulled cable, a reopened adapter), and
    // the bytes that come next must not complete it.
    m_Decoder = FrameDecoder{};
  } else {
    // Everything waiting is taken this tick, in rounds that fit the ring, each
    // decoded before the next is read.
    int got = ReadIntoRing(std::min(waiting, kRxRingCapacity));
    if (m_nMissedTicks == kLinkLost) AddStatusRow(true, tPoll);
    m_nMissedTicks = 0;
    waiting -= got;
    while (got > 0 && waiting > 0) {
      if (m_pRead != m_pWrite) DecodeFrames();
      got = ReadIntoRing(std::min(waiting, kRxRingCapacity));
      waiting -= got;
    }
  }
  if (m_pRead != m_pWrite) DecodeFrames();
  if (m_nMissedTicks == kSecondQuietTick) {
    m_nMissedTicks = kLinkLost;
    AddStatusRow(false, tPoll);
  }
}

}  // namespace linkwatch
