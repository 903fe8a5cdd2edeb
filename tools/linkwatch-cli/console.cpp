#include "console.h"

#include <string>

namespace linkwatch::cli {

namespace {

constexpr std::string_view kClearLine = "\r\033[K";

std::string WithLineFeeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace

void Console::LogText(std::string_view text) {
  std::string out = WithLineFeeds(text);
  if (out.empty()) return;
  ClearStatus();
  if (m_bBreakEarly && out.front() == '\n') out.erase(0, 1);
  m_bBreakEarly = false;
  if (out.empty()) return;
  m_out.Write(out);
  m_bLineOpen = out.back() != '\n';
}

void Console::EndOpenLineEarly() {
  if (!m_bOutTerminal || !m_bLineOpen) return;
  m_out.Write("\n");
  m_bLineOpen = false;
  m_bBreakEarly = true;
}

void Console::ClearStatus() {
  if (!m_bStatusShown) return;
  m_err.WriteIfIdle(kClearLine);
  m_bStatusShown = false;
}

void Console::Status(std::string_view line) {
  if (!m_bStatus) return;
  EndOpenLineEarly();
  std::string text = "\r";
  text += line;
  text += "\033[K";
  m_err.WriteIfIdle(text);
  m_bStatusShown = true;
}

void Console::Message(std::string_view text, std::string_view detail) {
  ClearStatus();
  EndOpenLineEarly();
  std::string message(text);
  message += '\n';
  if (!detail.empty()) {
    message += detail;
    message += '\n';
  }
  m_err.Write(message);
}

void Console::Prompt(std::string_view question) {
  ClearStatus();
  EndOpenLineEarly();
  std::string text(question);
  text += ' ';
  m_err.Write(text);
}

void Console::Finish() {
  ClearStatus();
  if (m_bLineOpen) m_out.Write("\n");
  m_bLineOpen = false;
  m_bBreakEarly = false;
}

}  // namespace linkwatch::cli
