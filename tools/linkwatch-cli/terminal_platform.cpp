#include "terminal_platform.h"

#include <ctime>

#include "control/resource.h"
#include "system/boot_clock.h"

namespace linkwatch::cli {

BoxAnswer TerminalPlatform::MessageBox(std::string_view text, BoxKind kind,
                                       std::string_view detail) {
  if (kind == BoxKind::YesNoAsk) return m_ask(text) ? BoxAnswer::Yes : BoxAnswer::No;
  if (!m_bMuted) m_console.Message(text, detail);
  return BoxAnswer::Ok;
}

void TerminalPlatform::ShowNotice(std::string_view text, std::string_view detail,
                                  std::function<void()> onClosed) {
  m_console.Message(text, detail);
  // Nobody is there to dismiss it: it is closed once it has been printed.
  if (onClosed) onClosed();
}

std::string TerminalPlatform::SaveFileDialog(const SaveFileRequest& /*request*/) {
  return {};
}

int TerminalPlatform::ComboGetCurSel(int id) const {
  return id == IDC_DURATION ? m_nDurationSel : -1;
}

void TerminalPlatform::ComboSetCurSel(int id, int index) {
  if (id == IDC_DURATION) m_nDurationSel = index;
}

void TerminalPlatform::SetTimer(int id, int milliseconds) {
  if (id != ID_TICK_TIMER) return;
  m_nTimerError = m_tick.Start(milliseconds);
}

void TerminalPlatform::KillTimer(int id) {
  if (id == ID_TICK_TIMER) m_tick.Stop();
}

Seconds TerminalPlatform::Now() const {
  return static_cast<Seconds>(std::time(nullptr));
}

Seconds TerminalPlatform::Monotonic() const {
  return BootClockSeconds();
}

}  // namespace linkwatch::cli
