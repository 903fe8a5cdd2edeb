#include "ui/link_quality.h"

#include "control/monitor_dlg.h"
#include "control/tick_second.h"
#include "ui/monitor_window.h"
#include "ui/system_menu.h"

namespace linkwatch {

LinkQuality::LinkQuality(MonitorWindow& window, CMonitorDlg& dlg)
    : m_mainWindow(window), m_dlg(dlg) {
  window.AppendMenu(MenuItem::String, kCommand, "Link Quality...");
  QObject::connect(&window.Menu(), &SystemMenu::commandChosen, &window, [this](unsigned command) {
    if (command == kCommand) Show();
  });
  dlg.AddObserver(this);
}

LinkQuality::~LinkQuality() {
  m_dlg.RemoveObserver(this);
  delete m_window;
}

void LinkQuality::Show() {
  if (m_window == nullptr) {
    m_window = new LinkQualityWindow(
        &m_mainWindow, [this] { return m_summariser.Summary(); },
        [this] { return m_dlg.CsvEnabled(); }, [this](bool on) { m_dlg.SetCsvEnabled(on); });
  }
  m_window->SetSource(m_source);
  m_window->show();
  m_window->raise();
  m_window->activateWindow();
}

void LinkQuality::OnTestStarted(const TestStarted& started) {
  m_summariser = QualitySummariser{};
  m_source = QString::fromStdString(m_dlg.CsvInUse() ? m_dlg.CsvPath() : started.logPath);
  if (m_window != nullptr) {
    m_window->SetSource(m_source);
    m_window->Changed();
  }
}

void LinkQuality::OnTick(const TickRecord& tick) {
  m_summariser.Add(SecondOf(tick));
  // Only marks the window for a redraw: the drawing waits for the event loop.
  if (m_window != nullptr) m_window->Changed();
}

}  // namespace linkwatch
