// The batch window driven as a person would: a drop processed file by file
// with "@1st" asked once, a missing file skipped and reported, a drop with
// nothing selected refused, and the list kept in step with the slots.
#include <QComboBox>
#include <QFile>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/batch_window.h"
#include "app/busy_panel.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/qt_text.h"
#include "app/secondary_windows.h"
#include "automation/pvx_file.h"
#include "scripted_prompter.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Notes what the busy panel says whenever a question is asked.
class WatchingPrompter : public ScriptedPrompter {
 public:
  WatchingPrompter(PromptLog* log, QStringList* panel_texts)
      : ScriptedPrompter(log), panel_texts_(panel_texts) {}
  MainWindow* window = nullptr;

  std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                  const QString& initial) override {
    if (window != nullptr) *panel_texts_ << window->busy_panel()->text();
    return ScriptedPrompter::InputBox(caption, prompt, initial);
  }

 private:
  QStringList* panel_texts_;
};

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

}  // namespace

class BatchWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  PromptLog log_;
  QStringList panel_texts_;
  WatchingPrompter* prompter_ = nullptr;

  QString Path(const char* name) const { return dir_->filePath(QString::fromUtf8(name)); }

  std::unique_ptr<MainWindow> Make() {
    MainWindowSetup setup;
    setup.paths = SettingsPathsFor(QStringToPath(Path("parvane.ini")));
    auto prompter = std::make_unique<WatchingPrompter>(&log_, &panel_texts_);
    prompter_ = prompter.get();
    setup.prompter = std::move(prompter);
    auto w = std::make_unique<MainWindow>(std::move(setup));
    prompter_->window = w.get();
    w->Startup();
    // No ".bak" copies into the person's real trash from a test.
    w->editor().options.backup = false;
    w->editor().options.trash = false;
    return w;
  }

  // Slot 1 (index 0): prefix every line with an answer asked once.
  void BindPrefixCommand(MainWindow& w) {
    const QString pvx = Path("prefix.pvx");
    std::string error;
    QVERIFY(WritePvxFile(QStringToPath(pvx),
                         {PvxTitleLine(Sjis("前置き")), Sjis("[行頭に文字列を追加],@1st")},
                         &error));
    w.editor().options.user_command_files[0] = pvx.toStdString();
    w.windows()->options_dialog()->Startup();
  }

 private slots:
  void TheAddButtonRunsTheChosenFilesAsADrop() {
    auto w = Make();
    BindPrefixCommand(*w);
    WriteBytes(Path("a.txt"), "a1\r\n");
    WriteBytes(Path("b.txt"), "b1\r\n");
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    QCOMPARE(batch->add_button()->text(), QString::fromUtf8("ファイルを追加(&A)..."));
    // With no process chosen it says so before asking for files.
    batch->add_button()->click();
    QCOMPARE(log_.messages, QStringList({QString::fromUtf8("処理が選択されていません。")}));
    QCOMPARE(log_.multi_open_dialogs, 0);

    batch->choices()->setCurrentIndex(0);
    prompter_->file_lists = {{Path("a.txt"), Path("b.txt")}};
    prompter_->inputs = {QStringLiteral("> ")};
    batch->add_button()->click();
    QCOMPARE(log_.multi_open_dialogs, 1);
    QCOMPARE(log_.prompts.size(), 1);
    QCOMPARE(ReadBytes(Path("a.txt")), QByteArray("> a1\r\n"));
    QCOMPARE(ReadBytes(Path("b.txt")), QByteArray("> b1\r\n"));
    QVERIFY(batch->isVisible());
    // A cancelled dialog changes nothing.
    batch->choices()->setCurrentIndex(0);
    batch->add_button()->click();
    QCOMPARE(log_.multi_open_dialogs, 2);
    QCOMPARE(ReadBytes(Path("a.txt")), QByteArray("> a1\r\n"));
    // The keyboard reaches the list and the button; the note takes no focus.
    QCOMPARE(batch->note()->focusPolicy(), Qt::NoFocus);
    QVERIFY(batch->choices()->focusPolicy() & Qt::TabFocus);
  }

  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    log_ = PromptLog();
    panel_texts_.clear();
  }

  void TheWindowIsASmallToolWindowOnTop() {
    auto w = Make();
    BatchWindow* batch = w->windows()->batch_window();
    QVERIFY(batch->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(batch->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(batch->windowTitle(), QString::fromUtf8("連続自動処理ウィンドウ"));
    // The list and the note fill the designed client area; the button row
    // for keyboard users comes below it.
    QCOMPARE(batch->width(), BatchWindow::kWidth);
    batch->layout()->activate();
    QCOMPARE(batch->note()->geometry().bottom() + 1, BatchWindow::kHeight);
    QVERIFY(batch->add_button()->geometry().top() >= BatchWindow::kHeight);
    QVERIFY(batch->note()->isReadOnly());
    QVERIFY(batch->note()->toPlainText().startsWith(
        QString::fromUtf8("　このウィンドウにファイルをドロップすると")));
    QCOMPARE(batch->choices()->maxVisibleItems(), 12);
  }

  void EachShowingListsTheSlotsWithNothingSelected() {
    auto w = Make();
    BindPrefixCommand(*w);
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    QCOMPARE(batch->choices()->count(), 10);
    QCOMPARE(batch->choices()->itemText(0), QString::fromUtf8("(1) 前置き"));
    QCOMPARE(batch->choices()->itemText(9), QString::fromUtf8("(0) 未設定"));
    QCOMPARE(batch->choices()->currentIndex(), -1);

    batch->hide();
    w->editor().record_buffer = {Sjis("[行末に文字列を追加],;")};
    batch->ShowWindow();
    QCOMPARE(batch->choices()->count(), 11);
    QCOMPARE(batch->choices()->itemText(10), QString::fromUtf8("(-) [行末に文字列を追加],;"));
    QCOMPARE(w->automation().last_step_text, Sjis("[行末に文字列を追加],;"));
  }

  void ThreeFilesAskOnceAndAMissingOneIsSkipped() {
    auto w = Make();
    BindPrefixCommand(*w);
    WriteBytes(Path("a.txt"), "a1\r\na2\r\n");
    WriteBytes(Path("b.txt"), "b1\r\n");
    WriteBytes(Path("c.txt"), "c1\r\n");
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    batch->choices()->setCurrentIndex(0);
    prompter_->inputs = {QStringLiteral("> "), QStringLiteral("never asked")};

    const std::vector<BatchFileResult> results =
        batch->ProcessDrop({Path("a.txt"), Path("gone.txt"), Path("b.txt"), Path("c.txt")});

    QCOMPARE(results, (std::vector<BatchFileResult>{
                          BatchFileResult::kProcessed, BatchFileResult::kMissing,
                          BatchFileResult::kProcessed, BatchFileResult::kProcessed}));
    QCOMPARE(log_.prompts.size(), 1);
    QCOMPARE(ReadBytes(Path("a.txt")), QByteArray("> a1\r\n> a2\r\n"));
    QCOMPARE(ReadBytes(Path("b.txt")), QByteArray("> b1\r\n"));
    QCOMPARE(ReadBytes(Path("c.txt")), QByteArray("> c1\r\n"));
    QVERIFY(!QFileInfo::exists(Path("gone.txt")));
    // The one failure is summed up once, by name.
    QCOMPARE(log_.messages.size(), 1);
    QVERIFY(log_.messages[0].contains(Path("gone.txt") + QString::fromUtf8("（見つかりません）")));
    // The question came while the first file was being processed, and the
    // busy panel said so.
    QCOMPARE(panel_texts_.size(), 1);
    QVERIFY2(panel_texts_[0].startsWith(QStringLiteral("(1 / 4) a.txt\n")),
             qPrintable(panel_texts_[0]));
    QVERIFY(!w->automation().batch);
    QVERIFY(!w->busy());
    QVERIFY(!w->busy_panel()->isVisible());
    QVERIFY(batch->isVisible());
  }

  void AMissingFirstFileDoesNotStopTheStepsLoading() {
    auto w = Make();
    BindPrefixCommand(*w);
    WriteBytes(Path("b.txt"), "b1\r\n");
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    batch->choices()->setCurrentIndex(0);
    prompter_->inputs = {QStringLiteral("# ")};
    batch->ProcessDrop({Path("gone.txt"), Path("b.txt")});
    QCOMPARE(ReadBytes(Path("b.txt")), QByteArray("# b1\r\n"));
  }

  void ADropWithNothingSelectedIsRefused() {
    auto w = Make();
    BindPrefixCommand(*w);
    WriteBytes(Path("a.txt"), "a1\r\n");
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    const std::vector<BatchFileResult> results = batch->ProcessDrop({Path("a.txt")});
    QVERIFY(results.empty());
    QCOMPARE(log_.messages, QStringList({QString::fromUtf8("処理が選択されていません。")}));
    QVERIFY(log_.prompts.isEmpty());
    QCOMPARE(ReadBytes(Path("a.txt")), QByteArray("a1\r\n"));
    QVERIFY(batch->isVisible());
  }

  void TheMostRecentCommandRunsWithItsRecordedParameter() {
    auto w = Make();
    WriteBytes(Path("a.txt"), "a1\r\n");
    WriteBytes(Path("b.txt"), "b1\r\n");
    w->editor().record_buffer = {Sjis("[行末に文字列を追加],;")};
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    batch->choices()->setCurrentIndex(kMostRecentCommandEntry);
    batch->ProcessDrop({Path("a.txt"), Path("b.txt")});
    QVERIFY(log_.prompts.isEmpty());
    QVERIFY(log_.messages.isEmpty());
    QCOMPARE(ReadBytes(Path("a.txt")), QByteArray("a1;\r\n"));
    QCOMPARE(ReadBytes(Path("b.txt")), QByteArray("b1;\r\n"));
  }

  void AFailingStepLeavesItsFileAndIsSummedUpWithItsError() {
    auto w = Make();
    w->editor().options.backup = true;  // a failed file gets no backup either
    WriteBytes(Path("a.txt"), "a1\r\n");
    WriteBytes(Path("b.txt"), "b1\r\n");
    w->editor().record_buffer = {Sjis("[正規表現置換],(,x")};
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    batch->choices()->setCurrentIndex(kMostRecentCommandEntry);
    const std::vector<BatchFileResult> results = batch->ProcessDrop({Path("a.txt"), Path("b.txt")});
    QCOMPARE(results, (std::vector<BatchFileResult>(2, BatchFileResult::kFailed)));
    QCOMPARE(ReadBytes(Path("a.txt")), QByteArray("a1\r\n"));
    QCOMPARE(ReadBytes(Path("b.txt")), QByteArray("b1\r\n"));
    QVERIFY(!QFileInfo::exists(Path("a.bak")));
    QVERIFY(!w->editor().modified);
    // Each step's error as it happened, then the summary with both files.
    QCOMPARE(log_.messages.size(), 3);
    QVERIFY2(log_.messages[2].startsWith(
                 QString::fromUtf8("2 個のファイルのうち、処理 0 個、スキップ 0 個、失敗 2 個。")),
             qPrintable(log_.messages[2]));
    QVERIFY(log_.messages[2].contains(
        Path("b.txt") + QString::fromUtf8("（処理に失敗しました: need right parenthesis.）")));
  }

  void ReplacingTheSlotEntriesKeepsThePositionAndTheLastEntry() {
    auto w = Make();
    w->editor().record_buffer = {Sjis("[逆にする]")};
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    batch->choices()->setCurrentIndex(10);
    QStringList entries;
    for (int i = 0; i < 10; ++i) entries << QStringLiteral("(%1) x").arg((i + 1) % 10);
    batch->ReplaceSlotEntries(entries);
    QCOMPARE(batch->choices()->count(), 11);
    QCOMPARE(batch->choices()->currentIndex(), 10);
    QCOMPARE(batch->choices()->itemText(2), QStringLiteral("(3) x"));
    QCOMPARE(batch->choices()->itemText(10), QString::fromUtf8("(-) [逆にする]"));
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::BatchWindowTest)
#include "batch_window_test.moc"
