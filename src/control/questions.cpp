// The dialog's Yes/No questions, and what waits for them: a notice never
// opens over an open question, and a question the test has outrun is closed.
#include "control/monitor_dlg.h"

namespace linkwatch {

BoxAnswer CMonitorDlg::Ask(std::string_view question) {
  ++m_nOpenQuestions;
  m_bQuestionDismissed = false;
  const BoxAnswer answer = m_Platform.MessageBox(question, BoxKind::YesNoAsk);
  --m_nOpenQuestions;
  // A log failure (or loss) that came while the question was open is told now.
  if (m_nOpenQuestions == 0 && !*m_pLogBoxOpen) TellLogFailure();
  return answer;
}

// Only questions about the running test can be open while it ticks; once it
// has stopped they no longer apply, and an answer must not stop it again.
void CMonitorDlg::DismissStaleQuestion() {
  if (m_nOpenQuestions > 0 && m_Platform.DismissQuestion()) m_bQuestionDismissed = true;
}

}  // namespace linkwatch
