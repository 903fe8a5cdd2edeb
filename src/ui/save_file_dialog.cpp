#include "ui/save_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "ui/qt_text.h"

namespace linkwatch {

QString NameFilterOf(const SaveFileRequest& request) {
  const QString label = ToQString(request.filterLabel);
  const QString pattern = ToQString(request.pattern);
  if (pattern.isEmpty() || label.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
    return label;
  }
  return label + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

std::string RunSaveFileDialog(QWidget* owner, const SaveFileRequest& request) {
  QFileDialog dialog(owner, ToQString(request.title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(NameFilterOf(request));
  dialog.setDefaultSuffix(ToQString(request.defaultSuffix));
  dialog.selectFile(ToQString(request.initialName));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return {};
  return ToPathBytes(QFileInfo(chosen.first()).absoluteFilePath());
}

}  // namespace linkwatch
