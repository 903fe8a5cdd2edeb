#include "modal_answerer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

#include "ui/monitor_window.h"

namespace linkwatch::testing {

SeenBox Describe(const QMessageBox& box) {
  SeenBox seen;
  seen.title = box.windowTitle();
  seen.text = box.text();
  seen.detail = box.informativeText();
  seen.icon = box.icon();
  seen.buttons = box.standardButtons();
  seen.textFormat = box.textFormat();
  if (const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
    seen.detailFormat = label->textFormat();
  }
  seen.modality = box.windowModality();
  return seen;
}

ModalAnswerer::ModalAnswerer() {
  m_timer.setInterval(10);
  QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
  m_timer.start();
}

ModalAnswerer::~ModalAnswerer() {
  m_timer.stop();
  EXPECT_TRUE(m_actions.empty()) << m_actions.size() << " scripted answer(s) found no box";
}

void ModalAnswerer::Answer(QMessageBox::StandardButton button) {
  Handle([this, button](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    if (box == nullptr) {
      ADD_FAILURE() << "expected a message box, found a " << widget.metaObject()->className();
      widget.close();
      return;
    }
    m_seen.push_back(Describe(*box));
    QAbstractButton* target = box->button(button);
    if (target == nullptr) {
      ADD_FAILURE() << "the box \"" << box->text().toStdString() << "\" has no such button";
      box->close();
      return;
    }
    target->click();
  });
}

void ModalAnswerer::Handle(std::function<void(QWidget&)> act) {
  m_actions.push_back(std::move(act));
  QTimer::singleShot(0, &m_timer, [this] { Poll(); });
}

void ModalAnswerer::Poll() {
  if (m_bActing) return;
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible() || qobject_cast<MonitorWindow*>(modal) != nullptr) {
    return;
  }
  if (m_actions.empty()) {
    const auto* box = qobject_cast<QMessageBox*>(modal);
    ADD_FAILURE() << "unexpected modal " << modal->metaObject()->className() << ": "
                  << (box != nullptr ? box->text() : modal->windowTitle()).toStdString();
    if (!modal->close()) modal->hide();
    return;
  }
  auto act = std::move(m_actions.front());
  m_actions.pop_front();
  m_bActing = true;
  act(*modal);
  m_bActing = false;
}

}  // namespace linkwatch::testing
