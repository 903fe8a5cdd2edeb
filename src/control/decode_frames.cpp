#include "control/monitor_dlg.h"
#include "control/resource.h"

namespace linkwatch {

namespace {

constexpr int kRowsPerHeader = 50;

}  // namespace

// The unread bytes are one stretch of the ring, or two when they wrap past its
// last byte. m_pRead is moved past each frame before the frame's rows and log
// lines are made, so every callout sees the ring as consumed up to there.
void CMonitorDlg::DecodeFrames() {
  while (m_pRead != m_pWrite) {
    std::uint8_t* const start = m_pRead;
    const int startPos = RingPos(m_RxRing, start);
    const int writePos = RingPos(m_RxRing, m_pWrite);
    const int stretch = (writePos > startPos ? writePos : static_cast<int>(kRxRingSize)) - startPos;
    m_Decoder.FeedBlock(start, static_cast<std::size_t>(stretch),
                        [&](const FrameCounts& frame, std::size_t end) {
                          m_pRead = RingAdvance(m_RxRing, start, static_cast<int>(end));
                          CompleteFrame(frame);
                        });
    m_pRead = RingAdvance(m_RxRing, start, stretch);
  }
}

void CMonitorDlg::CompleteFrame(const FrameCounts& frame) {
  ++m_nTickFrames;
  m_dPackets += frame.packets;
  if (frame.HasErrors()) {
    m_dUcErr += frame.ucErr;
    m_dCErr += frame.cErr;
    m_dSyncLoss += frame.syncLoss;
    ++m_nErrorRows;
    AddResultRow();
  }
  if (m_nErrorRows == kRowsPerHeader) {
    WriteLog(LoadString(IDS_LOG_HEADER_REPEAT));
    m_nErrorRows = 0;
  }
}

}  // namespace linkwatch
