#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "console.h"
#include "control/platform.h"
#include "tick_timer.h"

namespace linkwatch::cli {

// The dialog's platform on a terminal: there are no controls to show, boxes
// become lines on standard error, the log's texts go to the console, the
// one-second timer is a TickTimer that the main loop waits on, and a Yes/No
// question is put to the asker.
class TerminalPlatform : public IPlatform {
 public:
  using Asker = std::function<bool(std::string_view question)>;

  TerminalPlatform(Console& console, Asker ask) : m_console(console), m_ask(std::move(ask)) {}

  BoxAnswer MessageBox(std::string_view text, BoxKind kind, std::string_view detail) override;
  void ShowNotice(std::string_view text, std::string_view detail,
                  std::function<void()> onClosed) override;
  void ShowAbout() override {}
  // Nobody can pick a file here: declining to overwrite ends the start.
  std::string SaveFileDialog(const SaveFileRequest& request) override;

  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  void SetCheck(int, bool) override {}
  bool HasFocus(int) const override { return false; }
  void SetItemText(int, std::string_view) override {}
  void ListReset(int) override {}
  void ListInsert(int, int, std::string_view) override {}
  int ComboGetCurSel(int id) const override;
  void ComboSetCurSel(int id, int index) override;

  bool HasSystemMenu() const override { return false; }
  void AppendMenu(MenuItem, unsigned, std::string_view) override {}
  void CheckMenuItem(unsigned, bool) override {}
  void EnableMenuItem(unsigned, bool) override {}

  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  Seconds Now() const override;
  Seconds Monotonic() const override;

  void EndDialog(int) override {}
  void LogText(std::string_view text) override { m_console.LogText(text); }

  // OK boxes are only counted while muted: for set-up steps whose box says
  // nothing a terminal user needs ("COM2 selected").
  void SetMuted(bool muted) { m_bMuted = muted; }

  TickTimer& Tick() { return m_tick; }
  // The errno of a timer that could not be set, 0 if none.
  int TimerError() const { return m_nTimerError; }

 private:
  Console& m_console;
  Asker m_ask;
  bool m_bMuted = false;
  int m_nDurationSel = -1;
  TickTimer m_tick;
  int m_nTimerError = 0;
};

}  // namespace linkwatch::cli
