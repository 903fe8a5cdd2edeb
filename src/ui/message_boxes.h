#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

#include "control/platform.h"

namespace linkwatch {

// The caption of every box: the program file's name without its extension.
QString AppTitle();

// A modal box over owner, answered before it returns. Texts are shown as
// they are, never read as markup: they carry file names. While it is open,
// *shown (when given) points at it, so that a handler can close it.
BoxAnswer RunMessageBox(QWidget* owner, const QString& text, BoxKind kind, const QString& detail,
                        QPointer<QMessageBox>* shown = nullptr);

// An OK box that blocks owner but not the caller; onClosed runs once when
// the user dismisses it. The box deletes itself then.
void OpenNotice(QWidget* owner, const QString& text, const QString& detail,
                std::function<void()> onClosed);

}  // namespace linkwatch
