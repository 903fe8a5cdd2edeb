// Figures for the results view over a large table: how long attaching the
// view takes, what one new top row costs with the view on screen, and the
// memory a row takes. Prints them; asserts nothing.
//   ui_bench [rows]      (default 1000000; run with QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ui/results_model.h"
#include "ui/results_view.h"

namespace {

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const long rows = argc > 1 ? std::atol(argv[1]) : 1'000'000;
  constexpr linkwatch::Seconds kStart = 1'057'233'909;
  constexpr int kInserts = 2000;

  using linkwatch::TableRow;
  linkwatch::ResultsTable table;
  const long before = ResidentKiB();
  QElapsedTimer clock;
  clock.start();
  for (long i = 0; i < rows; ++i) table.InsertTop(TableRow::Result(kStart + i, {1.0 * i, 0, 0, 0}));
  const double fillMs = clock.nsecsElapsed() / 1e6;
  const long afterFill = ResidentKiB();

  linkwatch::ResultsModel model(table);
  linkwatch::ResultsView view;
  view.resize(460, 190);
  clock.restart();
  view.setModel(&model);
  view.show();
  QApplication::processEvents();
  view.grab();
  const double attachMs = clock.nsecsElapsed() / 1e6;
  const long afterView = ResidentKiB();

  // New rows at the top, each drawn as it comes, as during a test.
  clock.restart();
  for (int i = 0; i < kInserts; ++i) {
    table.InsertTop(TableRow::Result(kStart + rows + i, {1.0 * i, 1, 0, 0}));
    QApplication::processEvents();
    view.viewport()->repaint();
  }
  const double insertUs = clock.nsecsElapsed() / 1e3 / kInserts;

  clock.restart();
  for (int i = 0; i < 200; ++i) view.viewport()->repaint();
  const double paintUs = clock.nsecsElapsed() / 1e3 / 200;

  std::printf("rows                        %ld\n", rows);
  std::printf("fill table                  %.1f ms\n", fillMs);
  std::printf("table memory                %.1f bytes/row\n",
              rows > 0 ? (afterFill - before) * 1024.0 / static_cast<double>(rows) : 0.0);
  std::printf("attach view and first paint %.1f ms\n", attachMs);
  std::printf("view memory                 %.1f bytes/row\n",
              rows > 0 ? (afterView - afterFill) * 1024.0 / static_cast<double>(rows) : 0.0);
  std::printf("insert top row and repaint  %.1f us/row (mean of %d)\n", insertUs, kInserts);
  std::printf("repaint                     %.1f us\n", paintUs);
  return 0;
}
