#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <new>
#include <system_error>

#include "app/busy_panel.h"
#include "app/file_facts.h"
#include "app/line_model.h"
#include "app/line_view.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "app/secondary_windows.h"
#include "automation/command_table.h"
#include "automation/recording.h"
#include "automation/run_command.h"
#include "automation/user_commands.h"
#include "commands/editing.h"
#include "commands/view_keys.h"
#include "editor/cancel.h"
#include "editor/files.h"
#include "editor/memory_exhaustion.h"
#include "text/integer.h"
#include "text/literal.h"
#include "editor/error_text.h"

namespace parvane {
namespace {

// Pending events are processed at most this often during long work, so the
// gauge moves and the window repaints without slowing the work down.
constexpr int kPumpIntervalMs = 40;

ReturnMark MarkFromSetting(int v) {
  return v == 0 ? ReturnMark::kNone : v == 2 ? ReturnMark::kB : ReturnMark::kA;
}
RuleLine RuleFromSetting(int v) {
  return v == 0 ? RuleLine::kNone : v == 2 ? RuleLine::kSolid : RuleLine::kDotted;
}

}  // namespace

MainWindow::MainWindow(MainWindowSetup setup)
    : paths_(setup.paths.settings.empty() ? DefaultSettingsPaths() : setup.paths),
      startup_files_(setup.files),
      host_(this, setup.prompter ? std::move(setup.prompter)
                                 : std::make_unique<DialogPrompter>(this)),
      editor_(host_) {
  setWindowTitle(FromSjis(editor_.Title()));
  editor_.settings_path = paths_.settings;
  // The real values are applied when the window first shows.
  editor_.max_line_length = kMaxLineLength;
  setAcceptDrops(true);
  BuildWidgets();
  ConnectView();
  windows_ = std::make_unique<SecondaryWindows>(this);
  RebuildRecentMenu();
  ShowProductStatus();
  SyncChecks();
}

MainWindow::~MainWindow() {
  Shutdown();
  if (clipboard_linked_) SetClipboardLinked(false);
}

void MainWindow::BuildWidgets() {
  menus_ = BuildMenus(this);
  menu_stack_ = new QStackedWidget(this);
  menu_stack_->addWidget(menus_.bar);
  menu_stack_->addWidget(menus_.busy_bar);
  menu_stack_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setMenuWidget(menu_stack_);
  for (QAction* action : menus_.all) {
    connect(action, &QAction::triggered, this, [this, action] { Trigger(action); });
  }
  connect(menus_.cancel, &QAction::triggered, this, [this] {
    if (busy()) host_.RequestCancel();
  });
  connect(menus_.recent, &QMenu::aboutToShow, this, [this] {
    // A file deleted while the program runs leaves the list when it is next shown.
    recent_files_ = WithoutMissingFiles(recent_files_);
    RebuildRecentMenu();
  });
  menus_.app(AppAction::kRecordEnd)->setEnabled(false);
  // An item whose command this build lacks is shown, greyed.
  for (QAction* action : menus_.all) {
    const int code = KindOf(action).code;
    if (code == 0) continue;
    const CommandEntry* entry = CommandByCode(code);
    action->setEnabled(entry != nullptr && entry->operation != nullptr);
  }

  central_ = new QWidget(this);
  auto* layout = new QVBoxLayout(central_);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Vertical, central_);
  model_ = new LineModel(editor_.doc, this);
  model_->set_private_codes(&editor_.private_codes);
  view_ = new LineView(model_, &editor_.doc, splitter_);
  view_->SetPrivateCodes(&editor_.private_codes);
  record_list_ = new QListWidget(splitter_);
  record_list_->setUniformItemSizes(true);
  splitter_->addWidget(view_);
  splitter_->addWidget(record_list_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  record_list_->hide();
  layout->addWidget(splitter_);
  setCentralWidget(central_);
  busy_panel_ = new BusyPanel(central_);
  gauge_ = new GaugeStrip(central_);

  status_label_ = new QLabel(this);
  statusBar()->addWidget(status_label_, 1);
  code_label_ = new QLabel(this);
  statusBar()->addPermanentWidget(code_label_);
  statusBar()->setSizeGripEnabled(true);
  resize(640, 480);
}

void MainWindow::ConnectView() {
  connect(view_, &LineView::SelectionTextChanged, this, &MainWindow::ShowSelectionStatus);
  connect(view_, &LineView::EnterPressed, this,
          [this] { Dispatch([this] { InsertEmptyLine(editor_); }); });
  connect(view_, &LineView::LeftPressed, this,
          [this] { Dispatch([this] { RemoveLeadingSpace(editor_); }); });
  connect(view_, &LineView::RightPressed, this,
          [this] { Dispatch([this] { AddLeadingSpace(editor_); }); });
  connect(view_, &LineView::RowDoubleClicked, this, [this](int row) {
    Dispatch([this, row] {
      editor_.doc.set_current_row(row);
      CopyCurrentRow(editor_);
    });
  });
}

// --- start-up and shutdown ---

void MainWindow::Startup() {
  if (started_) return;
  started_ = true;
  editor_.options = LoadSettings(paths_.settings);
  const Options& o = editor_.options;
  statusBar()->setVisible(o.status_bar);
  view_->SetViewFont(FromUtf8(o.font_name), o.font_size);
  view_->SetSelectionStyle(o.selection);
  editor_.selection_style = o.selection;
  view_->SetReturnMark(MarkFromSetting(o.return_mark));
  view_->SetRuleLine(RuleFromSetting(o.rule_line));
  editor_.max_line_length = kMaxLineLength;
  editor_.save_code = o.charset;
  if (o.window_position) setGeometry(SavedWindowBounds(paths_.settings, geometry()));
  editor_.window_shown = true;
  for (int slot = 0; slot < kUserCommandSlots; ++slot) RefreshUserCaption(slot);
  windows_->Startup();
  recent_files_ = SavedRecentFiles(paths_.settings);
  RebuildRecentMenu();

  for (int i = 0; i < startup_files_.size(); ++i) LoadFile(startup_files_[i], i > 0);

  std::string recovery_error;
  recovery_slot_ = RecoverySlot::Claim(paths_.recovery, &recovery_error);
  if (recovery_slot_) {
    editor_.recovery_copy_path = recovery_slot_->copy_path();
  } else if (o.auto_backup) {
    host_.Message(Sjis("編集中のファイルのバックアップを保存できませんでした。\r\n") + Sjis(recovery_error),
                  MessageIcon::kError, MessageButtons::kOk);
  }

  // A copy of an instance that is gone is offered (the newest one that no
  // other starting instance takes first); once taken it is this instance's
  // to remove at shutdown, whatever the answer.
  for (const std::filesystem::path& copy : AbandonedRecoveryCopies(paths_.recovery)) {
    if (!recovery_slot_ || !recovery_slot_->Adopt(copy)) continue;
    const Answer answer = host_.Message(
        Sjis("前回のバックアップが残っています。\r\n続きから編集しますか？"),
        MessageIcon::kQuestion, MessageButtons::kYesNo);
    if (answer == Answer::kYes) {
      Dispatch([this, copy] {
        if (!AskSaveChanges(editor_)) return;
        // A frame of its own, so the view shows the restored document.
        CommandFrame frame(editor_, {}, {.save_undo = false, .collect = false, .store = false});
        std::string error;
        if (!ReadRecoveryFile(copy, editor_, &error)) {
          host_.Message(Sjis("前回のバックアップを読み込めませんでした。\r\n") + Sjis(error),
                        MessageIcon::kError, MessageButtons::kOk);
        }
      });
    }
    break;
  }
  SyncChecks();
  UpdateTitle();
}

void MainWindow::Shutdown() {
  if (shut_down_ || !started_) return;
  shut_down_ = true;
  ShutdownSettings values;
  values.bounds = geometry();
  values.save_code = editor_.save_code;
  values.selection = view_->selection_style();
  values.return_mark = static_cast<int>(view_->painter().return_mark());
  values.rule_line = static_cast<int>(view_->painter().rule_line());
  values.status_bar = menus_.app(AppAction::kStatusBar)->isChecked();
  values.recent_files = recent_files_;
  std::string error;
  if (!WriteShutdownSettings(paths_.settings, values, &error)) {
    host_.Message(Sjis("設定ファイルを保存できませんでした。\r\n") + PathToSjis(paths_.settings) +
                      "\r\n" + Sjis(error),
                  MessageIcon::kError, MessageButtons::kOk);
  }
  recovery_slot_.reset();
  editor_.recovery_copy_path.clear();
  if (clipboard_linked_) SetClipboardLinked(false);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!started_) {
    // Start-up asks questions; let the window appear first.
    QMetaObject::invokeMethod(this, [this] { Startup(); }, Qt::QueuedConnection);
  }
}

bool MainWindow::ConfirmClose() {
  if (!editor_.modified) return true;
  std::string name = PathToSjis(editor_.current_file_name);
  if (name.empty()) name = Sjis("無題");
  const Answer answer = host_.Message(Sjis("ファイル ") + name +
                                          Sjis(" の内容は変更されています。\r\n\r\n変更を保存しますか？"),
                                      MessageIcon::kWarning, MessageButtons::kYesNoCancel);
  if (answer == Answer::kCancel) return false;
  if (answer == Answer::kNo) return true;
  bool saved = false;
  Dispatch([this, &saved] { saved = SaveDocument(editor_); });
  UpdateTitle();
  // A cancelled save-as keeps the window open: nothing may be lost.
  return saved && !editor_.modified;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy() || dispatching_ || !ConfirmClose()) {
    event->ignore();
    return;
  }
  Shutdown();
  windows_->CloseAll();
  event->accept();
}

// --- dispatch ---

bool MainWindow::Dispatch(const std::function<void()>& work) {
  if (dispatching_ || busy()) return false;
  dispatching_ = true;
  // A request made after the last command's final progress report has
  // nothing left to stop.
  host_.ClearCancelRequest();
  try {
    work();
  } catch (const CommandCancelled&) {
    // Not an error: the frames left the document as it was. A played run
    // went back to its snapshot outside any frame, so the view refreshes.
    if (!busy()) OnCommandEnded();
  } catch (const std::bad_alloc&) {
    // The frame kept the document as it was and released the work's memory,
    // so there is room again for the message.
    ClearMemoryExhaustion();
    // A played run may have put its snapshot back outside any frame.
    if (!busy()) OnCommandEnded();
    host_.Message(Sjis("メモリが足りないため、処理を中止しました。"), MessageIcon::kError,
                  MessageButtons::kOk);
  } catch (const std::exception& e) {
    host_.Message(ErrorDisplayText(e.what()), MessageIcon::kError, MessageButtons::kOk);
  }
  dispatching_ = false;
  RememberCurrentFile();
  // Commands without a frame (editing a row, saving) change the title or a
  // row without an end-of-command refresh.
  if (!busy()) {
    UpdateTitle();
    SyncChecks();
  }
  if (clipboard_pending_) {
    clipboard_pending_ = false;
    QMetaObject::invokeMethod(this, [this] { OnClipboardChanged(); }, Qt::QueuedConnection);
  }
  return true;
}

bool MainWindow::Trigger(QAction* action) {
  const MenuItemKind kind = KindOf(action);
  if (dispatching_ || busy()) {
    // A radio or check item flipped itself already; put it back.
    SyncChecks();
    return false;
  }
  if (kind.code > 0) {
    RunCommandCode(kind.code);
  } else {
    RunApp(kind.action);
  }
  return true;
}

bool MainWindow::TriggerCommand(int code) {
  QAction* action = menus_.command(code);
  if (action == nullptr) return false;
  return Trigger(action);
}

bool MainWindow::TriggerApp(AppAction a) {
  QAction* action = menus_.app(a);
  if (action == nullptr) return false;
  if (action->isCheckable() && !dispatching_ && !busy()) {
    // As a click would: a check item flips, a radio item becomes checked.
    if (action->actionGroup() != nullptr) {
      action->setChecked(true);
    } else {
      action->setChecked(!action->isChecked());
    }
  }
  return Trigger(action);
}

void MainWindow::RunCommandCode(int code) {
  const CommandEntry* entry = CommandByCode(code);
  if (entry == nullptr || entry->operation == nullptr) {
    host_.Message(Sjis("このコマンドはまだ使えません。"), MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  Dispatch([this, entry] { RunCommand(editor_, *entry); });
}

void MainWindow::RunApp(AppAction a) {
  using A = AppAction;
  if (const int slot = UserSlotOf(a); slot >= 0) {
    Dispatch([this, slot] { RunUserCommand(editor_, automation_, slot); });
    return;
  }
  switch (a) {
    case A::kOpen:
      Dispatch([this] {
        FileDialogSpec dialog;
        dialog.filter = Sjis(
            "テキストファイル (*.txt)|*.txt|カンマ区切りテキストファイル (*.csv)|*.csv|"
            "リッチテキストファイル (*.rtf)|*.rtf|すべてのファイル (*.*)|*.*");
        dialog.default_extension = "txt";
        if (auto path = host_.OpenFileDialog(dialog)) LoadDocumentFile(editor_, *path, false);
      });
      break;
    case A::kSave: Dispatch([this] { SaveDocument(editor_); }); break;
    case A::kSaveAs: Dispatch([this] { SaveDocumentAs(editor_); }); break;
    case A::kRevert: Dispatch([this] { RevertDocument(editor_); }); break;
    case A::kSaveCode0: case A::kSaveCode1: case A::kSaveCode2: case A::kSaveCode3:
    case A::kSaveCode4: case A::kSaveCode5: case A::kSaveCode6:
      editor_.save_code =
          static_cast<SaveCode>(static_cast<int>(a) - static_cast<int>(A::kSaveCode0));
      SyncChecks();
      break;
    case A::kLineBreak0: case A::kLineBreak1: case A::kLineBreak2:
      editor_.line_ending.kind =
          static_cast<LineBreak>(static_cast<int>(a) - static_cast<int>(A::kLineBreak0));
      SyncChecks();
      break;
    case A::kBatch: windows_->ShowBatch(); break;
    case A::kExit: close(); break;
    case A::kUndo: Dispatch([this] { editor_.Undo(); }); break;
    case A::kRedo: Dispatch([this] { editor_.Redo(); }); break;
    case A::kFind: Dispatch([this] { windows_->ShowFind(false); }); break;
    case A::kReplace: Dispatch([this] { windows_->ShowFind(true); }); break;
    case A::kJump:
      Dispatch([this] {
        // The answer is read here, not by the one-call JumpToLine, because a
        // jump to the row that is already current must still bring it to the
        // top, while a number past the last row must not scroll at all.
        const std::optional<std::string> answer =
            host_.InputBox(kProductName, Sjis("ジャンプ先の行番号は？"), "");
        if (!answer) return;
        const long line_number = ParseDecimal(*answer).value_or(0);
        JumpToLine(editor_, line_number);
        if (line_number >= 1 && static_cast<std::size_t>(line_number) <= editor_.doc.size()) {
          view_->scrollTo(model_->index(static_cast<int>(line_number - 1), 0),
                          QAbstractItemView::PositionAtTop);
        }
      });
      break;
    case A::kMarkA: view_->SetReturnMark(ReturnMark::kA); break;
    case A::kMarkB: view_->SetReturnMark(ReturnMark::kB); break;
    case A::kMarkNone: view_->SetReturnMark(ReturnMark::kNone); break;
    case A::kRuleDotted: view_->SetRuleLine(RuleLine::kDotted); break;
    case A::kRuleSolid: view_->SetRuleLine(RuleLine::kSolid); break;
    case A::kRuleNone: view_->SetRuleLine(RuleLine::kNone); break;
    case A::kSelectionExtended:
    case A::kSelectionStandard: {
      const SelectionStyle style =
          a == A::kSelectionExtended ? SelectionStyle::kExtended : SelectionStyle::kStandard;
      view_->SetSelectionStyle(style);
      editor_.selection_style = style;
      break;
    }
    case A::kStatusBar:
      statusBar()->setVisible(menus_.app(A::kStatusBar)->isChecked());
      editor_.options.status_bar = statusBar()->isVisible();
      break;
    case A::kFileInfo: Dispatch([this] { ShowFileInformation(); }); break;
    case A::kClipboardLink: SetClipboardLinked(!clipboard_linked_); break;
    case A::kRecordStart:
      StartRecording(editor_, automation_);
      record_list_->clear();
      record_list_->show();
      splitter_->setSizes({std::max(1, splitter_->height() - 64), 64});
      SyncChecks();
      break;
    case A::kRecordEnd:
      Dispatch([this] { EndRecording(editor_, automation_); });
      record_list_->clear();
      record_list_->hide();
      SyncChecks();
      break;
    case A::kOptions: windows_->ShowOptions(false); ApplyOptions(); break;
    case A::kAbout: windows_->ShowOptions(true); ApplyOptions(); break;
    case A::kHelp: ShowHelp(); break;
    case A::kEditRow:
      Dispatch([this] {
        const long row = editor_.doc.current_row();
        EditCurrentRow(editor_);
        if (row >= 0) {
          const QModelIndex index = model_->index(static_cast<int>(row), 0);
          emit model_->dataChanged(index, index);
          view_->UpdateViewMetrics();
        }
      });
      break;
    case A::kConversionTable: RunCommandCode(71); break;
    default:
      break;
  }
}

// --- the command frame on screen ---

void MainWindow::OnCommandStarted(const QString& message) {
  const QString busy_message =
      busy_heading_.isEmpty() || message.isEmpty() ? message : busy_heading_ + '\n' + message;
  if (busy_depth_++ > 0) {
    if (!busy_message.isEmpty()) busy_panel_->ShowMessage(busy_message);
    return;
  }
  menu_stack_->setCurrentWidget(menus_.busy_bar);
  menus_.cancel->setEnabled(true);
  saved_scroll_ = view_->verticalScrollBar()->value();
  view_->Freeze();
  model_->BeginChange();
  if (!busy_message.isEmpty()) busy_panel_->ShowMessage(busy_message);
  pump_timer_.start();
  QCoreApplication::processEvents();
}

void MainWindow::OnProgress(int percent) {
  if (percent < 0) {
    gauge_->hide();
    return;
  }
  gauge_->ShowPercent(percent);
  if (!pump_timer_.isValid() || pump_timer_.elapsed() >= kPumpIntervalMs) {
    gauge_->repaint();
    QCoreApplication::processEvents();
    pump_timer_.restart();
  }
}

void MainWindow::OnCommandEnded() {
  // Without a start (the removed-lines window's move) the document changed
  // all the same: refresh.
  if (busy_depth_ > 0 && --busy_depth_ > 0) return;
  gauge_->hide();
  model_->EndChange();
  view_->Thaw();
  view_->verticalScrollBar()->setValue(saved_scroll_);
  busy_panel_->hide();
  menus_.cancel->setEnabled(false);
  menu_stack_->setCurrentWidget(menus_.bar);
  UpdateTitle();
  if (automation_.recording) {
    record_list_->clear();
    QStringList items;
    for (const std::string& line : editor_.record_buffer) {
      items << FromSjis(line, &editor_.private_codes);
    }
    record_list_->addItems(items);
    record_list_->scrollToBottom();
  }
  ShowProductStatus();
  if (found_rows_) {
    const std::size_t count = *found_rows_;
    found_rows_.reset();
    if (count == 0) {
      status_label_->setText(QString::fromUtf8("見つかりませんでした"));
    } else {
      status_label_->setText(QString::fromUtf8("%1 行見つかりました").arg(count));
      const std::vector<std::size_t> rows = editor_.doc.SelectedRows();
      if (!rows.empty()) view_->scrollTo(model_->index(static_cast<int>(rows.front()), 0));
    }
  }
  if (host_.CancelSeen()) status_label_->setText(QString::fromUtf8("中止しました"));
  SyncChecks();
}

void MainWindow::OnRowsFound(std::size_t count) { found_rows_ = count; }

void MainWindow::OnShowRemovedLines(Editor& editor) { windows_->ShowRemovedLines(editor); }

std::optional<int> MainWindow::OnChooseKeyField(const QString& caption, const QStringList& fields) {
  return windows_->ChooseKeyField(caption, fields, view_->font());
}

// --- title, status, checks ---

void MainWindow::UpdateTitle() { setWindowTitle(FromSjis(editor_.Title())); }

void MainWindow::ShowProductStatus() {
  status_label_->setText(FromUtf8(kProductName) + QStringLiteral(" - Version ") +
                         FromUtf8(kProductVersion));
}

void MainWindow::ShowSelectionStatus() {
  const Document& doc = editor_.doc;
  if (doc.SelectedCount() >= 2) {
    status_label_->setText(QString::fromUtf8(" %1 行選択中").arg(doc.SelectedCount()));
    return;
  }
  const long row = doc.current_row();
  if (row < 0 || static_cast<std::size_t>(row) >= doc.size()) return;
  const std::string_view line = doc.line(static_cast<std::size_t>(row));
  status_label_->setText(QString::fromUtf8(" %1 行目（ %2 文字 / %3 バイト）")
                             .arg(row + 1)
                             .arg(FromSjis(line, &editor_.private_codes).toUcs4().size())
                             .arg(line.size()));
}

QString MainWindow::StatusText() const { return status_label_->text(); }

QString MainWindow::CodeStatusText() const { return code_label_->text(); }

void MainWindow::SyncChecks() {
  using A = AppAction;
  const int code = static_cast<int>(editor_.save_code);
  menus_.app(static_cast<A>(static_cast<int>(A::kSaveCode0) + code))->setChecked(true);
  const int line_break = static_cast<int>(editor_.line_ending.kind);
  menus_.app(static_cast<A>(static_cast<int>(A::kLineBreak0) + line_break))->setChecked(true);
  code_label_->setText(FromSjis(SaveCodeCaption(editor_.save_code)) + QStringLiteral("  ") +
                       FromUtf8(LineBreakCaption(editor_.line_ending.kind)));
  const ReturnMark mark = view_->painter().return_mark();
  menus_.app(mark == ReturnMark::kA ? A::kMarkA : mark == ReturnMark::kB ? A::kMarkB : A::kMarkNone)
      ->setChecked(true);
  const RuleLine rule = view_->painter().rule_line();
  menus_.app(rule == RuleLine::kDotted ? A::kRuleDotted
             : rule == RuleLine::kSolid ? A::kRuleSolid
                                        : A::kRuleNone)
      ->setChecked(true);
  menus_.app(view_->selection_style() == SelectionStyle::kExtended ? A::kSelectionExtended
                                                                    : A::kSelectionStandard)
      ->setChecked(true);
  menus_.app(A::kStatusBar)->setChecked(editor_.options.status_bar);
  menus_.app(A::kClipboardLink)->setChecked(clipboard_linked_);
  SyncUndoItems();
  menus_.app(A::kRecordStart)->setEnabled(!automation_.recording);
  menus_.app(A::kRecordEnd)->setEnabled(automation_.recording);
  if (!automation_.recording) record_list_->hide();
}

void MainWindow::SyncUndoItems() {
  auto show = [this](QAction* item, const char* verb, const char* mnemonic, bool can,
                     std::string_view name) {
    QString caption = QString::fromUtf8(verb);
    if (can && !name.empty()) {
      // A name is text, never a mnemonic of its own.
      caption += QStringLiteral(": ") +
                 FromSjis(name, &editor_.private_codes).replace(QLatin1Char('&'), QStringLiteral("&&"));
    }
    item->setText(caption + QString::fromLatin1(mnemonic));
    item->setEnabled(can);
  };
  show(menus_.app(AppAction::kUndo), "元に戻す", "(&U)", editor_.CanUndo(), editor_.UndoName());
  show(menus_.app(AppAction::kRedo), "やり直し", "(&Y)", editor_.CanRedo(), editor_.RedoName());
}

void MainWindow::RefreshUserCaption(int slot) {
  const std::string title = UserCommandTitle(UserCommandFile(editor_, slot));
  QAction* action = menus_.app(static_cast<AppAction>(static_cast<int>(AppAction::kUser1) + slot));
  action->setText(FromSjis(SlotMenuCaption(slot, title)));
}

void MainWindow::ApplyOptions() {
  view_->SetViewFont(FromUtf8(editor_.options.font_name), editor_.options.font_size);
  editor_.max_line_length = kMaxLineLength;
  UpdateTitle();
}

// --- clipboard-linked mode ---

void MainWindow::SetClipboardLinked(bool on) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (on == clipboard_linked_) {
    SyncChecks();
    return;
  }
  clipboard_linked_ = on;
  if (on) {
    // Queued: our own cut and copy change the clipboard inside a command.
    connect(clipboard, &QClipboard::dataChanged, this, &MainWindow::OnClipboardChanged,
            Qt::QueuedConnection);
    SyncChecks();
    OnClipboardChanged();
  } else {
    disconnect(clipboard, &QClipboard::dataChanged, this, &MainWindow::OnClipboardChanged);
    SyncChecks();
  }
}

void MainWindow::OnClipboardChanged() {
  if (!clipboard_linked_) return;
  if (dispatching_ || busy()) {
    clipboard_pending_ = true;
    return;
  }
  Dispatch([this] { ClipboardChanged(editor_); });
}

// --- files ---

void MainWindow::LoadFile(const QString& file, bool append) {
  Dispatch([this, file, append] { LoadDocumentFile(editor_, QStringToPath(file), append); });
}

void MainWindow::DropFiles(const QStringList& files, bool ctrl_held) {
  for (int i = 0; i < files.size(); ++i) LoadFile(files[i], i == 0 ? ctrl_held : true);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy() && !dispatching_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  if (files.isEmpty() || busy() || dispatching_) return;
  event->acceptProposedAction();
  const bool ctrl = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
  activateWindow();
  // Loading asks questions; finish the drop first.
  QMetaObject::invokeMethod(this, [this, files, ctrl] { DropFiles(files, ctrl); },
                            Qt::QueuedConnection);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (busy_panel_ != nullptr && busy_panel_->isVisible()) busy_panel_->ShowMessage(busy_panel_->text());
}

void MainWindow::ShowHelp() {
  // Installed beside the program (share/parvane/help) or in the source tree.
  const QString app_dir = QCoreApplication::applicationDirPath();
  const QStringList candidates = {
      app_dir + QStringLiteral("/help/index.html"),
      app_dir + QStringLiteral("/../share/parvane/help/index.html"),
      app_dir + QStringLiteral("/../help/index.html"),
  };
  QString found;
  for (const QString& candidate : candidates) {
    if (!QFileInfo::exists(candidate)) continue;
    found = QFileInfo(candidate).canonicalFilePath();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(found))) return;
    break;
  }
  // Without a browser the person can still open the page by hand: say where
  // it is (or where an installation puts it).
  const QString shown =
      found.isEmpty() ? QDir::cleanPath(candidates[1]) : QDir::toNativeSeparators(found);
  // Straight to the prompter: the path need not survive Shift_JIS.
  host_.prompter().Message(
      QString::fromUtf8("ヘルプを開くことが出来ませんでした。\n") + shown,
      MessageIcon::kError, MessageButtons::kOk);
}

void MainWindow::ShowFileInformation() {
  const std::optional<std::string> text = FileInformation(editor_);
  if (!text) return;
  host_.prompter().Message(
      MessageText(*text) + FileFactsText(PathToQString(editor_.current_file_name)),
      MessageIcon::kNone, MessageButtons::kOk);
}

void MainWindow::RememberCurrentFile() {
  if (editor_.current_file_name.empty()) return;
  const QStringList updated =
      AddRecentFile(recent_files_, PathToQString(editor_.current_file_name));
  if (updated == recent_files_) return;
  recent_files_ = updated;
  RebuildRecentMenu();
}

void MainWindow::RebuildRecentMenu() {
  QMenu* menu = menus_.recent;
  menu->clear();
  for (int n = 0; n < recent_files_.size(); ++n) {
    const QString path = recent_files_[n];
    QAction* action = menu->addAction(RecentFileCaption(n, path));
    connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
  }
  menu->setEnabled(!recent_files_.isEmpty());
}

void MainWindow::OpenRecentFile(const QString& path) {
  LoadFile(path, false);
  if (!QFileInfo(path).isFile()) {
    recent_files_ = WithoutMissingFiles(recent_files_);
    RebuildRecentMenu();
  }
}

}  // namespace parvane
