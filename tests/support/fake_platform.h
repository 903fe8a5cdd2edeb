#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "control/platform.h"

namespace linkwatch::testing {

// A recording stand-in for the window. Message boxes take their answers from a
// script; a box can run a callback while it is "open", as the nested event
// loop of a real modal box runs ticks.
class FakePlatform : public IPlatform {
 public:
  struct Box {
    std::string text;
    BoxKind kind;
    std::string detail;
  };
  struct Notice {
    std::string text;
    std::string detail;
    std::function<void()> onClosed;
  };
  struct MenuEntry {
    MenuItem kind;
    unsigned command;
    std::string text;
    bool checked;
    bool enabled;
  };

  // Script the next answer; during is run while the box is open.
  void Answer(BoxAnswer answer, std::function<void()> during = {}) {
    answers.push_back({answer, std::move(during)});
  }

  BoxAnswer MessageBox(std::string_view text, BoxKind kind, std::string_view detail) override;
  // Closes the question whose `during` runs; it then answers No.
  bool DismissQuestion() override;
  void ShowNotice(std::string_view text, std::string_view detail,
                  std::function<void()> onClosed) override;
  void ShowAbout() override { ++aboutShown; }
  std::string SaveFileDialog(const SaveFileRequest& request) override {
    lastSaveRequest = request;
    ++saveDialogs;
    if (saveAnswers.empty()) return saveAnswer;
    std::string answer = std::move(saveAnswers.front());
    saveAnswers.pop_front();
    return answer;
  }

  void ShowControl(int id, bool show) override { visible[id] = show; }
  void EnableControl(int id, bool enable) override { enabled[id] = enable; }
  void SetCheck(int id, bool checked) override { this->checked[id] = checked; }
  bool HasFocus(int id) const override { return id == focus; }
  void SetItemText(int id, std::string_view text) override { texts[id] = std::string(text); }
  void ListReset(int id) override { lists[id].clear(); }
  void ListInsert(int id, int index, std::string_view text) override {
    auto& list = lists[id];
    list.insert(list.begin() + index, std::string(text));
  }
  int ComboGetCurSel(int id) const override {
    const auto it = comboSel.find(id);
    return it == comboSel.end() ? -1 : it->second;
  }
  void ComboSetCurSel(int id, int index) override { comboSel[id] = index; }

  bool HasSystemMenu() const override { return hasMenu; }
  void AppendMenu(MenuItem kind, unsigned command, std::string_view text) override {
    menu.push_back({kind, command, std::string(text), kind == MenuItem::CheckedString, true});
  }
  void CheckMenuItem(unsigned command, bool checked) override;
  void EnableMenuItem(unsigned command, bool enabled) override;
  void InsertMenu(unsigned before, MenuItem kind, unsigned command, std::string_view text) override;
  void DeleteMenu(unsigned command) override;
  const MenuEntry* FindMenu(unsigned command) const;

  void SetTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
  void KillTimer(int id) override { timers.erase(id); }
  Seconds Now() const override { return now; }
  Seconds Monotonic() const override { return monotonic; }
  void EndDialog(int result) override { endResult = result; }

  // Closes the oldest open notice, as the user's OK would.
  void CloseNotice();

  std::deque<std::pair<BoxAnswer, std::function<void()>>> answers;
  std::vector<Box> boxes;
  std::vector<Notice> notices;
  int aboutShown = 0;
  int saveDialogs = 0;
  std::string saveAnswer;               // every save dialog's answer, once saveAnswers is used up
  std::deque<std::string> saveAnswers;  // the answers of the next save dialogs, in turn
  int openQuestions = 0;                // questions whose `during` runs now
  bool questionDismissed = false;       // the innermost one was dismissed
  int dismissals = 0;
  SaveFileRequest lastSaveRequest;
  std::map<int, bool> visible, enabled, checked;
  std::map<int, std::string> texts;
  std::map<int, std::vector<std::string>> lists;
  std::map<int, int> comboSel;
  int focus = 0;
  bool hasMenu = true;
  std::vector<MenuEntry> menu;
  std::map<int, int> timers;
  Seconds now = 0;
  Seconds monotonic = 0;  // the clock that never steps: move it with now, or not
  int endResult = 0;
};

}  // namespace linkwatch::testing
