#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/app_icon.h"
#include "ui/dialog_font.h"
#include "ui/dialog_units.h"

namespace linkwatch {

namespace {

constexpr DluSize kAboutSize{235, 55};
constexpr DluRect kIconPlace{11, 17, 20, 20};
constexpr DluRect kVersionPlace{40, 10, 119, 8};
constexpr DluRect kYearPlace{40, 25, 119, 8};
constexpr DluRect kOkPlace{178, 7, 50, 14};
constexpr int kIconPixels = 32;

QLabel* AddText(QWidget* parent, const QString& text, const DluRect& place,
                const BaseUnits& units) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setGeometry(ToPixels(place, units));
  return label;
}

}  // namespace

QString VersionLine() {
  return QStringLiteral("RKV-3520 Version %1.%2")
      .arg(LINKWATCH_VERSION_MAJOR)
      .arg(LINKWATCH_VERSION_MINOR);
}

CAboutDlg::CAboutDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  const QFont font = DialogFont();
  const BaseUnits units = BaseUnitsOf(font);
  setFont(font);
  setWindowTitle(QStringLiteral("About RKV-3520 Linkwatch"));
  setWindowIcon(AppIcon());
  setFixedSize(ToPixels(kAboutSize, units));

  // An icon control takes the icon's own size at the template's corner.
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(kIconPixels, kIconPixels));
  icon->setGeometry(QRect(ToPixels(kIconPlace, units).topLeft(), QSize(kIconPixels, kIconPixels)));

  AddText(this, VersionLine(), kVersionPlace, units);
  AddText(this, QStringLiteral("Copyright (C) 2003"), kYearPlace, units);

  auto* ok = new QPushButton(tr("OK"), this);
  ok->setDefault(true);
  ok->setGeometry(ToPixels(kOkPlace, units));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowAboutBox(QWidget& owner) {
  CAboutDlg about(&owner);
  about.exec();
}

}  // namespace linkwatch
