// The options dialog: the live check boxes and the trash box's rule, the
// path shortening, binding a slot at once, OK writing the settings and
// Cancel writing nothing.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <memory>

#include "app/batch_window.h"
#include "app/line_view.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/qt_text.h"
#include "app/secondary_windows.h"
#include "automation/pvx_file.h"
#include "editor/options.h"
#include "scripted_prompter.h"
#include "text/literal.h"

namespace parvane {
namespace {

int CharCount(const QString& text) { return static_cast<int>(text.size()); }

IniFile ReadIni(const QString& path) {
  IniFile ini;
  std::string error;
  ini.Load(QStringToPath(path), &error);
  return ini;
}

}  // namespace

class OptionsDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  PromptLog log_;
  ScriptedPrompter* prompter_ = nullptr;

  QString Path(const char* name) const { return dir_->filePath(QString::fromUtf8(name)); }
  QString Ini() const { return Path("parvane.ini"); }

  std::unique_ptr<MainWindow> Make() {
    MainWindowSetup setup;
    setup.paths = SettingsPathsFor(QStringToPath(Ini()));
    auto prompter = std::make_unique<ScriptedPrompter>(&log_);
    prompter_ = prompter.get();
    setup.prompter = std::move(prompter);
    auto w = std::make_unique<MainWindow>(std::move(setup));
    w->Startup();
    return w;
  }

  QString WritePvx(const char* name, const Lines& lines) {
    const QString path = Path(name);
    std::string error;
    if (!WritePvxFile(QStringToPath(path), lines, &error)) return QString();
    return path;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    log_ = PromptLog();
  }

  void ShortenedPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");
    const QString p = QStringLiteral("/home/user/macros/name.pvx");
    QTest::newRow("fits") << p << 26 << p;
    QTest::newRow("one folder") << p << 25 << QStringLiteral("/.../user/macros/name.pvx");
    QTest::newRow("two folders") << p << 24 << QStringLiteral("/.../macros/name.pvx");
    QTest::newRow("all folders") << p << 19 << QStringLiteral("/.../name.pvx");
    QTest::newRow("no root") << p << 12 << QStringLiteral(".../name.pvx");
    QTest::newRow("name only") << p << 11 << QStringLiteral("name.pvx");
    QTest::newRow("nothing fits") << p << 3 << QStringLiteral("name.pvx");
    QTest::newRow("in the root") << QStringLiteral("/name.pvx") << 5 << QStringLiteral("name.pvx");
    // A folder whose name begins with a dot is a folder, not the mark.
    QTest::newRow("dot folder") << QStringLiteral("/.a/b/c/x.pvx") << 12
                                << QStringLiteral("/.../c/x.pvx");
  }

  void ShortenedPath() {
    QFETCH(QString, path);
    QFETCH(int, width);
    QFETCH(QString, shown);
    QCOMPARE(parvane::ShortenedPath(path, width, CharCount), shown);
  }

  void TheFontListHoldsFixedPitchJapaneseFacesOnly() {
    const QStringList fonts = FixedPitchJapaneseFonts();
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& f : fonts) {
      QVERIFY(japanese.contains(f));
      QVERIFY(!f.startsWith(QLatin1Char('@')));
    }
    if (japanese.contains(QStringLiteral("Noto Sans Mono CJK JP"))) {
      QVERIFY(fonts.contains(QStringLiteral("Noto Sans Mono CJK JP")));
    }
    if (japanese.contains(QStringLiteral("Noto Sans CJK JP"))) {
      QVERIFY(!fonts.contains(QStringLiteral("Noto Sans CJK JP")));
    }
  }

  void TheSizeListIsExact() {
    auto w = Make();
    QComboBox* sizes = w->windows()->options_dialog()->size_list();
    QStringList shown;
    for (int i = 0; i < sizes->count(); ++i) shown << sizes->itemText(i);
    QCOMPARE(shown.join(QLatin1Char(' ')),
             QStringLiteral("8 9 10 11 12 14 16 18 20 22 24 26 28 36 48 72"));
  }

  void TheTrashBoxFollowsTheBackupBoxAndBoxesAreLive() {
    auto w = Make();
    OptionsDialog* dialog = w->windows()->options_dialog();
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    QVERIFY(dialog->backup_box()->isChecked());
    QVERIFY(dialog->trash_box()->isEnabled());
    dialog->backup_box()->click();
    QVERIFY(!dialog->trash_box()->isEnabled());
    QVERIFY(!w->editor().options.backup);
    dialog->backup_box()->click();
    QVERIFY(dialog->trash_box()->isEnabled());
    dialog->detect_utf8_box()->click();
    QVERIFY(!w->editor().options.detect_utf8);
  }

  void OkWritesEveryOptionAndAppliesTheFont() {
    auto w = Make();
    OptionsDialog* dialog = w->windows()->options_dialog();
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    dialog->full_path_box()->click();
    dialog->charset_fixed_box()->click();
    dialog->size_list()->setCurrentIndex(dialog->size_list()->findText(QStringLiteral("20")));
    QCOMPARE(w->editor().options.font_size, 14);  // not before OK
    dialog->pages()->setCurrentIndex(1);
    dialog->slot_list()->setCurrentIndex(2);
    const QString pvx = WritePvx("tidy.pvx", {PvxTitleLine(Sjis("整形")), Sjis("[逆にする]")});
    prompter_->files = {pvx};
    dialog->change_button()->click();
    dialog->ok_button()->click();

    QVERIFY(dialog->ok_button()->isEnabled());
    const IniFile ini = ReadIni(Ini());
    QCOMPARE(ini.Get("Window.FullPath").value_or("?"), std::string("1"));
    QCOMPARE(ini.Get("Window.Position").value_or("?"), std::string("0"));
    QCOMPARE(ini.Get("File.CharsetFixed").value_or("?"), std::string("1"));
    QCOMPARE(ini.Get("File.AutoBackup").value_or("?"), std::string("1"));
    QCOMPARE(ini.Get("File.Backup").value_or("?"), std::string("1"));
    QCOMPARE(ini.Get("File.Trash").value_or("?"), std::string("1"));
    QCOMPARE(ini.Get("File.DetectUtf8").value_or("?"), std::string("1"));
    QCOMPARE(ini.Get("Font.Name").value_or("?"), std::string("FixedSys"));
    QCOMPARE(ini.Get("Font.Size").value_or("?"), std::string("20"));
    QCOMPARE(ini.Get("User.Com3.File").value_or("?"), pvx.toStdString());
    QCOMPARE(ini.Get("User.Com0.File").value_or("?"), std::string());
    QCOMPARE(w->editor().options.font_size, 20);
    QCOMPARE(w->view()->font().pointSize(), 20);
  }

  void CancelKeepsBoxesAndBindingsButWritesNothing() {
    auto w = Make();
    OptionsDialog* dialog = w->windows()->options_dialog();
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    dialog->position_box()->click();
    dialog->size_list()->setCurrentIndex(dialog->size_list()->findText(QStringLiteral("36")));
    dialog->slot_list()->setCurrentIndex(0);
    const QString pvx = WritePvx("one.pvx", {PvxTitleLine(Sjis("一")), Sjis("[逆にする]")});
    prompter_->files = {pvx};
    dialog->change_button()->click();
    dialog->cancel_button()->click();

    QVERIFY(!QFileInfo::exists(Ini()));
    QVERIFY(w->editor().options.window_position);
    QCOMPARE(w->editor().options.user_command_files[0], pvx.toStdString());
    QCOMPARE(w->editor().options.font_size, 14);
    // The next showing starts from the view's font again.
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    QCOMPARE(dialog->preview_font_size(), 14);
    QCOMPARE(dialog->size_list()->currentText(), QStringLiteral("14"));
    QVERIFY(dialog->position_box()->isChecked());
  }

  void TheUndoBudgetIsReadAtEachShowingAndTakesEffectWithOkOnly() {
    {
      std::ofstream out(QStringToPath(Ini()), std::ios::binary);
      out << "[Parvane]\nUndo.MemoryMB=300\n";
    }
    auto w = Make();
    OptionsDialog* dialog = w->windows()->options_dialog();
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    QSpinBox* box = dialog->undo_memory_box();
    QCOMPARE(box->value(), 300);
    QCOMPARE(box->minimum(), 0);
    QCOMPARE(box->maximum(), 65536);
    box->setValue(5);
    dialog->cancel_button()->click();
    QCOMPARE(w->editor().options.undo_memory_mb, 300);
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    QCOMPARE(box->value(), 300);

    box->setValue(2048);
    dialog->ok_button()->click();
    QCOMPARE(w->editor().options.undo_memory_mb, 2048);
    QCOMPARE(ReadIni(Ini()).Get("Undo.MemoryMB").value_or("?"), std::string("2048"));
  }

  void ASizeNotInTheListShows12AndKeepsTheDocumentSize() {
    auto w = Make();
    w->editor().options.font_size = 13;
    OptionsDialog* dialog = w->windows()->options_dialog();
    dialog->Prepare(OptionsDialog::Page::kGeneral);
    QCOMPARE(dialog->size_list()->currentText(), QStringLiteral("12"));
    QCOMPARE(dialog->preview_font_size(), 13);
    dialog->ok_button()->click();
    QCOMPARE(ReadIni(Ini()).Get("Font.Size").value_or("?"), std::string("13"));
  }

  void BindingASlotChangesItsEntryCaptionAndTheBatchList() {
    auto w = Make();
    OptionsDialog* dialog = w->windows()->options_dialog();
    BatchWindow* batch = w->windows()->batch_window();
    batch->ShowWindow();
    batch->choices()->setCurrentIndex(4);
    dialog->Prepare(OptionsDialog::Page::kUser);
    QCOMPARE(dialog->path_label()->text(), QString::fromUtf8("(未設定)"));
    dialog->slot_list()->setCurrentIndex(2);
    const QString pvx = WritePvx("tidy.pvx", {PvxTitleLine(Sjis("整形")), Sjis("[逆にする]")});
    prompter_->files = {pvx};
    dialog->change_button()->click();

    QCOMPARE(dialog->slot_list()->currentIndex(), 2);
    QCOMPARE(dialog->slot_list()->itemText(2), QString::fromUtf8("(3) 整形"));
    QCOMPARE(w->menus().app(AppAction::kUser3)->text(), QString::fromUtf8("整形(&3)"));
    QCOMPARE(batch->choices()->itemText(2), QString::fromUtf8("(3) 整形"));
    QCOMPARE(batch->choices()->currentIndex(), 4);
    QVERIFY(!dialog->path_label()->text().isEmpty());
    QVERIFY(pvx.endsWith(dialog->path_label()->text().section(QLatin1Char('/'), -1)));

    // Without a title line: a blank title, not "無題".
    const QString bare = WritePvx("bare.pvx", {Sjis("[逆にする]")});
    prompter_->files = {bare};
    dialog->change_button()->click();
    QCOMPARE(dialog->slot_list()->itemText(2), QStringLiteral("(3) "));
    QCOMPARE(w->menus().app(AppAction::kUser3)->text(), QStringLiteral("(&3)"));

    // Cancelling the file dialog changes nothing.
    prompter_->files = {std::nullopt};
    dialog->change_button()->click();
    QCOMPARE(w->editor().options.user_command_files[2], bare.toStdString());
  }

  void TheVersionItemOpensTheVersionPage() {
    auto w = Make();
    OptionsDialog* dialog = w->windows()->options_dialog();
    int page = -1;
    QTimer::singleShot(0, dialog, [&] {
      page = dialog->pages()->currentIndex();
      dialog->reject();
    });
    QVERIFY(w->TriggerApp(AppAction::kAbout));
    QCOMPARE(page, 2);
    QVERIFY(!dialog->isVisible());
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::OptionsDialogTest)
#include "options_dialog_test.moc"
