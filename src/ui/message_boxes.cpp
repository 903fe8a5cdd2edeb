#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>

#include <memory>
#include <utility>

#include "ui/unbroken_lines.h"

namespace linkwatch {

namespace {

void SetPlainTexts(QMessageBox& box, const QString& text, const QString& detail) {
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  // The user may want to copy a path or an error from a box.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (detail.isEmpty()) return;
  box.setInformativeText(detail);
  // Not every Qt applies the box's text format to the detail line as well.
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A path is never broken across lines: the box grows to fit it.
    label->setMinimumWidth(UnbrokenLinesWidth(label->font(), detail));
  }
}

}  // namespace

QString AppTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

BoxAnswer RunMessageBox(QWidget* owner, const QString& text, BoxKind kind, const QString& detail,
                        QPointer<QMessageBox>* shown) {
  const bool question = kind == BoxKind::YesNoAsk;
  QMessageBox box(question ? QMessageBox::Question : QMessageBox::Warning, AppTitle(), {},
                  question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
  SetPlainTexts(box, text, detail);
  if (question) box.setDefaultButton(QMessageBox::Yes);
  QPointer<QMessageBox> outer;
  if (shown != nullptr) outer = std::exchange(*shown, &box);
  box.exec();
  if (shown != nullptr) *shown = outer;
  if (!question) return BoxAnswer::Ok;
  // Closing the box without a button counts as No.
  return box.clickedButton() == box.button(QMessageBox::Yes) ? BoxAnswer::Yes : BoxAnswer::No;
}

void OpenNotice(QWidget* owner, const QString& text, const QString& detail,
                std::function<void()> onClosed) {
  auto* box = new QMessageBox(QMessageBox::Warning, AppTitle(), {}, QMessageBox::Ok, owner);
  SetPlainTexts(*box, text, detail);
  box->setAttribute(Qt::WA_DeleteOnClose);
  auto callback = std::make_shared<std::function<void()>>(std::move(onClosed));
  QObject::connect(box, &QDialog::finished, box, [callback] {
    if (*callback) std::exchange(*callback, nullptr)();
  });
  box->open();
}

}  // namespace linkwatch
