#include "fake_platform.h"

#include <stdexcept>
#include <utility>

namespace linkwatch::testing {

BoxAnswer FakePlatform::MessageBox(std::string_view text, BoxKind kind, std::string_view detail) {
  boxes.push_back({std::string(text), kind, std::string(detail)});
  if (answers.empty()) {
    // An unscripted OK box is simply acknowledged; an unscripted question is a test fault.
    if (kind == BoxKind::Ok) return BoxAnswer::Ok;
    throw std::logic_error("unexpected question: " + std::string(text));
  }
  auto [answer, during] = std::move(answers.front());
  answers.pop_front();
  if (kind != BoxKind::YesNoAsk) {
    if (during) during();
    return answer;
  }
  ++openQuestions;
  questionDismissed = false;
  if (during) during();
  --openQuestions;
  return std::exchange(questionDismissed, false) ? BoxAnswer::No : answer;
}

bool FakePlatform::DismissQuestion() {
  if (openQuestions == 0) return false;
  ++dismissals;
  questionDismissed = true;
  return true;
}

void FakePlatform::ShowNotice(std::string_view text, std::string_view detail,
                              std::function<void()> onClosed) {
  notices.push_back({std::string(text), std::string(detail), std::move(onClosed)});
}

void FakePlatform::CloseNotice() {
  for (Notice& n : notices) {
    if (n.onClosed) {
      auto done = std::move(n.onClosed);
      n.onClosed = nullptr;
      done();
      return;
    }
  }
}

void FakePlatform::CheckMenuItem(unsigned command, bool checked) {
  for (MenuEntry& e : menu) {
    if (e.command == command && e.kind != MenuItem::Separator) e.checked = checked;
  }
}

void FakePlatform::EnableMenuItem(unsigned command, bool enabled) {
  for (MenuEntry& e : menu) {
    if (e.command == command && e.kind != MenuItem::Separator) e.enabled = enabled;
  }
}

void FakePlatform::InsertMenu(unsigned before, MenuItem kind, unsigned command,
                              std::string_view text) {
  auto at = menu.begin();
  while (at != menu.end() && !(at->command == before && at->kind != MenuItem::Separator)) ++at;
  menu.insert(at, {kind, command, std::string(text), kind == MenuItem::CheckedString, true});
}

void FakePlatform::DeleteMenu(unsigned command) {
  for (auto it = menu.begin(); it != menu.end(); ++it) {
    if (it->command == command && (command != 0 || it->kind != MenuItem::Separator)) {
      menu.erase(it);
      return;
    }
  }
}

const FakePlatform::MenuEntry* FakePlatform::FindMenu(unsigned command) const {
  for (const MenuEntry& e : menu) {
    if (e.command == command && e.kind != MenuItem::Separator) return &e;
  }
  return nullptr;
}

}  // namespace linkwatch::testing
