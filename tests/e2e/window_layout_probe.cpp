// Prints where the main window puts its controls, in pixels of its client
// area, so that a script can click them as a user would:
//   <name> <x> <y> <width> <height>
// Run it on the same display as the program: the layout follows the fonts.
#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include <cstdio>

#include "control/resource.h"
#include "record/results_table.h"
#include "ui/monitor_window.h"
#include "ui/results_model.h"
#include "ui/status_line.h"

namespace {

void Print(const char* name, const QRect& r) {
  std::printf("%s %d %d %d %d\n", name, r.x(), r.y(), r.width(), r.height());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  linkwatch::MonitorWindow window;
  struct Named {
    const char* name;
    int id;
  };
  constexpr Named kControls[] = {
      {"duration", linkwatch::IDC_DURATION},   {"stop", linkwatch::IDC_STOP},
      {"start", linkwatch::IDC_START},         {"results", linkwatch::IDC_RESULTS},
      {"elapsed", linkwatch::IDC_ELAPSED},     {"start_time", linkwatch::IDC_START_TIME},
      {"stop_time", linkwatch::IDC_STOP_TIME}, {"log_file", linkwatch::IDC_LOG_FILE},
  };
  for (const Named& control : kControls)
    Print(control.name, window.Control(control.id)->geometry());
  Print("menu", window.MenuButton().geometry());
  // The first row of the table, where it is drawn once there is one.
  auto* table = static_cast<QTableView*>(window.Control(linkwatch::IDC_RESULTS));
  // The headings' height comes with the columns.
  linkwatch::ResultsTable rows;
  linkwatch::ResultsModel model(rows);
  table->setModel(&model);
  const QRect area = table->geometry();
  const int frame = table->frameWidth();
  const int header = table->horizontalHeader()->sizeHint().height();
  Print("row0", QRect(area.x() + frame, area.y() + frame + header, area.width() - 2 * frame,
                      table->verticalHeader()->defaultSectionSize()));
  table->setModel(nullptr);
  Print("status", window.Status().geometry());
  Print("window", QRect(QPoint(0, 0), window.size()));
  return 0;
}
