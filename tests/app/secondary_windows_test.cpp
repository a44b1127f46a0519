// The secondary windows driven as a person would: the removed-lines window's
// actions and what they record, the key-field dialog, find and replace with a
// pattern error that keeps the dialog open.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "automation/playback.h"
#include "app/find_dialog.h"
#include "app/key_field_dialog.h"
#include "app/line_model.h"
#include "app/line_view.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/removed_lines_window.h"
#include "app/secondary_windows.h"
#include "automation/playback.h"
#include "scripted_prompter.h"
#include "text/literal.h"

namespace parvane {
namespace {

// Runs act once the modal widget is on screen (commands pump events before
// they open their windows, so a plain zero timer would fire too early).
void WhenShown(QWidget* widget, std::function<void()> act) {
  auto* timer = new QTimer(widget);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, widget, [timer, widget, act] {
    if (!widget->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act();
  });
  timer->start();
}

}  // namespace

class SecondaryWindowsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  PromptLog log_;

  std::unique_ptr<MainWindow> Make() {
    MainWindowSetup setup;
    setup.paths = SettingsPathsFor(QStringToPath(dir_->filePath(QStringLiteral("parvane.ini"))));
    setup.prompter = std::make_unique<ScriptedPrompter>(&log_);
    auto w = std::make_unique<MainWindow>(std::move(setup));
    w->Startup();
    return w;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    log_ = PromptLog();
  }

  void RemovedLinesActionsRecordTheLastChoice() {
    auto w = Make();
    w->editor().doc.SetLines({"b", "b", "a", "a"});
    w->model()->EndChange();
    RemovedLinesWindow* window = w->windows()->removed_lines();
    QStringList shown;
    WhenShown(window, [&] {
      for (int i = 0; i < window->list()->count(); ++i) shown << window->list()->item(i)->text();
      window->copy_action()->trigger();
      window->move_action()->trigger();
      window->close_action()->trigger();
    });
    w->TriggerCommand(56);  // 連続する重複行を一行にまとめる
    QCOMPARE(shown, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\nb\n"));
    QCOMPARE(w->editor().doc.lines(), Lines({"a", "b"}));
    QCOMPARE(w->model()->rowCount(), 2);
    QCOMPARE(w->editor().record_buffer.back(),
             Sjis("[連続する重複行を一行にまとめる],[メインウィンドウに移す]"));
  }

  void TheKeyDialogSortsByTheChosenFieldOnly() {
    auto w = Make();
    w->editor().doc.SetLines({"b,2", "a,3", "c,1"});
    w->model()->EndChange();
    KeyFieldDialog* dialog = w->windows()->key_dialog();
    WhenShown(dialog, [&] {
      QCOMPARE(dialog->list()->count(), 2);
      QVERIFY(dialog->list()->selectedItems().isEmpty());
      dialog->choose_button()->click();  // nothing chosen yet: stays open
      QVERIFY(dialog->isVisible());
      dialog->list()->setCurrentRow(1);
      dialog->choose_button()->click();
    });
    w->TriggerCommand(63);
    QCOMPARE(w->editor().doc.lines(), Lines({"c,1", "b,2", "a,3"}));
    QCOMPARE(w->editor().record_buffer.back(), Sjis("[カンマ区切りテキストの五十音順並べ替え],1"));

    WhenShown(dialog, [&] { dialog->reject(); });
    w->TriggerCommand(63);
    QCOMPARE(w->editor().doc.lines(), Lines({"c,1", "b,2", "a,3"}));
  }

  void FindNarrowsTheSelectionAndReplaceRewrites() {
    auto w = Make();
    w->editor().doc.SetLines({Sjis("りんご"), Sjis("みかん"), Sjis("りんごジャム")});
    w->model()->EndChange();
    FindDialog* dialog = w->windows()->find_dialog();
    dialog->Prepare(false);
    QVERIFY(!dialog->find_button()->isEnabled());
    dialog->edit3()->setText(QString::fromUtf8("りんご"));
    QVERIFY(dialog->find_button()->isEnabled());
    QVERIFY(dialog->find_button()->isDefault());
    dialog->find_button()->click();
    QCOMPARE(w->editor().doc.SelectedRows(), (std::vector<std::size_t>{0, 2}));
    QVERIFY(w->view()->selectionModel()->isRowSelected(2, QModelIndex()));

    dialog->Prepare(true);
    QCOMPARE(dialog->pages()->currentIndex(), 1);
    dialog->edit1()->setText(QString::fromUtf8("りんご"));
    dialog->edit2()->setText(QString::fromUtf8("林檎"));
    dialog->replace_button()->click();
    QCOMPARE(w->editor().doc.lines(), Lines({Sjis("林檎"), Sjis("林檎ジャム"), Sjis("みかん")}));
    // The fields are kept for the next use.
    dialog->Prepare(false);
    QCOMPARE(dialog->edit3()->text(), QString::fromUtf8("りんご"));
  }

  void CancellingKeepsTheTextsAndCaseBoxesForTheNextShowingAndPlayback() {
    auto w = Make();
    FindDialog* dialog = w->windows()->find_dialog();
    WhenShown(dialog, [&] {
      dialog->edit3()->setText(QString::fromUtf8("探す"));
      dialog->match_case_f()->setChecked(true);
      dialog->reject();  // Esc, the close button and "キャンセル" all end here
    });
    w->TriggerApp(AppAction::kFind);
    WhenShown(dialog, [&] {
      dialog->edit1()->setText(QStringLiteral("old"));
      dialog->edit2()->setText(QStringLiteral("new"));
      dialog->match_case_r()->setChecked(true);
      dialog->reject();
    });
    w->TriggerApp(AppAction::kReplace);
    dialog->Prepare(false);
    QCOMPARE(dialog->edit3()->text(), QString::fromUtf8("探す"));
    QVERIFY(dialog->match_case_f()->isChecked());
    QCOMPARE(dialog->edit1()->text(), QStringLiteral("old"));
    QCOMPARE(dialog->edit2()->text(), QStringLiteral("new"));
    QVERIFY(dialog->match_case_r()->isChecked());
    // Playback reads the case boxes: a played find now matches case.
    w->editor().doc.SetLines({"ABC", "abc"});
    w->model()->EndChange();
    Lines steps = {Sjis("[検索],abc")};
    PlaySteps(w->editor(), steps);
    QCOMPARE(w->editor().doc.SelectedRows(), (std::vector<std::size_t>{1}));
  }

  void EscInTheFindDialogStopsARunningReplaceAndClosesIt() {
    auto w = Make();
    Lines lines;
    for (int i = 0; i < 50000; ++i) lines.push_back("old " + std::to_string(i));
    w->editor().doc.SetLines(lines);
    w->model()->EndChange();
    FindDialog* dialog = w->windows()->find_dialog();
    bool while_busy = false;
    WhenShown(dialog, [&] {
      dialog->edit1()->setText(QStringLiteral("old"));
      dialog->edit2()->setText(QStringLiteral("new"));
      // The modal dialog keeps the main window's "中止" out of reach: its own
      // Esc stops the replace, in the first pass of the replace's event loop.
      QTimer::singleShot(0, dialog, [&] {
        while_busy = w->busy();
        QTest::keyClick(dialog, Qt::Key_Escape);
      });
      dialog->replace_button()->click();
    });
    w->TriggerApp(AppAction::kReplace);
    QVERIFY(while_busy);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(w->editor().doc.lines().ToStrings(), lines);
    QVERIFY(!w->editor().modified);
    QCOMPARE(w->editor().UndoDepth(), std::size_t{0});
    QCOMPARE(log_.messages, QStringList());
    // Esc without a running command only closes the dialog, as before.
    WhenShown(dialog, [&] { QTest::keyClick(dialog, Qt::Key_Escape); });
    w->TriggerApp(AppAction::kFind);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!w->busy());
  }

  void TheExtendedSyntaxBoxSwitchesTheRegexButtons() {
    auto w = Make();
    w->editor().doc.SetLines({"2024-01-05", "d"});
    w->model()->EndChange();
    FindDialog* dialog = w->windows()->find_dialog();
    dialog->Prepare(true);
    QVERIFY(!dialog->extended_r()->isChecked());
    QCOMPARE(dialog->extended_r()->text(), QString::fromUtf8("拡張構文"));
    dialog->edit1()->setText(QStringLiteral("(\\d+)-(\\d+)-(\\d+)"));
    dialog->edit2()->setText(QStringLiteral("\\3/\\2/\\1"));
    dialog->extended_r()->setChecked(true);
    dialog->regex_replace_button()->click();
    QCOMPARE(w->editor().doc.lines(), Lines({"05/01/2024", "d"}));
    QCOMPARE(w->editor().record_buffer.back(), Sjis("[拡張正規表現置換],(\\d+)-(\\d+)-(\\d+),\\3/\\2/\\1"));
    // Unchecked, the same button keeps the present syntax (\d is d).
    dialog->Prepare(false);
    dialog->edit3()->setText(QStringLiteral("\\d"));
    QVERIFY(!dialog->extended_f()->isChecked());
    dialog->regex_find_button()->click();
    QCOMPARE(w->editor().doc.SelectedRows(), (std::vector<std::size_t>{1}));
    QCOMPARE(w->editor().record_buffer.back(), Sjis("[正規表現検索],\\d"));
    // The box is kept with the other fields.
    dialog->Prepare(true);
    QVERIFY(dialog->extended_r()->isChecked());
  }

  void APatternErrorKeepsTheDialogOpen() {
    auto w = Make();
    w->editor().doc.SetLines({"abc", "x"});
    w->model()->EndChange();
    FindDialog* dialog = w->windows()->find_dialog();
    dialog->Prepare(false);
    dialog->show();
    dialog->edit3()->setText(QStringLiteral("(a"));
    dialog->regex_find_button()->click();
    QVERIFY(dialog->isVisible());
    QCOMPARE(log_.messages.size(), 1);
    QVERIFY(log_.messages.first().endsWith(QLatin1Char('.')));
    QVERIFY(!w->busy());
    dialog->edit3()->setText(QStringLiteral("b"));
    dialog->regex_find_button()->click();
    QVERIFY(!dialog->isVisible());
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::SecondaryWindowsTest)
#include "secondary_windows_test.moc"
