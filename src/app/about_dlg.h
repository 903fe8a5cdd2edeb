#pragma once

#include <QDialog>
#include <QString>

namespace linkwatch {

// The About box: the icon, the version line and the year line, and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* owner = nullptr);
};

// "RKV-3520 Version <major>.<minor>" of the program's version.
QString VersionLine();

// Runs an About box over owner until it is closed; the owner's timers go on
// meanwhile.
void ShowAboutBox(QWidget& owner);

}  // namespace linkwatch
