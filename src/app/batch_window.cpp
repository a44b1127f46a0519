#include "app/batch_window.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <optional>

#include "app/busy_panel.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "automation/user_commands.h"
#include "editor/cancel.h"
#include "text/literal.h"
#include "editor/error_text.h"

namespace parvane {
namespace {

const char kNote[] =
    "　このウィンドウにファイルをドロップすると、それらのファイルすべてに上で選択した自動処理が"
    "適用されます。\n"
    "　それらのファイルはすべて、警告なしに上書きされます。大事なファイルは自動処理の前にバック"
    "アップすることをお勧めします。";

// Read-only text in the colours of a tooltip, the platform's information colours.
void UseInformationColours(QPlainTextEdit* edit) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
  palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
  edit->setPalette(palette);
}

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

}  // namespace

BatchWindow::BatchWindow(MainWindow* main)
    : QWidget(main, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main) {
  setWindowTitle(QString::fromUtf8("連続自動処理ウィンドウ"));
  setAcceptDrops(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  choices_ = new QComboBox(this);
  choices_->setEditable(false);
  choices_->setMaxVisibleItems(12);
  choices_->setFixedWidth(kWidth);
  note_ = new QPlainTextEdit(this);
  note_->setReadOnly(true);
  note_->setPlainText(QString::fromUtf8(kNote));
  UseInformationColours(note_);
  // The drop belongs to the window, wherever it lands.
  choices_->setAcceptDrops(false);
  note_->setAcceptDrops(false);
  note_->viewport()->setAcceptDrops(false);
  add_ = new QPushButton(QString::fromUtf8("ファイルを追加(&A)..."), this);
  add_->setAutoDefault(true);
  connect(add_, &QPushButton::clicked, this, &BatchWindow::AddFiles);
  // Tab moves between the list and the button only; the note is for reading.
  note_->setFocusPolicy(Qt::NoFocus);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(4, 4, 4, 4);
  buttons->addStretch();
  buttons->addWidget(add_);
  layout->addWidget(choices_);
  layout->addWidget(note_, 1);
  layout->addLayout(buttons);
  setTabOrder(choices_, add_);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::hide);
  // The note keeps its height; the button row comes below it.
  setFixedSize(kWidth, kHeight + add_->sizeHint().height() + 8);
}

void BatchWindow::ShowWindow() {
  if (!placed_) {
    placed_ = true;
    if (const QScreen* screen = main_->screen()) {
      const QRect area = screen->availableGeometry();
      move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
  }
  show();
  raise();
  activateWindow();
  choices_->setFocus();
}

void BatchWindow::Refill() {
  const Lines choices = BatchChoices(main_->editor(), main_->automation());
  QStringList entries;
  for (const std::string& choice : choices) entries << FromSjis(choice);
  if (slot_entries_) {
    const QStringList bound = slot_entries_();
    for (int i = 0; i < kUserCommandSlots && i < bound.size() && i < entries.size(); ++i) {
      entries[i] = bound[i];
    }
  }
  choices_->clear();
  choices_->addItems(entries);
  choices_->setCurrentIndex(-1);
}

void BatchWindow::ReplaceSlotEntries(const QStringList& entries) {
  const int position = choices_->currentIndex();
  for (int i = 0; i < kUserCommandSlots && i < entries.size(); ++i) {
    if (i < choices_->count()) {
      choices_->setItemText(i, entries[i]);
    } else {
      choices_->addItem(entries[i]);
    }
  }
  choices_->setCurrentIndex(position);
}

void BatchWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A re-showing after a batch also rebuilds: a recording may have grown.
  if (!running_) Refill();
}

std::vector<BatchFileResult> BatchWindow::ProcessDrop(const QStringList& files) {
  std::vector<BatchFileResult> results;
  if (running_ || main_->busy()) return results;
  const int entry = choices_->currentIndex();
  if (entry < 0 || entry > kMostRecentCommandEntry) {
    main_->host().Message(Sjis("処理が選択されていません。"), MessageIcon::kError,
                          MessageButtons::kOk);
    return results;
  }
  std::optional<int> slot;
  if (entry != kMostRecentCommandEntry) slot = entry;

  running_ = true;
  hide();
  Editor& editor = main_->editor();
  AutomationState& state = main_->automation();
  const QFontMetrics metrics(main_->busy_panel()->font());
  const int heading_width = BusyPanel::kWidth - 16;
  std::vector<BatchOutcome> outcomes;
  // The same flag rule as the core's ProcessDroppedFiles, file by file so the
  // busy panel can say which file is being processed.
  state.batch = false;
  main_->host().ClearCancelRequest();
  bool cancelled = false;
  for (int k = 0; k < files.size() && !cancelled; ++k) {
    const QString& file = files[k];
    const QString name = QFileInfo(file).fileName();
    main_->SetBusyHeading(metrics.elidedText(
        QStringLiteral("(%1 / %2) %3").arg(k + 1).arg(files.size()).arg(name), Qt::ElideMiddle,
        heading_width));
    main_->OnCommandStarted(QString::fromUtf8("連続自動処理中です…"));
    BatchOutcome outcome{QStringToPath(file), BatchFileResult::kNotSaved, {}};
    bool thrown = false;
    try {
      outcome.result = ProcessDroppedFile(editor, state, outcome.file, slot, &outcome.failure);
    } catch (const CommandCancelled&) {
      // The person stopped the batch, not one file: this file is not saved
      // and the later ones are not touched. No error box; the summary says
      // which file it was.
      thrown = true;
      cancelled = true;
      outcome.result = BatchFileResult::kFailed;
      outcome.failure = Sjis("処理を中止しました。");
    } catch (const std::exception& e) {
      // Nothing was saved: the save is the last thing a file's run does.
      thrown = true;
      outcome.result = BatchFileResult::kFailed;
      outcome.failure = ErrorDisplayText(e.what());
      main_->host().Message(outcome.failure, MessageIcon::kError, MessageButtons::kOk);
    }
    main_->OnCommandEnded();
    results.push_back(outcome.result);
    if (!thrown && (outcome.result == BatchFileResult::kProcessed ||
                    outcome.result == BatchFileResult::kFailed ||
                    outcome.result == BatchFileResult::kNotSaved)) {
      state.batch = true;
    }
    outcomes.push_back(std::move(outcome));
  }
  state.batch = false;
  main_->SetBusyHeading(QString());
  running_ = false;

  const std::string summary = BatchSummaryUtf8(outcomes);
  if (!summary.empty()) {
    // Straight to the prompter: a file name need not survive Shift_JIS.
    main_->host().prompter().Message(QString::fromStdString(summary), MessageIcon::kError,
                                     MessageButtons::kOk);
  }
  ShowWindow();
  return results;
}

void BatchWindow::AddFiles() {
  if (running_ || main_->busy()) return;
  if (choices_->currentIndex() < 0) {
    ProcessDrop({});  // says that no process is selected
    return;
  }
  const QStringList files = main_->host().prompter().OpenFiles(
      QString::fromUtf8("ファイルを追加"),
      QString::fromUtf8("すべてのファイル (*);;テキストファイル (*.txt)"));
  if (!files.isEmpty()) ProcessDrop(files);
}

void BatchWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!running_ && !main_->busy() && !LocalFiles(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void BatchWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!running_ && !main_->busy()) event->acceptProposedAction();
}

void BatchWindow::dropEvent(QDropEvent* event) {
  const QStringList files = LocalFiles(event->mimeData());
  if (files.isEmpty() || running_ || main_->busy()) return;
  event->acceptProposedAction();
  // The batch asks questions and opens message boxes; let the drop finish first.
  QMetaObject::invokeMethod(this, [this, files] { ProcessDrop(files); }, Qt::QueuedConnection);
}

}  // namespace parvane
