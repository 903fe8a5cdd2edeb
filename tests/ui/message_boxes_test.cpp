#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QTest>

#include "modal_answerer.h"
#include "temp_dir.h"
#include "ui/message_boxes.h"
#include "ui/save_file_dialog.h"

namespace linkwatch::testing {
namespace {

struct BoxCase {
  BoxKind kind;
  QMessageBox::StandardButton click;
  BoxAnswer answer;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
};

TEST(MessageBoxes, KindGivesIconAndButtonsAndTheClickGivesTheAnswer) {
  const BoxCase cases[] = {
      {BoxKind::Ok, QMessageBox::Ok, BoxAnswer::Ok, QMessageBox::Warning, QMessageBox::Ok},
      {BoxKind::YesNoAsk, QMessageBox::Yes, BoxAnswer::Yes, QMessageBox::Question,
       QMessageBox::Yes | QMessageBox::No},
      {BoxKind::YesNoAsk, QMessageBox::No, BoxAnswer::No, QMessageBox::Question,
       QMessageBox::Yes | QMessageBox::No},
  };
  for (const BoxCase& c : cases) {
    ModalAnswerer answerer;
    answerer.Answer(c.click);
    EXPECT_EQ(RunMessageBox(nullptr, "Question?", c.kind, {}), c.answer);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    const SeenBox& seen = answerer.Seen()[0];
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, c.buttons);
    EXPECT_EQ(seen.title, "ui_tests");
    EXPECT_EQ(seen.text, "Question?");
    EXPECT_EQ(seen.detail, "");
  }
}

TEST(MessageBoxes, AQuestionClosedWithoutAnAnswerIsNo) {
  ModalAnswerer answerer;
  answerer.Handle([](QWidget& box) { box.close(); });
  EXPECT_EQ(RunMessageBox(nullptr, "Exit Application?", BoxKind::YesNoAsk, {}), BoxAnswer::No);
}

TEST(MessageBoxes, TextsWithMarkupShowAsTheyAre) {
  ModalAnswerer answerer;
  answerer.Answer(QMessageBox::Ok);
  const QString path = "Cannot open /tmp/<b>x</b> & <i>y.txt";
  RunMessageBox(nullptr, path, BoxKind::Ok, "Permission denied <br>.");
  ASSERT_EQ(answerer.Seen().size(), 1u);
  const SeenBox& seen = answerer.Seen()[0];
  EXPECT_EQ(seen.text, path);
  EXPECT_EQ(seen.textFormat, Qt::PlainText);
  EXPECT_EQ(seen.detail, "Permission denied <br>.");
  EXPECT_EQ(seen.detailFormat, Qt::PlainText);
}

TEST(MessageBoxes, ANoticeReturnsAtOnceAndReportsItsClosingOnce) {
  QWidget owner;
  owner.show();
  int closed = 0;
  OpenNotice(&owner, "An error occurred while writing /x/<log>.txt: No space left on device.",
             "The lines are kept.", [&] { ++closed; });
  // Still open: the caller went on.
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  ASSERT_NE(box, nullptr);
  QPointer<QMessageBox> alive(box);
  const SeenBox seen = Describe(*box);
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(seen.modality, Qt::WindowModal);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.textFormat, Qt::PlainText);
  EXPECT_EQ(seen.detail, "The lines are kept.");
  EXPECT_EQ(box->parentWidget(), &owner);

  box->button(QMessageBox::Ok)->click();
  EXPECT_EQ(closed, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, 2000)) << "the box stays behind";
  EXPECT_EQ(closed, 1);
}

SaveFileRequest LogRequest() {
  return {"Select Log File", "Text file (*.txt)", "*.txt", "txt", "results.txt"};
}

TEST(SaveFileDialog, OffersTheRequestAndReturnsTheAbsolutePathWithTheSuffix) {
  TempDir dir;
  ModalAnswerer answerer;
  answerer.Handle([&](QWidget& widget) {
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Select Log File");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Text file (*.txt)"});
    EXPECT_EQ(dialog->defaultSuffix(), "txt");
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    ASSERT_FALSE(dialog->selectedFiles().isEmpty());
    EXPECT_TRUE(dialog->selectedFiles().first().endsWith("/results.txt"))
        << dialog->selectedFiles().first().toStdString();
    // The user types a name without its extension.
    dialog->setDirectory(QString::fromStdString(dir.Path().string()));
    dialog->selectFile("overnight");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(RunSaveFileDialog(nullptr, LogRequest()), dir.File("overnight.txt"));
}

TEST(SaveFileDialog, CancelledGivesAnEmptyPath) {
  ModalAnswerer answerer;
  answerer.Handle([](QWidget& widget) { qobject_cast<QDialog*>(&widget)->reject(); });
  EXPECT_EQ(RunSaveFileDialog(nullptr, LogRequest()), "");
}

TEST(SaveFileDialog, TheFilterNamesThePatternOnce) {
  SaveFileRequest request = LogRequest();
  EXPECT_EQ(NameFilterOf(request), "Text file (*.txt)");
  request.filterLabel = "Text file";
  EXPECT_EQ(NameFilterOf(request), "Text file (*.txt)");
}

}  // namespace
}  // namespace linkwatch::testing
