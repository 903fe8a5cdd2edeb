#include "status_line.h"

#include "record/row_texts.h"

namespace linkwatch::cli {

namespace {

// A total without the padding that aligns it in the table.
std::string Trimmed(double x) {
  std::string text = NumberText(x);
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

}  // namespace

std::string StatusLine(std::string_view elapsed, const Totals& totals, int width) {
  std::string line(elapsed);
  line += "  No.Pckts " + Trimmed(totals.packets);
  line += "  ucERR " + Trimmed(totals.ucErr);
  line += "  cERR " + Trimmed(totals.cErr);
  line += "  SyncLoss " + Trimmed(totals.syncLoss);
  if (width > 0 && line.size() > static_cast<std::size_t>(width)) {
    line.resize(static_cast<std::size_t>(width));
  }
  return line;
}

}  // namespace linkwatch::cli
