#include <QApplication>
#include <QString>
#include <cstdio>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "quality/quality_text.h"
#include "quality/summary_file.h"
#include "quality_report/report_page.h"
#include "report_options.h"

using namespace linkwatch;
using namespace linkwatch::report;

int main(int argc, char** argv) {
  const ParsedReportArgs parsed = ParseReportArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.help) {
    std::cout << ReportUsage();
    return kExitOk;
  }
  if (!parsed.error.empty()) {
    std::cerr << "linkwatch-report: " << parsed.error << "\n" << ReportUsage();
    return kExitBadInput;
  }
  const ReportOptions& o = parsed.options;

  // Everything is read and checked before anything is written.
  auto loaded = LoadSummary(o.input);
  if (const auto* err = std::get_if<InputError>(&loaded)) {
    std::cerr << "linkwatch-report: " << err->Text() << "\n";
    return kExitBadInput;
  }
  const LoadedSummary& result = std::get<LoadedSummary>(loaded);
  if (result.source != o.input) {
    std::cerr << "linkwatch-report: reading " << result.source << ", the per-second record of "
              << o.input << "\n";
  }

  int status = kExitOk;
  if (!o.pdf.empty() || !o.png.empty()) {
    // The page is drawn without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const QString source = QString::fromStdString(result.source);
    for (const auto& [path, save] :
         {std::pair{o.pdf, &SaveReportPdf}, std::pair{o.png, &SaveReportPng}}) {
      if (path.empty()) continue;
      const QString err = save(QString::fromStdString(path), result.summary, source);
      if (!err.isEmpty()) {
        std::cerr << "linkwatch-report: " << err.toStdString() << "\n";
        status = kExitOutputFailed;
      }
    }
  }
  std::cout << (o.json ? SummaryJson(result.summary) : SummaryText(result.summary, result.source));
  return status;
}
