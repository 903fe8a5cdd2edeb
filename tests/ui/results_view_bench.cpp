// Figures for the results view over a large table: how long attaching the
// view takes, what one new top row costs with the view on screen, the memory
// a row takes, the time from a key press to the repaint it causes, and
// copying every row. Prints them; asserts nothing.
//   ui_bench [rows]      (default 1000000; run with QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
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

// Counts the paints of a widget.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

// Microseconds from a key press on the view to the end of the paint it
// brings, as the event loop delivers both; the mean over presses.
// Before each press, untimed, prepare() undoes what the last one did, so
// that every press has something to change.
double KeyToRepaintUs(linkwatch::ResultsView& view, PaintCounter& counter, int key,
                      Qt::KeyboardModifiers mods, int presses,
                      const std::function<void()>& prepare) {
  QElapsedTimer clock;
  double total = 0;
  for (int i = 0; i < presses; ++i) {
    if (prepare) {
      prepare();
      QApplication::processEvents();
    }
    const int before = counter.paints;
    clock.restart();
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(&view, &press);
    while (counter.paints == before && clock.elapsed() < 2000) QApplication::processEvents();
    total += static_cast<double>(clock.nsecsElapsed()) / 1e3;
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(&view, &release);
  }
  return total / presses;
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

  // Keys as a reader uses them, each until the view has repainted.
  PaintCounter counter;
  view.viewport()->installEventFilter(&counter);
  view.setFocus();
  view.setCurrentIndex(model.index(0, 0));
  QApplication::processEvents();
  const auto toTop = [&] { view.setCurrentIndex(model.index(0, 0)); };
  const auto toBottom = [&] { view.setCurrentIndex(model.index(model.rowCount() - 1, 0)); };
  struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    int presses;
    std::function<void()> prepare;
  };
  const KeyCase keys[] = {
      {"Down", Qt::Key_Down, Qt::NoModifier, 200, {}},
      {"Page Down", Qt::Key_PageDown, Qt::NoModifier, 200, {}},
      {"Shift+Page Down", Qt::Key_PageDown, Qt::ShiftModifier, 100, {}},
      {"Ctrl+End", Qt::Key_End, Qt::ControlModifier, 20, toTop},
      {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, 20, toBottom},
      {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, 10, [&] { view.clearSelection(); }},
  };
  double keyUs[std::size(keys)] = {};
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    keyUs[i] =
        KeyToRepaintUs(view, counter, keys[i].key, keys[i].mods, keys[i].presses, keys[i].prepare);
  }
  // All rows selected by the last key: copy them as log lines.
  clock.restart();
  view.CopySelection();
  const double copyMs = clock.nsecsElapsed() / 1e6;
  const auto copied = QApplication::clipboard()->text().size();

  std::printf("rows                        %ld\n", rows);
  std::printf("fill table                  %.1f ms\n", fillMs);
  std::printf("table memory                %.1f bytes/row\n",
              rows > 0 ? (afterFill - before) * 1024.0 / static_cast<double>(rows) : 0.0);
  std::printf("attach view and first paint %.1f ms\n", attachMs);
  std::printf("view memory                 %.1f bytes/row\n",
              rows > 0 ? (afterView - afterFill) * 1024.0 / static_cast<double>(rows) : 0.0);
  std::printf("insert top row and repaint  %.1f us/row (mean of %d)\n", insertUs, kInserts);
  std::printf("repaint                     %.1f us\n", paintUs);
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    std::printf("key to repaint, %-15s %.1f us (mean of %d)\n", keys[i].name, keyUs[i],
                keys[i].presses);
  }
  std::printf("copy all rows               %.1f ms (%lld characters)\n", copyMs,
              static_cast<long long>(copied));
  return 0;
}
