#pragma once

#include <QPointer>

#include "control/monitor_events.h"
#include "quality/quality_summary.h"
#include "ui/link_quality_window.h"

namespace linkwatch {

class CMonitorDlg;
class MonitorWindow;

// The "Link Quality..." item of the system menu, below About, and the window
// it opens. Keeps the figures of the running (or last) test from the
// dialog's tick events whether or not the window is open, so that opening it
// in the middle of a week shows the whole week.
class LinkQuality : public IMonitorObserver {
 public:
  static constexpr unsigned kCommand = 0x0060;

  // Appends the menu item; call after the dialog's initialisation. Both must
  // outlive this object.
  LinkQuality(MonitorWindow& window, CMonitorDlg& dlg);
  LinkQuality(const LinkQuality&) = delete;
  LinkQuality& operator=(const LinkQuality&) = delete;
  ~LinkQuality() override;

  void Show();
  // The window once it has been opened; null before.
  LinkQualityWindow* Window() const { return m_window; }

  void OnTestStarted(const TestStarted& started) override;
  void OnTick(const TickRecord& tick) override;

 private:
  MonitorWindow& m_mainWindow;
  CMonitorDlg& m_dlg;
  QualitySummariser m_summariser;
  QString m_source;
  QPointer<LinkQualityWindow> m_window;
};

}  // namespace linkwatch
