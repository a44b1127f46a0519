// The main window end to end: menus, commands from their actions, title,
// status texts, the busy state, settings, files, recovery and the
// clipboard-linked mode. Dialogs are answered by a ScriptedPrompter.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStatusBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>
#include <memory>

#include "app/busy_panel.h"
#include "app/line_model.h"
#include "app/line_view.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "automation/automation_state.h"
#include "automation/run_command.h"
#include "commands/find_replace.h"
#include "scripted_prompter.h"
#include "text/literal.h"

namespace parvane {
namespace {

std::string ReadAll(const QString& path) {
  std::ifstream in(QStringToPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const QString& path, const std::string& bytes) {
  std::ofstream out(QStringToPath(path), std::ios::binary);
  out << bytes;
}

// A person who answers an input box and then asks the command to stop.
class CancellingPrompter : public ScriptedPrompter {
 public:
  using ScriptedPrompter::ScriptedPrompter;
  std::function<void()> on_input;

  std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                  const QString& initial) override {
    if (on_input) on_input();
    return ScriptedPrompter::InputBox(caption, prompt, initial);
  }
};

// Lines that the syllabary sort turns around, enough for its gauge to move.
Lines ManyLines() {
  Lines lines;
  for (int i = 0; i < 50000; ++i) lines.push_back(Sjis("行") + std::to_string(99999 - i));
  return lines;
}

// A window whose first progress report of a command runs out of memory, as
// an allocation in the middle of the command's work would: operator new
// calls the installed new-handler when the allocator has no memory left,
// so calling it stands in for a real exhaustion.
class StarvedWindow : public MainWindow {
 public:
  using MainWindow::MainWindow;
  bool starve = false;
  void OnProgress(int percent) override {
    if (starve && percent >= 0) {
      starve = false;
      std::new_handler handler = std::get_new_handler();
      if (handler == nullptr) throw std::logic_error("no new-handler inside the command");
      handler();
      throw std::logic_error("a new-handler that returns");
    }
    MainWindow::OnProgress(percent);
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  PromptLog log_;
  ScriptedPrompter* prompter_ = nullptr;

  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> Make(QStringList files = {}, bool start = true,
                                   std::unique_ptr<ScriptedPrompter> own_prompter = {}) {
    MainWindowSetup setup;
    setup.paths = SettingsPathsFor(QStringToPath(Path(QStringLiteral("parvane.ini"))));
    setup.files = files;
    auto prompter = own_prompter ? std::move(own_prompter) : std::make_unique<ScriptedPrompter>(&log_);
    prompter_ = prompter.get();
    setup.prompter = std::move(prompter);
    auto window = std::make_unique<MainWindow>(std::move(setup));
    if (start) window->Startup();
    return window;
  }

  static Lines Doc(MainWindow& w) { return w.editor().doc.lines().ToStrings(); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    log_ = PromptLog();
  }

  void MenusCarryTheirCaptionsAndShortcuts() {
    auto w = Make();
    QStringList titles;
    for (QAction* a : w->menus().bar->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({QString::fromUtf8("ファイル(&F)"), QString::fromUtf8("編集(&E)"),
                                  QString::fromUtf8("表示(&V)"), QString::fromUtf8("ツール(&T)"),
                                  QString::fromUtf8("文字の種類を変換(&C)"),
                                  QString::fromUtf8("ヘルプ(&H)")}));
    struct Expect {
      int code;
      const char* caption;
      const char* keys;
    };
    for (const Expect& e : {Expect{37, "切り取り(&T)", "Ctrl+X"}, Expect{38, "コピー(&C)", "Ctrl+C"},
                            Expect{39, "貼り付け(&P)", "Ctrl+V"},
                            Expect{41, "挿入貼り付け(&O)", "Ctrl+Shift+V"},
                            Expect{40, "削除(&L)", "Del"}, Expect{42, "すべて選択(&A)", "Ctrl+A"},
                            Expect{1, "五十音順にする(&G)", "F6"}, Expect{45, "選択項目をまとめる(&C)", "F12"},
                            Expect{49, "選択項目を一番下に移動する(&B)", "Ctrl+Alt+Down"},
                            Expect{50, "Excel に貼り付けられる形式でコピー(&E)", "Ctrl+Shift+C"}}) {
      QAction* a = w->menus().command(e.code);
      QVERIFY(a != nullptr);
      QCOMPARE(a->text(), QString::fromUtf8(e.caption));
      QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(e.keys)));
    }
    QCOMPARE(w->menus().app(AppAction::kJump)->shortcut(), QKeySequence(QStringLiteral("Ctrl+J")));
    QCOMPARE(w->menus().app(AppAction::kEditRow)->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    QCOMPARE(w->menus().app(AppAction::kUndo)->text(), QString::fromUtf8("元に戻す(&U)"));
    QCOMPARE(w->menus().app(AppAction::kUser1)->text(), QString::fromUtf8("未設定(&1)"));
    QCOMPARE(w->menus().app(AppAction::kUser0)->shortcut(), QKeySequence(QStringLiteral("Ctrl+0")));
    QCOMPARE(w->menus().app(AppAction::kSaveCode6)->text(),
             QString::fromUtf8("Unicode (UTF-8 BOM なし)(&N)"));
    QCOMPARE(w->menus().busy_bar->actions().first()->text(), QString::fromUtf8("処理中です..."));
    // The hidden menu is never in the menu bar, but its shortcut is the window's.
    QVERIFY(!w->menus().bar->actions().contains(w->menus().hidden->menuAction()));
    QVERIFY(w->actions().contains(w->menus().app(AppAction::kEditRow)));
    QVERIFY(!w->menus().app(AppAction::kRecordEnd)->isEnabled());
  }

  void EveryShortcutSitsOnItsItemAndNoOtherItemHasOne() {
    auto w = Make();
    QMap<QString, QKeySequence> found;
    for (QAction* a : w->menus().all) {
      if (!a->shortcut().isEmpty()) found.insert(a->text(), a->shortcut());
    }
    const std::pair<const char*, const char*> expected[] = {
        {"開く(&O)...", "Ctrl+O"},
        {"上書き保存(&S)", "Ctrl+S"},
        {"名前を付けて保存(&A)...", "Ctrl+Shift+S"},
        {"終了(&X)", "Ctrl+Q"},
        {"元に戻す(&U)", "Ctrl+Z"},
        {"やり直し(&Y)", "Ctrl+Y"},
        {"切り取り(&T)", "Ctrl+X"},
        {"コピー(&C)", "Ctrl+C"},
        {"貼り付け(&P)", "Ctrl+V"},
        {"挿入貼り付け(&O)", "Ctrl+Shift+V"},
        {"削除(&L)", "Del"},
        {"すべて選択(&A)", "Ctrl+A"},
        {"検索(&F)...", "Ctrl+F"},
        {"置換(&R)...", "Ctrl+R"},
        {"行番号を指定してジャンプ(&J)...", "Ctrl+J"},
        {"五十音順にする(&G)", "F6"},
        {"長さ順にする(&L)", "F7"},
        {"逆にする(&R)", "F8"},
        {"シャッフルする(&S)", "F9"},
        {"選択項目を一行に結合する(&J)", "F11"},
        {"選択項目をまとめる(&C)", "F12"},
        {"選択項目を上に移動する(&U)", "Ctrl+Up"},
        {"選択項目を下に移動する(&D)", "Ctrl+Down"},
        {"選択項目を一番上に移動する(&T)", "Ctrl+Alt+Up"},
        {"選択項目を一番下に移動する(&B)", "Ctrl+Alt+Down"},
        {"Excel に貼り付けられる形式でコピー(&E)", "Ctrl+Shift+C"},
        {"未設定(&1)", "Ctrl+1"}, {"未設定(&2)", "Ctrl+2"}, {"未設定(&3)", "Ctrl+3"},
        {"未設定(&4)", "Ctrl+4"}, {"未設定(&5)", "Ctrl+5"}, {"未設定(&6)", "Ctrl+6"},
        {"未設定(&7)", "Ctrl+7"}, {"未設定(&8)", "Ctrl+8"}, {"未設定(&9)", "Ctrl+9"},
        {"未設定(&0)", "Ctrl+0"},
        {"選択行を編集", "Ctrl+E"},
        {"ヘルプ(&H)", "F1"},
    };
    QMap<QString, QKeySequence> wanted;
    for (const auto& [caption, keys] : expected) {
      wanted.insert(QString::fromUtf8(caption), QKeySequence(QString::fromLatin1(keys)));
    }
    QCOMPARE(found, wanted);
    // Submenus in the order and with the captions of the menu bar.
    auto captions = [](QMenu* menu) {
      QStringList out;
      for (QAction* a : menu->actions()) {
        if (a->menu() != nullptr) out << a->text();
      }
      return out;
    };
    const QList<QAction*> top = w->menus().bar->actions();
    QCOMPARE(captions(top[0]->menu()), QStringList({QString::fromUtf8("最近使ったファイル(&F)"),
                                                    QString::fromUtf8("保存時の文字コード(&K)"),
                                                    QString::fromUtf8("保存時の改行コード(&L)")}));
    QCOMPARE(captions(top[2]->menu()),
             QStringList({QString::fromUtf8("改行マーク(&R)"), QString::fromUtf8("罫線(&L)"),
                          QString::fromUtf8("選択形式(&S)")}));
    QCOMPARE(captions(top[3]->menu()),
             QStringList({QString::fromUtf8("並べ替え(&S)"), QString::fromUtf8("整頓・整形(&A)"),
                          QString::fromUtf8("文字列の追加と削除(&B)"),
                          QString::fromUtf8("カンマ区切りデータ(&D)"),
                          QString::fromUtf8("ユーザー定義(&U)"), QString::fromUtf8("おまけ(&E)")}));
    QCOMPARE(captions(top[4]->menu()),
             QStringList({QString::fromUtf8("全角⇒半角(&N)"), QString::fromUtf8("半角⇒全角(&W)")}));
    QCOMPARE(captions(w->menus().hidden),
             QStringList({QString::fromUtf8("その他"), QString::fromUtf8("エンコード・デコード")}));
  }

  void ACommandFromItsActionChangesDocumentAndTitle() {
    const QString file = Path(QStringLiteral("memo.txt"));
    WriteAll(file, Sjis("い\r\nう\r\nあ\r\n"));
    auto w = Make({file});
    QCOMPARE(w->windowTitle(), QString::fromUtf8("memo.txt - ( 3 行) - Parvane"));
    QVERIFY(w->TriggerCommand(3));  // 逆にする
    QCOMPARE(Doc(*w), Lines({Sjis("あ"), Sjis("う"), Sjis("い")}));
    QCOMPARE(w->windowTitle(), QString::fromUtf8("memo.txt * - ( 3 行) - Parvane"));
    QCOMPARE(w->StatusText(), QStringLiteral("Parvane - Version 1.15"));
    QCOMPARE(w->model()->rowCount(), 3);
    QVERIFY(w->TriggerApp(AppAction::kUndo));
    QCOMPARE(Doc(*w), Lines({Sjis("い"), Sjis("う"), Sjis("あ")}));
  }

  void TheEncodersSitInTheExtrasMenuAndTheHiddenMenuAndRecord() {
    auto w = Make();
    QAction* shown = w->menus().command(79);
    QVERIFY(shown != nullptr);
    QCOMPARE(shown->text(), QString::fromUtf8("Base64形式にエンコードする(&B)"));
    QCOMPARE(qobject_cast<QMenu*>(shown->parent())->title(), QString::fromUtf8("おまけ(&E)"));
    // The hidden menu holds its own item for the same command.
    QAction* hidden = nullptr;
    for (QAction* a : w->menus().all) {
      if (a != shown && KindOf(a).code == 79) hidden = a;
    }
    QVERIFY(hidden != nullptr);
    QVERIFY(hidden->isEnabled());
    w->editor().doc.SetLines({"A"});
    hidden->trigger();
    QCOMPARE(Doc(*w), Lines({"QQ=="}));
    QVERIFY(w->TriggerCommand(80));
    QCOMPARE(Doc(*w), Lines({"A"}));
    QCOMPARE(w->editor().record_buffer,
             Lines({Sjis("[Base64形式にエンコードする]"), Sjis("[Base64形式をデコードする]")}));
    for (int code : {74, 75, 76, 77, 78}) QVERIFY(w->menus().command(code) != nullptr);
  }

  void SelectionStylesDecideWhatACommandSees() {
    auto w = Make();
    w->editor().doc.SetLines({"c", "b", "a", "d"});
    w->model()->EndChange();
    w->TriggerApp(AppAction::kSelectionStandard);
    QCOMPARE(w->view()->selectionMode(), QAbstractItemView::MultiSelection);
    QCOMPARE(w->editor().selection_style, SelectionStyle::kStandard);
    // One selected row in the standard style is a selection of its own.
    w->view()->selectionModel()->select(w->model()->index(1, 0), QItemSelectionModel::Select);
    QVERIFY(w->editor().doc.IsSelected(1));
    w->TriggerCommand(1);  // 五十音順にする
    QCOMPARE(Doc(*w), Lines({"c", "b", "a", "d"}));
    QVERIFY(w->view()->selectionModel()->isRowSelected(1, QModelIndex()));
    // The row the command stored stays its result: the next command works
    // on it in the extended style too.
    w->TriggerApp(AppAction::kSelectionExtended);
    QCOMPARE(w->view()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(w->editor().selection_style, SelectionStyle::kExtended);
    w->TriggerCommand(1);
    QCOMPARE(Doc(*w), Lines({"c", "b", "a", "d"}));
    // One row the person selected means the whole document.
    w->view()->selectionModel()->select(w->model()->index(2, 0),
                                        QItemSelectionModel::ClearAndSelect);
    w->TriggerCommand(1);
    QCOMPARE(Doc(*w), Lines({"a", "b", "c", "d"}));
  }

  void StatusTextsFollowTheSelection() {
    auto w = Make();
    w->editor().doc.SetLines({Sjis("あい"), "b", "c", "d", "e"});
    w->model()->EndChange();
    auto* sel = w->view()->selectionModel();
    sel->setCurrentIndex(w->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    QCOMPARE(w->StatusText(), QString::fromUtf8(" 1 行目（ 2 文字 / 4 バイト）"));
    sel->select(QItemSelection(w->model()->index(2, 0), w->model()->index(3, 0)),
                QItemSelectionModel::ClearAndSelect);
    QCOMPARE(w->StatusText(), QString::fromUtf8(" 2 行選択中"));
    QCOMPARE(w->editor().doc.SelectedCount(), std::size_t{2});
  }

  void NoCommandStartsWhileOneRuns() {
    auto w = Make();
    w->editor().doc.SetLines({"b", "a"});
    w->model()->EndChange();
    w->OnCommandStarted(QString::fromUtf8("処理しています…"));
    QCOMPARE(w->menu_stack()->currentWidget(), static_cast<QWidget*>(w->menus().busy_bar));
    QVERIFY(w->view()->frozen());
    QVERIFY(!w->TriggerCommand(1));
    QCOMPARE(Doc(*w), Lines({"b", "a"}));
    w->OnCommandEnded();
    QCOMPARE(w->menu_stack()->currentWidget(), static_cast<QWidget*>(w->menus().bar));
    QVERIFY(!w->view()->frozen());
    QVERIFY(w->TriggerCommand(1));
    QCOMPARE(Doc(*w), Lines({"a", "b"}));
  }

  void FirstStartHasTheDefaultsAndExitWritesSortedKeys() {
    {
      auto w = Make();
      QCOMPARE(w->view()->selection_style(), SelectionStyle::kExtended);
      QCOMPARE(w->view()->painter().return_mark(), ReturnMark::kA);
      QCOMPARE(w->view()->painter().rule_line(), RuleLine::kDotted);
      QVERIFY(w->menus().app(AppAction::kStatusBar)->isChecked());
      QCOMPARE(w->editor().options.font_name, std::string("FixedSys"));
      QCOMPARE(w->editor().options.font_size, 14);
      QCOMPARE(w->editor().save_code, SaveCode::kShiftJis);
      QVERIFY(w->editor().options.auto_backup);
      QVERIFY(w->editor().options.backup);
      QVERIFY(w->editor().options.trash);
      w->TriggerApp(AppAction::kMarkB);
      w->TriggerApp(AppAction::kRuleNone);
      w->TriggerApp(AppAction::kSaveCode1);
    }
    const QString ini = QString::fromStdString(ReadAll(Path(QStringLiteral("parvane.ini"))));
    QStringList lines = ini.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), QStringLiteral("[Parvane]"));
    QStringList keys = lines.mid(1);
    QStringList sorted = keys;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(keys, sorted);
    QVERIFY(keys.contains(QStringLiteral("Control.ReturnMark=2")));
    QVERIFY(keys.contains(QStringLiteral("Control.Line=0")));
    QVERIFY(keys.contains(QStringLiteral("File.Charset=EUC-JP")));
    auto again = Make();
    QCOMPARE(again->view()->painter().return_mark(), ReturnMark::kB);
    QCOMPARE(again->editor().save_code, SaveCode::kEucJp);
  }

  void AnUnknownCharsetNameSelectsShiftJis() {
    WriteAll(Path(QStringLiteral("parvane.ini")),
             "[Parvane]\nFile.Charset=utf-8\nFile.CharsetFixed=1\nWindow.Position=0\n");
    auto w = Make();
    QCOMPARE(w->editor().save_code, SaveCode::kShiftJis);
    QVERIFY(w->menus().app(AppAction::kSaveCode0)->isChecked());
    QVERIFY(w->editor().options.charset_fixed);
  }

  void CommandLineFilesReplaceThenAppend() {
    WriteAll(Path(QStringLiteral("a.txt")), "a1\r\na2\r\n");
    WriteAll(Path(QStringLiteral("b.txt")), "b1\r\n");
    WriteAll(Path(QStringLiteral("c.txt")), "c1\r\nc2\r\n");
    auto w = Make({Path(QStringLiteral("a.txt")), Path(QStringLiteral("b.txt")),
                   Path(QStringLiteral("c.txt"))});
    QCOMPARE(Doc(*w), Lines({"a1", "a2", "b1", "c1", "c2"}));
    QCOMPARE(PathToQString(w->editor().current_file_name), Path(QStringLiteral("a.txt")));
    QVERIFY(!w->editor().modified);
    w->TriggerApp(AppAction::kUndo);
    QCOMPARE(Doc(*w), Lines({"a1", "a2", "b1"}));
  }

  void ADropWithCtrlAppendsEveryFile() {
    WriteAll(Path(QStringLiteral("a.txt")), "a1\r\n");
    WriteAll(Path(QStringLiteral("b.txt")), "b1\r\n");
    WriteAll(Path(QStringLiteral("c.txt")), "c1\r\n");
    auto w = Make({Path(QStringLiteral("a.txt"))});
    w->DropFiles({Path(QStringLiteral("b.txt")), Path(QStringLiteral("c.txt"))}, true);
    QCOMPARE(Doc(*w), Lines({"a1", "b1", "c1"}));
    QCOMPARE(PathToQString(w->editor().current_file_name), Path(QStringLiteral("a.txt")));
    w->DropFiles({Path(QStringLiteral("c.txt"))}, false);
    QCOMPARE(Doc(*w), Lines({"c1"}));
    QCOMPARE(PathToQString(w->editor().current_file_name), Path(QStringLiteral("c.txt")));
  }

  void TheRecoveryCopyIsOfferedAndRestored() {
    const QString former = Path(QStringLiteral("former.txt"));
    // A copy whose instance is gone: nobody holds its lock.
    WriteAll(Path(QStringLiteral("1-1.copy")), "PARVANE-RECOVERY 1\nFile=" + former.toStdString() +
                                                   "\nCode=EUC-JP\nLater=ignored\n\n" +
                                                   Sjis("復元\r\n行\r\n"));
    auto w = Make({}, false);
    prompter_->answers.push_back(Answer::kYes);
    w->Startup();
    QCOMPARE(log_.messages.first(),
             QString::fromUtf8("前回のバックアップが残っています。\n続きから編集しますか？"));
    QCOMPARE(log_.icons.first(), MessageIcon::kQuestion);
    QCOMPARE(Doc(*w), Lines({Sjis("復元"), Sjis("行")}));
    QCOMPARE(PathToQString(w->editor().current_file_name), former);
    QCOMPARE(w->editor().save_code, SaveCode::kEucJp);
    QVERIFY(w->editor().modified);
    w->editor().save_code = SaveCode::kShiftJis;
    QCOMPARE(w->windowTitle(), QString::fromUtf8("former.txt * - ( 2 行) - Parvane"));
    // Saving writes the former file; a normal exit removes the copy.
    w->TriggerApp(AppAction::kSave);
    QCOMPARE(ReadAll(former), Sjis("復元\r\n行\r\n"));
    w->Shutdown();
    QVERIFY(!QFile::exists(Path(QStringLiteral("1-1.copy"))));
  }

  // A file keeps its break: the menu and the status bar show it, choosing
  // another writes that one, and a last line without a break stays so.
  void TheLineBreakIsKeptShownAndChosen() {
    const QString file = Path(QStringLiteral("lf.txt"));
    WriteAll(file, "b\na");
    auto w = Make({file});
    QVERIFY(w->menus().app(AppAction::kLineBreak1)->isChecked());
    QCOMPARE(w->CodeStatusText(), QStringLiteral("Shift_JIS  LF"));
    w->TriggerCommand(3);  // 逆にする
    w->TriggerApp(AppAction::kSave);
    QCOMPARE(ReadAll(file), std::string("a\nb"));
    w->TriggerApp(AppAction::kLineBreak2);
    QVERIFY(w->menus().app(AppAction::kLineBreak2)->isChecked());
    QVERIFY(!w->menus().app(AppAction::kLineBreak1)->isChecked());
    QCOMPARE(w->CodeStatusText(), QStringLiteral("Shift_JIS  CR"));
    w->TriggerApp(AppAction::kSave);
    QCOMPARE(ReadAll(file), std::string("a\rb"));
    // An untitled document writes CR LF.
    auto fresh = Make();
    QVERIFY(fresh->menus().app(AppAction::kLineBreak0)->isChecked());
    QCOMPARE(fresh->CodeStatusText(), QStringLiteral("Shift_JIS  CR+LF"));
  }

  // The recovery copy is written in the document's break, so restoring it
  // brings the break back.
  void TheRecoveryCopyKeepsTheLineBreak() {
    WriteAll(Path(QStringLiteral("1-1.copy")),
             "PARVANE-RECOVERY 1\nBreak=CR\nFinalBreak=0\n\na\r\nb\r\n");
    auto w = Make({}, false);
    prompter_->answers.push_back(Answer::kYes);
    w->Startup();
    QCOMPARE(Doc(*w), Lines({"a", "b"}));
    QCOMPARE(w->editor().line_ending.kind, LineBreak::kCr);
    QVERIFY(!w->editor().line_ending.final_break);
  }

  // Opening another file while one is modified saves the modified one in its
  // own code and break, not in the new file's.
  void OpeningAFileSavesTheModifiedOneInItsOwnCode() {
    const QString euc = Path(QStringLiteral("euc.txt"));
    const std::string chotto = "\xa4\xc1\xa4\xe7\xa4\xc3\xa4\xc8";  // ちょっと
    const std::string hon = "\xa4\xdb\xa4\xf3";  // ほん: F3 is no Shift_JIS trail byte
    WriteAll(euc, chotto + "\n" + hon + "\n");
    const QString utf8 = Path(QStringLiteral("utf8.txt"));
    WriteAll(utf8, "\xef\xbb\xbfx\r\ny");
    auto w = Make({euc});
    QCOMPARE(Doc(*w).size(), std::size_t{2});
    QCOMPARE(w->editor().save_code, SaveCode::kEucJp);
    w->TriggerCommand(3);
    prompter_->answers.push_back(Answer::kYes);
    w->DropFiles({utf8}, false);
    QCOMPARE(ReadAll(euc), hon + "\n" + chotto + "\n");
    QCOMPARE(Doc(*w), Lines({"x", "y"}));
    QCOMPARE(w->editor().save_code, SaveCode::kUtf8);
    QCOMPARE(w->editor().line_ending.kind, LineBreak::kCrLf);
    QVERIFY(!w->editor().line_ending.final_break);
    QCOMPARE(w->CodeStatusText(), QStringLiteral("Unicode (UTF-8)  CR+LF"));
  }

  // A find says how many rows it found and shows the first of them; the
  // next command works on them, one row too.
  void AFindReportsItsRowsAndTheNextCommandUsesThem() {
    auto w = Make();
    Lines lines;
    for (int i = 0; i < 500; ++i) lines.push_back("row " + std::to_string(i));
    w->editor().doc.SetLines(lines);
    w->model()->EndChange();
    w->resize(400, 300);
    RunAsCommand(w->editor(), SearchCommand(SearchMode::kPlain, false),
                 [&] { FindRows(w->editor(), "row 480", SearchMode::kPlain, false); });
    QCOMPARE(w->StatusText(), QString::fromUtf8("1 行見つかりました"));
    QVERIFY(w->view()->selectionModel()->isRowSelected(480, QModelIndex()));
    QVERIFY(w->view()->viewport()->rect().intersects(
        w->view()->visualRect(w->model()->index(480, 0))));
    w->TriggerCommand(3);  // 逆にする: the found row alone, so nothing moves
    QCOMPARE(Doc(*w), lines);
    QVERIFY(w->view()->selectionModel()->isRowSelected(480, QModelIndex()));
    RunAsCommand(w->editor(), SearchCommand(SearchMode::kPlain, false),
                 [&] { FindRows(w->editor(), "nothing", SearchMode::kPlain, false); });
    QCOMPARE(w->StatusText(), QString::fromUtf8("見つかりませんでした"));
    QCOMPARE(w->editor().doc.SelectedCount(), 0u);
    w->TriggerCommand(3);  // 逆にする: nothing to work on
    QCOMPARE(Doc(*w), lines);
  }

  void ACommandThatRunsOutOfMemoryIsReportedAndChangesNothing() {
    const QString file = Path(QStringLiteral("memo.txt"));
    WriteAll(file, Sjis("い\r\nう\r\nあ\r\nえ\r\n"));
    MainWindowSetup setup;
    setup.paths = SettingsPathsFor(QStringToPath(Path(QStringLiteral("parvane.ini"))));
    setup.files = {file};
    setup.prompter = std::make_unique<ScriptedPrompter>(&log_);
    StarvedWindow w(std::move(setup));
    w.Startup();
    const Lines before = Doc(w);
    QCOMPARE(before.size(), std::size_t{4});

    w.starve = true;
    QVERIFY(w.TriggerCommand(3));  // 逆にする, stopped after its first swap
    QVERIFY(!w.starve);
    QCOMPARE(log_.messages.size(), 1);
    QCOMPARE(log_.messages.back(), QString::fromUtf8("メモリが足りないため、処理を中止しました。"));
    QCOMPARE(log_.icons.back(), MessageIcon::kError);
    QCOMPARE(Doc(w), before);
    QVERIFY(w.editor().work_lines.empty());
    QVERIFY(!w.busy());
    QCOMPARE(w.model()->rowCount(), 4);

    // Memory is there again: the same command now runs to its end.
    QVERIFY(w.TriggerCommand(3));
    QCOMPARE(Doc(w), Lines({Sjis("え"), Sjis("あ"), Sjis("う"), Sjis("い")}));
    QCOMPARE(log_.messages.size(), 1);
  }

  void DecliningTheRecoveryCopyKeepsItUntilExit() {
    WriteAll(Path(QStringLiteral("1-1.copy")), "PARVANE-RECOVERY 1\n\nx\r\n");
    auto w = Make({}, false);
    prompter_->answers.push_back(Answer::kNo);
    w->Startup();
    QVERIFY(w->editor().doc.empty());
    QVERIFY(QFile::exists(Path(QStringLiteral("1-1.copy"))));
    // Held by this instance now: a second one starting meanwhile is not asked.
    auto second = Make({}, false);
    second->Startup();
    QCOMPARE(log_.messages.size(), 1);
    second->Shutdown();
    QVERIFY(QFile::exists(Path(QStringLiteral("1-1.copy"))));
    w->Shutdown();
    QVERIFY(!QFile::exists(Path(QStringLiteral("1-1.copy"))));
  }

  void ClipboardLinkedModeFollowsTheClipboard() {
    auto w = Make();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromUtf8("一\n二\n"));
    QCoreApplication::processEvents();
    w->TriggerApp(AppAction::kClipboardLink);
    QVERIFY(w->clipboard_linked());
    QVERIFY(w->menus().app(AppAction::kClipboardLink)->isChecked());
    QCOMPARE(Doc(*w), Lines({Sjis("一"), Sjis("二")}));
    clipboard->setText(QString::fromUtf8("a\tb\n"));
    QTRY_COMPARE(Doc(*w), Lines({"a,b"}));
    QVERIFY(!w->editor().modified);
    w->TriggerApp(AppAction::kClipboardLink);
    QVERIFY(!w->clipboard_linked());
    clipboard->setText(QStringLiteral("z"));
    QCoreApplication::processEvents();
    QCOMPARE(Doc(*w), Lines({"a,b"}));
  }

  void ClosingAModifiedUntitledDocumentStaysOpenWhenSaveAsIsCancelled() {
    auto w = Make();
    w->editor().doc.SetLines({"x"});
    w->editor().modified = true;
    prompter_->answers.push_back(Answer::kYes);  // save the changes?
    prompter_->files.push_back(std::nullopt);    // the save-as dialog is cancelled
    QVERIFY(!w->close());
    QCOMPARE(log_.save_dialogs, 1);
    prompter_->answers.push_back(Answer::kNo);
    QVERIFY(w->close());
  }

  void RecordingShowsTheStepsAndWritesTheFile() {
    auto w = Make();
    w->editor().doc.SetLines({"b", "a"});
    w->TriggerApp(AppAction::kRecordStart);
    QVERIFY(!w->record_list()->isHidden());
    QVERIFY(!w->menus().app(AppAction::kRecordStart)->isEnabled());
    QVERIFY(w->menus().app(AppAction::kRecordEnd)->isEnabled());
    w->TriggerCommand(1);
    QCOMPARE(w->record_list()->count(), 1);
    QCOMPARE(w->record_list()->item(0)->text(), QString::fromUtf8("[五十音順にする]"));
    const QString pvx = Path(QStringLiteral("sort.pvx"));
    prompter_->inputs.push_back(QString::fromUtf8("並べる"));
    prompter_->files.push_back(pvx);
    w->TriggerApp(AppAction::kRecordEnd);
    QVERIFY(w->record_list()->isHidden());
    QVERIFY(w->menus().app(AppAction::kRecordStart)->isEnabled());
    QCOMPARE(ReadAll(pvx), Sjis("TITLE=並べる\r\n[五十音順にする]\r\n"));
  }

  void UserCommandCaptionsComeFromTheBoundFiles() {
    const QString pvx = Path(QStringLiteral("u.pvx"));
    WriteAll(pvx, Sjis("TITLE=整形\r\n[逆にする]\r\n"));
    WriteAll(Path(QStringLiteral("parvane.ini")),
             "[Parvane]\nUser.Com3.File=" + pvx.toStdString() + "\n");
    auto w = Make();
    QCOMPARE(w->menus().app(AppAction::kUser3)->text(), QString::fromUtf8("整形(&3)"));
    w->editor().doc.SetLines({"1", "2"});
    w->TriggerApp(AppAction::kUser3);
    QCOMPARE(Doc(*w), Lines({"2", "1"}));
  }

  void TheBusyPanelIsCentredAndTheGaugeFillsUpTheRightEdge() {
    auto w = Make();
    w->resize(640, 480);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    BusyPanel* panel = w->busy_panel();
    const QWidget* area = panel->parentWidget();
    w->OnCommandStarted(QString::fromUtf8("五十音順に並べ替えています…"));
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->size(), QSize(320, 40));
    QCOMPARE(panel->pos(), QPoint((area->width() - 320) / 2, (area->height() - 40) / 2));
    QCOMPARE(panel->text(), QString::fromUtf8("五十音順に並べ替えています…"));
    QCOMPARE(panel->frameShadow(), QFrame::Sunken);
    w->OnProgress(25);
    GaugeStrip* gauge = w->gauge();
    QVERIFY(gauge->isVisible());
    QCOMPARE(gauge->geometry(), QRect(area->width() - 16, 0, 16, area->height()));
    const QImage strip = gauge->grab().toImage();
    QCOMPARE(QColor(strip.pixel(8, 2)), QColor(Qt::blue));
    QCOMPARE(QColor(strip.pixel(8, strip.height() - 3)), QColor(Qt::white));
    QCOMPARE(QColor(strip.pixel(8, strip.height() * 7 / 10)), QColor(Qt::blue));
    w->OnCommandEnded();
    QVERIFY(!panel->isVisible());
    QVERIFY(!gauge->isVisible());
    QCOMPARE(w->StatusText(), QStringLiteral("Parvane - Version 1.15"));
    // A command without a message shows no panel, only the busy menu.
    w->OnCommandStarted(QString());
    QVERIFY(!panel->isVisible());
    QCOMPARE(w->menu_stack()->currentWidget(), static_cast<QWidget*>(w->menus().busy_bar));
    w->OnCommandEnded();
  }

  void KeysAndShortcutsOnTheViewReachTheirCommands() {
    auto w = Make();
    w->resize(640, 480);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->editor().doc.SetLines({"a", "b", "c"});
    w->model()->EndChange();
    LineView* view = w->view();
    view->setFocus();
    view->selectionModel()->setCurrentIndex(w->model()->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(Doc(*w), Lines({"a", " b", "c"}));
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(Doc(*w), Lines({"a", "b", "c"}));
    // The window's copy, not the list's own: one selected row copies everything.
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\nb\nc\n"));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(Doc(*w), Lines({"a", "", "b", "c"}));
    QCOMPARE(w->editor().doc.current_row(), 2L);
    QTest::keyClick(view, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(Doc(*w), Lines({"a", "b", "", "c"}));
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(Doc(*w), Lines({"a", "", "c"}));
    // A double-click copies the row's text without a line end.
    const QRect cell = view->visualRect(w->model()->index(2, 0));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("c"));
  }

  void AJumpBringsTheRowToTheTopAndAFarNumberMovesNothing() {
    auto w = Make();
    w->resize(640, 480);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Lines lines;
    for (int i = 1; i <= 1000; ++i) lines.push_back(std::to_string(i));
    w->editor().doc.SetLines(lines);
    w->model()->EndChange();
    LineView* view = w->view();
    view->selectionModel()->setCurrentIndex(w->model()->index(40, 0),
                                            QItemSelectionModel::ClearAndSelect);
    view->scrollToBottom();
    // Row 41 is already current but out of sight: the jump still shows it on top.
    prompter_->inputs.push_back(QStringLiteral("41"));
    QVERIFY(w->TriggerApp(AppAction::kJump));
    QCOMPARE(log_.prompts.last(), QString::fromUtf8("ジャンプ先の行番号は？"));
    QCOMPARE(view->indexAt(QPoint(5, 5)).row(), 40);
    QCOMPARE(w->editor().doc.current_row(), 40L);
    prompter_->inputs.push_back(QStringLiteral("500"));
    w->TriggerApp(AppAction::kJump);
    QCOMPARE(view->indexAt(QPoint(5, 5)).row(), 499);
    QCOMPARE(w->editor().doc.current_row(), 499L);
    for (const char* answer : {"1001", "0", "x"}) {
      prompter_->inputs.push_back(QString::fromLatin1(answer));
      w->TriggerApp(AppAction::kJump);
      QCOMPARE(view->indexAt(QPoint(5, 5)).row(), 499);
      QCOMPARE(w->editor().doc.current_row(), 499L);
    }
    QVERIFY(!w->editor().modified);
  }

  void FileInformationIsAPlainBoxAndTheStatusBarCanBeHidden() {
    auto w = Make();
    w->TriggerApp(AppAction::kFileInfo);
    QVERIFY(log_.messages.isEmpty());
    w->editor().doc.SetLines({Sjis("あい"), "b"});
    w->model()->EndChange();
    w->TriggerApp(AppAction::kFileInfo);
    QCOMPARE(log_.messages.size(), 1);
    QCOMPARE(log_.icons.first(), MessageIcon::kNone);
    QCOMPARE(log_.messages.first(),
             QString::fromUtf8("無題    \n\n"
                               "　文字数 = 7    \n"
                               "　サイズ = 9    \n"
                               "　総行数 = 2    \n"
                               "　最も長い行の行番号 = 1    \n"
                               "　 … あい    \n"
                               "　最も長い行のサイズ = 4    \n"
                               "　最も長い行の文字数 = 2    \n"
                               "　文字コード = Shift_JIS    \n"
                               "　改行コード = CR+LF    \n"));
    // Rows are as high as the text plus two pixels.
    QCOMPARE(w->view()->sizeHintForRow(0), QFontMetrics(w->view()->font()).height() + 2);
    QVERIFY(!w->statusBar()->isHidden());
    w->TriggerApp(AppAction::kStatusBar);
    QVERIFY(w->statusBar()->isHidden());
    QVERIFY(!w->menus().app(AppAction::kStatusBar)->isChecked());
    w->Shutdown();
    QVERIFY(ReadAll(Path(QStringLiteral("parvane.ini"))).find("Control.StatusBar=0") !=
            std::string::npos);
  }

  void EveryShownItemHasAMnemonicOfItsOwnInItsMenu() {
    auto w = Make();
    QStringList faults;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
      QSet<QChar> letters;
      for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const QString text = a->text();
        const qsizetype amp = text.indexOf(QStringLiteral("(&"));
        if (amp < 0 || amp + 2 >= text.size()) {
          faults << menu->title() + QStringLiteral(" > ") + text;
          continue;
        }
        const QChar letter = text[amp + 2].toUpper();
        if (letters.contains(letter)) faults << menu->title() + QStringLiteral(" twice: ") + letter;
        letters.insert(letter);
        if (a->menu() != nullptr && a->menu() != w->menus().recent) walk(a->menu());
      }
    };
    for (QAction* top : w->menus().bar->actions()) walk(top->menu());
    QCOMPARE(faults, QStringList());
    // Alt+F4 still closes, beside Ctrl+Q.
    QVERIFY(w->menus().app(AppAction::kExit)->shortcuts().contains(
        QKeySequence(QStringLiteral("Alt+F4"))));
  }

  void RecentFilesFollowOpeningAndSurviveARestartWithoutMissingOnes() {
    const QString a = Path(QStringLiteral("a.txt"));
    const QString b = Path(QStringLiteral("b & c.txt"));
    WriteAll(a, "a\r\n");
    WriteAll(b, "b\r\n");
    {
      auto w = Make({a});
      QCOMPARE(w->recent_files(), QStringList({a}));
      w->DropFiles({b}, false);
      w->DropFiles({a}, false);
      QCOMPARE(w->recent_files(), QStringList({a, b}));
      // Appending keeps the document's name: the list does not move.
      w->DropFiles({b}, true);
      QCOMPARE(w->recent_files(), QStringList({a, b}));
      QCOMPARE(w->menus().recent->actions().size(), 2);
      QCOMPARE(w->menus().recent->actions()[1]->text(),
               QStringLiteral("&2 ") + QString(b).replace(QStringLiteral("&"), QStringLiteral("&&")));
      w->Shutdown();
    }
    QFile::remove(a);
    auto w = Make();
    QCOMPARE(w->recent_files(), QStringList({b}));
    QVERIFY(w->menus().recent->isEnabled());
    w->menus().recent->actions().first()->trigger();
    QCOMPARE(Doc(*w), Lines({"b"}));
    QCOMPARE(PathToQString(w->editor().current_file_name), b);
    // Saving under another name puts that name in front.
    const QString saved = Path(QStringLiteral("saved.txt"));
    prompter_->files = {saved};
    w->TriggerApp(AppAction::kSaveAs);
    QCOMPARE(w->recent_files(), QStringList({saved, b}));
  }

  void ExtendedSelectionNeverLeavesTheLastRowUnselected() {
    auto w = Make();
    w->resize(400, 300);
    w->editor().doc.SetLines({"a", "b", "c"});
    w->model()->EndChange();
    LineView* view = w->view();
    view->selectionModel()->setCurrentIndex(w->model()->index(1, 0),
                                            QItemSelectionModel::ClearAndSelect);
    const QPoint row1 = view->visualRect(w->model()->index(1, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, row1);
    QCOMPARE(w->editor().doc.SelectedRows(), (std::vector<std::size_t>{1}));
    QVERIFY(view->selectionModel()->isRowSelected(1, QModelIndex()));
    // So Delete deletes that row, as a person sees it selected.
    w->TriggerCommand(40);
    QCOMPARE(Doc(*w), Lines({"a", "c"}));
    // In the standard style a click takes the only selected row away.
    w->TriggerApp(AppAction::kSelectionStandard);
    view->selectionModel()->setCurrentIndex(w->model()->index(0, 0),
                                            QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(w->model()->index(0, 0)).center());
    QCOMPARE(w->editor().doc.SelectedCount(), std::size_t{0});
  }

  void AJumpReadsADecimalNumberOnly() {
    auto w = Make();
    Lines lines;
    for (int i = 1; i <= 40; ++i) lines.push_back(std::to_string(i));
    w->editor().doc.SetLines(lines);
    w->model()->EndChange();
    prompter_->inputs = {QStringLiteral("$10"), QStringLiteral("0x10"), QStringLiteral("x10"),
                         QStringLiteral(" 16")};
    const long before = w->editor().doc.current_row();
    for (int i = 0; i < 3; ++i) {
      w->TriggerApp(AppAction::kJump);
      QCOMPARE(w->editor().doc.current_row(), before);
    }
    w->TriggerApp(AppAction::kJump);
    QCOMPARE(w->editor().doc.current_row(), 15L);
  }

  void FileInformationAddsTheFileOnDisk() {
    const QString file = Path(QStringLiteral("utf8.txt"));
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += "あいうえお\n";  // 16 bytes a line on disk
    WriteAll(file, bytes);
    auto w = Make({file});
    w->TriggerApp(AppAction::kFileInfo);
    QCOMPARE(log_.messages.size(), 1);
    const QString text = log_.messages.first();
    // The core's figures are of the Shift_JIS text (12 bytes a line).
    QVERIFY2(text.contains(QString::fromUtf8("　サイズ = 1200    \n")), qPrintable(text));
    QVERIFY2(text.contains(QString::fromUtf8("　改行コード = LF    \n")), qPrintable(text));
    QVERIFY2(text.endsWith(QString::fromUtf8("　ディスク上のサイズ = 1.6 KB (1,600 バイト)    \n")),
             qPrintable(text));
  }

  void RestoredBoundsKeepTheCurrentValueForAMissingKey() {
    WriteAll(Path(QStringLiteral("parvane.ini")),
             "[Parvane]\nWindow.Position=1\nWindow.Left=30\nWindow.Width=500\n");
    auto w = Make({}, false);
    w->setGeometry(70, 80, 300, 200);
    w->Startup();
    QCOMPARE(w->geometry(), QRect(30, 80, 500, 200));
  }

  void CharactersOutsideCodePage932CrossEveryBoundary() {
    const QString file = Path(QStringLiteral("emoji.txt"));
    const std::string bytes = "\xEF\xBB\xBF\xF0\x9F\x98\x80x\r\n";
    WriteAll(file, bytes);
    auto w = Make();
    w->DropFiles({file}, false);
    QCOMPARE(Doc(*w), Lines({"\xF0\x40x"}));
    // The row shows the character; the clipboard carries it both ways.
    QCOMPARE(w->model()->data(w->model()->index(0, 0)).toString(), QString::fromUtf8("😀x"));
    QCOMPARE(w->view()->painter().DisplayText("\xF0\x40x"), QString::fromUtf8("😀x"));
    w->host().SetClipboardText("\xF0\x40");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("😀"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("é😀"));
    QCOMPARE(w->host().ClipboardText(), std::string("\xF0\x41\xF0\x40"));
    // An input box answer too.
    prompter_->inputs.push_back(QString::fromUtf8("ß"));
    QCOMPARE(w->host().InputBox("", "", "").value_or(""), std::string("\xF0\x42"));

    // Saving in Shift_JIS asks first; No keeps the file.
    w->editor().options.backup = false;
    w->editor().modified = true;
    w->TriggerApp(AppAction::kSaveCode0);
    prompter_->answers.push_back(Answer::kNo);
    w->TriggerApp(AppAction::kSave);
    QCOMPARE(log_.messages.last(),
             QString::fromUtf8("1 文字は Shift_JIS で保存できません。「?」に置き換えて保存しますか？"));
    QCOMPARE(log_.icons.last(), MessageIcon::kQuestion);
    QCOMPARE(ReadAll(file), bytes);
    QVERIFY(w->editor().modified);
    prompter_->answers.push_back(Answer::kYes);
    w->TriggerApp(AppAction::kSave);
    QCOMPARE(ReadAll(file), std::string("?x\r\n"));
    QVERIFY(!w->editor().modified);
  }

  void UndoAndRedoNameWhatTheyWouldDoAndAreGreyWithNothingToDo() {
    const QString file = Path(QStringLiteral("memo.txt"));
    WriteAll(file, Sjis("い\r\nう\r\nあ\r\n"));
    auto w = Make({file});
    QAction* undo = w->menus().app(AppAction::kUndo);
    QAction* redo = w->menus().app(AppAction::kRedo);
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す(&U)"));
    QVERIFY(!undo->isEnabled());
    QCOMPARE(redo->text(), QString::fromUtf8("やり直し(&Y)"));
    QVERIFY(!redo->isEnabled());
    QCOMPARE(redo->shortcuts(), QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Y")),
                                                     QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));

    QVERIFY(w->TriggerCommand(1));  // 五十音順にする
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す: 五十音順にする(&U)"));
    QVERIFY(w->TriggerCommand(3));  // 逆にする
    QCOMPARE(Doc(*w), Lines({Sjis("う"), Sjis("い"), Sjis("あ")}));
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す: 逆にする(&U)"));
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    // Through the items, as a click would: a greyed item does nothing.
    undo->trigger();
    undo->trigger();
    QCOMPARE(Doc(*w), Lines({Sjis("い"), Sjis("う"), Sjis("あ")}));
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す(&U)"));
    QVERIFY(!undo->isEnabled());
    undo->trigger();
    QCOMPARE(Doc(*w), Lines({Sjis("い"), Sjis("う"), Sjis("あ")}));
    QCOMPARE(redo->text(), QString::fromUtf8("やり直し: 五十音順にする(&Y)"));
    QVERIFY(redo->isEnabled());

    redo->trigger();
    QCOMPARE(Doc(*w), Lines({Sjis("あ"), Sjis("い"), Sjis("う")}));
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す: 五十音順にする(&U)"));
    QCOMPARE(redo->text(), QString::fromUtf8("やり直し: 逆にする(&Y)"));

    // A new command forgets what could be brought back.
    QVERIFY(w->TriggerCommand(3));
    QCOMPARE(redo->text(), QString::fromUtf8("やり直し(&Y)"));
    QVERIFY(!redo->isEnabled());
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す: 逆にする(&U)"));
  }

  void EscOrTheCancelButtonStopsALongCommandLeavingNoTrace() {
    for (const bool by_key : {true, false}) {
      auto w = Make();
      w->resize(640, 480);
      w->show();
      w->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w.get()));
      const Lines lines = ManyLines();
      w->editor().doc.SetLines(lines);
      w->model()->EndChange();
      w->view()->setFocus();
      QVERIFY(!w->menus().cancel->isEnabled());
      QCOMPARE(w->menus().cancel_button->text(), QString::fromUtf8("中止"));
      bool while_busy = false;
      // Runs in the first pass of the event loop the command makes.
      QTimer::singleShot(0, w.get(), [&] {
        while_busy = w->busy() && w->menus().cancel_button->isVisible();
        if (by_key) {
          QTest::keyClick(w->view(), Qt::Key_Escape);
        } else {
          QTest::mouseClick(w->menus().cancel_button, Qt::LeftButton);
        }
      });
      QVERIFY(w->TriggerCommand(1));
      QVERIFY(while_busy);
      QCOMPARE(Doc(*w), lines);
      QVERIFY(!w->editor().modified);
      QCOMPARE(w->editor().UndoDepth(), std::size_t{0});
      QVERIFY(!w->menus().app(AppAction::kUndo)->isEnabled());
      QCOMPARE(log_.messages, QStringList());
      QCOMPARE(w->StatusText(), QString::fromUtf8("中止しました"));
      QCOMPARE(w->menu_stack()->currentWidget(), static_cast<QWidget*>(w->menus().bar));
      QVERIFY(!w->menus().cancel->isEnabled());
      QVERIFY(!w->gauge()->isVisible());

      // The request does not outlive its command.
      QVERIFY(w->TriggerCommand(1));
      QCOMPARE(w->editor().doc.line(0), Sjis("行50000"));
      QCOMPARE(w->StatusText(), QStringLiteral("Parvane - Version 1.15"));
      QCOMPARE(w->editor().UndoDepth(), std::size_t{1});
    }
  }

  void ACancelledUserCommandGoesBackToWhereItsRunBegan() {
    const QString pvx = Path(QStringLiteral("u.pvx"));
    // The first step changes the document; the second asks, then is stopped.
    WriteAll(pvx, Sjis("TITLE=整形\r\n[逆にする]\r\n[行頭に文字列を追加]\r\n"));
    WriteAll(Path(QStringLiteral("parvane.ini")),
             "[Parvane]\nUser.Com1.File=" + pvx.toStdString() + "\n");
    auto prompter = std::make_unique<CancellingPrompter>(&log_);
    CancellingPrompter* person = prompter.get();
    auto w = Make({}, true, std::move(prompter));
    person->inputs.push_back(QStringLiteral("> "));
    person->on_input = [&w] { w->host().RequestCancel(); };
    const Lines lines = ManyLines();
    w->editor().doc.SetLines(lines);
    w->model()->EndChange();
    QVERIFY(w->TriggerApp(AppAction::kUser1));
    QCOMPARE(log_.prompts.size(), 1);
    QCOMPARE(Doc(*w), lines);
    QVERIFY(!w->editor().modified);
    QCOMPARE(w->editor().UndoDepth(), std::size_t{0});
    QCOMPARE(log_.messages, QStringList());
    QCOMPARE(w->StatusText(), QString::fromUtf8("中止しました"));
    QCOMPARE(w->model()->rowCount(), static_cast<int>(lines.size()));
  }

  void AMillionRowsLoadAndSelectQuickly() {
    std::string text;
    text.reserve(20 * 1000000);
    for (int i = 0; i < 1000000; ++i) text += Sjis("日本語の行です") + std::to_string(i) + "\r\n";
    const QString file = Path(QStringLiteral("big.txt"));
    WriteAll(file, text);
    auto w = Make();
    w->resize(800, 600);
    w->DropFiles({file}, false);
    QCOMPARE(w->model()->rowCount(), 1000000);
    // A command that selects every row, as "すべて選択" does.
    w->OnCommandStarted(QString());
    w->editor().doc.SelectAll();
    w->OnCommandEnded();
    QCOMPARE(w->editor().doc.SelectedCount(), std::size_t{1000000});
    QCOMPARE(w->view()->selectionModel()->selection().size(), 1);
    w->view()->UpdateViewMetrics();
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::MainWindowTest)
#include "main_window_test.moc"
