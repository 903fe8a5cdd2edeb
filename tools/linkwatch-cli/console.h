#pragma once

#include <string_view>

#include "output_sink.h"

namespace linkwatch::cli {

// The terminal side of a run: the log's lines on standard output, and on
// standard error the messages and, on a terminal, a status line that is
// redrawn in place.
//
// The log puts its line break at the start of each line, so the last line
// printed stays open until the next one comes. When both streams share the
// terminal, that open line is ended early to keep the status line off it,
// and the next line's own break is then left out: what standard output
// receives stays the log's text with LF for CR LF, plus one final LF.
class Console {
 public:
  Console(OutputSink& out, OutputSink& err, bool outIsTerminal, bool errIsTerminal)
      : m_out(out), m_err(err), m_bOutTerminal(outIsTerminal), m_bStatus(errIsTerminal) {}

  // A text handed to the log.
  void LogText(std::string_view text);
  // Replaces the status line; nothing unless standard error is a terminal.
  void Status(std::string_view line);
  // A message box's text, and its detail on the next line.
  void Message(std::string_view text, std::string_view detail = {});
  // A question; the answer is read elsewhere.
  void Prompt(std::string_view question);
  // Clears the status line and ends the last log line.
  void Finish();

 private:
  void ClearStatus();
  void EndOpenLineEarly();

  OutputSink& m_out;
  OutputSink& m_err;
  const bool m_bOutTerminal;
  const bool m_bStatus;
  bool m_bStatusShown = false;
  bool m_bLineOpen = false;    // standard output's last line has no LF yet
  bool m_bBreakEarly = false;  // an LF was printed ahead of the next line's own
};

}  // namespace linkwatch::cli
