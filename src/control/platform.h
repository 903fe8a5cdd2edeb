#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "record/local_time.h"

namespace linkwatch {

enum class BoxKind {
  Ok,        // an OK button and the exclamation icon
  YesNoAsk,  // Yes and No with the question icon
};

enum class BoxAnswer { Ok, Yes, No };

// What the save-file dialog is asked to show.
struct SaveFileRequest {
  std::string title;        // "Select Log File"
  std::string filterLabel;  // "Text file (*.txt)"
  std::string pattern;      // "*.txt"
  std::string defaultSuffix;
  std::string initialName;
};

// Menu item flags for AppendMenu.
enum class MenuItem { Separator, String, CheckedString };

// Everything the dialog's logic needs of its window and of the system around
// it. Implemented once on Qt for the window, once for the terminal, and once
// as a recording fake for the tests.
class IPlatform {
 public:
  virtual ~IPlatform() = default;

  // A modal message box. It returns when the user answers; the timer goes on
  // ticking meanwhile, so handlers can run before it returns.
  virtual BoxAnswer MessageBox(std::string_view text, BoxKind kind,
                               std::string_view detail = {}) = 0;
  // Closes the Yes/No box that is open, from a handler its loop runs; its
  // MessageBox returns No. False when there is none, or when this platform's
  // questions hold up the timer, so that nothing can make one stale.
  virtual bool DismissQuestion() { return false; }
  // A modal OK box that does not hold up its caller: it returns at once, and
  // onClosed runs when the user dismisses the box.
  virtual void ShowNotice(std::string_view text, std::string_view detail,
                          std::function<void()> onClosed) = 0;
  virtual void ShowAbout() = 0;
  // The save-file dialog; returns the chosen full path, or "" when cancelled.
  virtual std::string SaveFileDialog(const SaveFileRequest& request) = 0;

  // Controls, by their IDC_ numbers.
  virtual void ShowControl(int id, bool show) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual void SetCheck(int id, bool checked) = 0;
  virtual bool HasFocus(int id) const = 0;
  virtual void SetItemText(int id, std::string_view text) = 0;
  // One-line list boxes.
  virtual void ListReset(int id) = 0;
  virtual void ListInsert(int id, int index, std::string_view text) = 0;
  // The duration list: the selected index, -1 when there is none.
  virtual int ComboGetCurSel(int id) const = 0;
  virtual void ComboSetCurSel(int id, int index) = 0;

  // The system menu. HasSystemMenu is false where there is none.
  virtual bool HasSystemMenu() const = 0;
  virtual void AppendMenu(MenuItem kind, unsigned command, std::string_view text) = 0;
  virtual void CheckMenuItem(unsigned command, bool checked) = 0;
  virtual void EnableMenuItem(unsigned command, bool enabled) = 0;
  // Puts an item in front of the item of command before, or at the end when
  // there is none; a separator may carry a command so that it can be removed.
  // Only called where HasSystemMenu is true.
  virtual void InsertMenu(unsigned /*before*/, MenuItem /*kind*/, unsigned /*command*/,
                          std::string_view /*text*/) {}
  // Removes the item of a command; nothing when there is none.
  virtual void DeleteMenu(unsigned /*command*/) {}

  // The one-second tick: the platform calls CMonitorDlg::OnTimer while set.
  virtual void SetTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // The calendar clock, in whole seconds: for stamps and rows only, as it can
  // be set or stepped at any moment.
  virtual Seconds Now() const = 0;
  // Whole seconds on a clock that never steps and goes on counting through a
  // suspend, from any origin: what a test's elapsed time and duration are
  // measured on.
  virtual Seconds Monotonic() const = 0;

  // Ends the modal dialog with the given result.
  virtual void EndDialog(int result) = 0;

  // Told of every text handed to the log, whether or not it could be written.
  virtual void LogText(std::string_view /*text*/) {}
};

}  // namespace linkwatch
