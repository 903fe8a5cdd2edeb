#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "control/platform.h"
#include "system/boot_clock.h"

namespace linkwatch::bench {

// A window that shows nothing and answers nothing: what is left of the
// dialog's work is its own. The clock is the real one.
class QuietPlatform : public IPlatform {
 public:
  BoxAnswer MessageBox(std::string_view, BoxKind, std::string_view) override {
    return BoxAnswer::No;
  }
  void ShowNotice(std::string_view, std::string_view, std::function<void()> onClosed) override {
    ++notices;
    if (onClosed) onClosed();
  }
  void ShowAbout() override {}
  std::string SaveFileDialog(const SaveFileRequest&) override { return {}; }
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  void SetCheck(int, bool) override {}
  bool HasFocus(int) const override { return false; }
  void SetItemText(int, std::string_view) override {}
  void ListReset(int) override {}
  void ListInsert(int, int, std::string_view) override {}
  int ComboGetCurSel(int) const override { return 0; }
  void ComboSetCurSel(int, int) override {}
  bool HasSystemMenu() const override { return false; }
  void AppendMenu(MenuItem, unsigned, std::string_view) override {}
  void CheckMenuItem(unsigned, bool) override {}
  void EnableMenuItem(unsigned, bool) override {}
  void SetTimer(int, int) override {}
  void KillTimer(int) override {}
  Seconds Now() const override { return static_cast<Seconds>(std::time(nullptr)); }
  Seconds Monotonic() const override { return BootClockSeconds(); }
  void EndDialog(int) override {}

  int notices = 0;  // log errors reported; a run with any is not a fair figure
};

}  // namespace linkwatch::bench
