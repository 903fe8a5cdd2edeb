#include "control/monitor_dlg.h"
#include "control/resource.h"

namespace linkwatch {

namespace {

constexpr int kRowsPerHeader = 50;

}  // namespace

void CMonitorDlg::DecodeFrames() {
  while (m_pRead != m_pWrite) {
    const std::uint8_t b = *m_pRead;
    m_pRead = RingAdvance(m_RxRing, m_pRead, 1);
    if (const auto frame = m_Decoder.Feed(b)) CompleteFrame(*frame);
  }
}

void CMonitorDlg::CompleteFrame(const FrameCounts& frame) {
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
