#include "app/options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/line_view.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "automation/pvx_file.h"
#include "automation/user_commands.h"
#include "editor/files.h"
#include "text/literal.h"

namespace parvane {
namespace {

constexpr int kPathLabelWidth = 320;
constexpr int kFallbackSize = 12;
constexpr int kMostUndoMemoryMb = 65536;

const char* const kSizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                              "20", "22", "24", "26", "28", "36", "48", "72"};

const char kUserNote[] =
    "　ユーザー定義処理のファイルはここで指定します。新しい処理を加えるときは、まず上書きする処理を"
    "選んだ後、「変更」ボタンをクリックして新しい処理のファイルを読み込んでください。\n"
    "　ユーザー定義処理は、通常の処理を並べて作成されます。詳しくはヘルプの「ユーザー定義処理」を"
    "ご覧ください。";

// One folder less at the top of dir ("/a/b/" -> "/.../b/" -> "/.../").
QString WithoutTopFolder(QString dir) {
  if (dir == QLatin1String("/")) return QString();
  const bool rooted = dir.startsWith(QLatin1Char('/'));
  if (rooted) dir.remove(0, 1);
  // Only the mark this function put there: a folder of its own may begin
  // with a dot on this platform.
  if (dir.startsWith(QLatin1String(".../"))) dir.remove(0, 4);
  const int slash = static_cast<int>(dir.indexOf(QLatin1Char('/')));
  dir = slash >= 0 ? QStringLiteral(".../") + dir.mid(slash + 1) : QString();
  if (rooted) dir.prepend(QLatin1Char('/'));
  return dir;
}

// Text and metrics only: fixed pitch as the font database reports it, or,
// for faces whose files do not declare it (the CJK monospace faces among
// them), equal advances of narrow and wide Latin letters.
bool IsFixedPitch(const QString& family) {
  if (QFontDatabase::isFixedPitch(family)) return true;
  const QFontMetrics metrics(QFont(family, 12));
  const int i = metrics.horizontalAdvance(QLatin1Char('i'));
  return i > 0 && i == metrics.horizontalAdvance(QLatin1Char('W')) &&
         i == metrics.horizontalAdvance(QLatin1Char('m')) &&
         i == metrics.horizontalAdvance(QLatin1Char('.'));
}

}  // namespace

QString ShortenedPath(const QString& path, int width,
                      const std::function<int(const QString&)>& measure) {
  // There are no drive letters here; the directory keeps its slashes.
  const int slash = static_cast<int>(path.lastIndexOf(QLatin1Char('/')));
  QString dir = slash >= 0 ? path.left(slash + 1) : QString();
  const QString name = path.mid(slash + 1);
  QString text = dir + name;
  while (!dir.isEmpty() && measure(text) > width) {
    dir = dir == QLatin1String("/.../") ? QStringLiteral(".../") : WithoutTopFolder(dir);
    text = dir + name;
  }
  return text;
}

QStringList FixedPitchJapaneseFonts() {
  QStringList fonts;
  for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
    if (family.startsWith(QLatin1Char('@'))) continue;
    if (IsFixedPitch(family)) fonts << family;
  }
  return fonts;
}

OptionsDialog::OptionsDialog(MainWindow* main)
    : QDialog(main, Qt::Tool), main_(main) {
  setWindowTitle(QString::fromUtf8("オプション"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->addTab(BuildGeneralPage(), QString::fromUtf8("全般"));
  pages_->addTab(BuildUserPage(), QString::fromUtf8("ユーザー定義"));
  pages_->addTab(BuildVersionPage(), QString::fromUtf8("バージョン情報"));
  layout->addWidget(pages_);
  auto* strip = new QHBoxLayout;
  strip->addStretch();
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QString::fromUtf8("キャンセル"), this);
  strip->addWidget(ok_);
  strip->addWidget(cancel_);
  layout->addLayout(strip);
  connect(ok_, &QPushButton::clicked, this, &OptionsDialog::Ok);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == static_cast<int>(Page::kGeneral)) UpdateTrashEnabled();
    if (index == static_cast<int>(Page::kUser)) note_->setPlainText(QString::fromUtf8(kUserNote));
  });
  // Always exactly the pages and the strip, whatever the fonts need.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* OptionsDialog::BuildGeneralPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  Options& options = main_->editor().options;
  auto box = [&](const char* caption, bool Options::*field) {
    auto* check = new QCheckBox(QString::fromUtf8(caption), page);
    // The box is the live option: the rest of the program reads it at once.
    connect(check, &QCheckBox::toggled, this, [&options, field](bool on) { options.*field = on; });
    return check;
  };
  auto_backup_ = box("編集中のファイルのバックアップを残す", &Options::auto_backup);
  backup_ = box("保存時にバックアップ（*.bak）を残す", &Options::backup);
  trash_ = box("バックアップをごみ箱に残す", &Options::trash);
  full_path_ = box("ファイル名をフルパス付きで表示", &Options::full_path);
  position_ = box("ウィンドウの位置と大きさを記憶", &Options::window_position);
  charset_fixed_ = box("保存する文字コードを固定する", &Options::charset_fixed);
  detect_utf8_ = box("BOM なし UTF-8 を判別する", &Options::detect_utf8);
  connect(backup_, &QCheckBox::toggled, this, &OptionsDialog::UpdateTrashEnabled);
  layout->addWidget(auto_backup_);
  layout->addWidget(backup_);
  auto* indented = new QHBoxLayout;
  indented->addSpacing(20);
  indented->addWidget(trash_);
  layout->addLayout(indented);
  for (QCheckBox* check : {full_path_, position_, charset_fixed_, detect_utf8_}) {
    layout->addWidget(check);
  }

  auto* fonts = new QFormLayout;
  font_list_ = new QComboBox(page);
  font_list_->addItems(FixedPitchJapaneseFonts());
  size_list_ = new QComboBox(page);
  for (const char* size : kSizes) size_list_->addItem(QString::fromLatin1(size));
  fonts->addRow(QString::fromUtf8("フォント名 :"), font_list_);
  fonts->addRow(QString::fromUtf8("サイズ :"), size_list_);
  layout->addLayout(fonts);
  preview_ = new QLabel(QString::fromUtf8("Sample : サンプル"), page);
  preview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setFixedHeight(72);
  layout->addWidget(preview_);
  auto* undo_row = new QHBoxLayout;
  undo_memory_ = new QSpinBox(page);
  undo_memory_->setRange(0, kMostUndoMemoryMb);
  undo_memory_->setSuffix(QStringLiteral(" MB"));
  auto* undo_label = new QLabel(QString::fromUtf8("元に戻す履歴のメモリ上限(&M):"), page);
  undo_label->setBuddy(undo_memory_);
  undo_row->addWidget(undo_label);
  undo_row->addWidget(undo_memory_);
  undo_row->addStretch();
  layout->addLayout(undo_row);
  layout->addStretch();
  connect(font_list_, &QComboBox::currentIndexChanged, this, [this] {
    if (!preparing_) SetPreview(font_list_->currentText(), preview_size_);
  });
  connect(size_list_, &QComboBox::currentIndexChanged, this, [this] {
    if (preparing_) return;
    bool ok = false;
    const int size = size_list_->currentText().toInt(&ok);
    SetPreview(preview_name_, ok && size > 0 ? size : kFallbackSize);
  });
  return page;
}

QWidget* OptionsDialog::BuildUserPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  slot_list_ = new QComboBox(page);
  slot_list_->setMaxVisibleItems(10);
  for (int slot = 0; slot < kUserCommandSlots; ++slot) {
    slot_list_->addItem(FromSjis(SlotListEntry(slot, Sjis("未設定"))));
  }
  auto* row = new QHBoxLayout;
  path_label_ = new QLabel(page);
  path_label_->setFixedWidth(kPathLabelWidth);
  change_ = new QPushButton(QString::fromUtf8("変更"), page);
  row->addWidget(path_label_);
  row->addStretch();
  row->addWidget(change_);
  note_ = new QPlainTextEdit(page);
  note_->setReadOnly(true);
  QPalette palette = note_->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
  palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
  note_->setPalette(palette);
  layout->addWidget(slot_list_);
  layout->addLayout(row);
  layout->addWidget(note_, 1);
  connect(slot_list_, &QComboBox::currentIndexChanged, this, &OptionsDialog::ShowSlotPath);
  connect(change_, &QPushButton::clicked, this, &OptionsDialog::ChangeSlotFile);
  return page;
}

QWidget* OptionsDialog::BuildVersionPage() {
  auto* page = new QWidget(this);
  auto* layout = new QHBoxLayout(page);
  QIcon icon = QIcon::fromTheme(QStringLiteral("parvane"), QApplication::windowIcon());
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_DesktopIcon);
  auto* picture = new QLabel(page);
  picture->setPixmap(icon.pixmap(48, 48));
  picture->setAlignment(Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  auto* product = new QLabel(FromUtf8(kProductName), page);
  QFont bold = product->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 4);
  product->setFont(bold);
  texts->addWidget(product);
  texts->addWidget(new QLabel(QStringLiteral("Version ") + FromUtf8(kProductVersion), page));
  texts->addStretch();
  layout->addWidget(picture);
  layout->addSpacing(12);
  layout->addLayout(texts, 1);
  return page;
}

void OptionsDialog::Startup() {
  const Options& o = main_->editor().options;
  auto_backup_->setChecked(o.auto_backup);
  backup_->setChecked(o.backup);
  trash_->setChecked(o.trash);
  full_path_->setChecked(o.full_path);
  position_->setChecked(o.window_position);
  charset_fixed_->setChecked(o.charset_fixed);
  detect_utf8_->setChecked(o.detect_utf8);
  UpdateTrashEnabled();
  for (int slot = 0; slot < kUserCommandSlots; ++slot) {
    const std::string title = UserCommandTitle(UserCommandFile(main_->editor(), slot));
    slot_list_->setItemText(slot, FromSjis(SlotListEntry(slot, title)));
  }
}

void OptionsDialog::Prepare(Page page) {
  const Options& o = main_->editor().options;
  preparing_ = true;
  SetPreview(FromUtf8(o.font_name), o.font_size);
  int font = font_list_->findText(preview_name_);
  if (font < 0) font = font_list_->findText(QStringLiteral("FixedSys"));
  // The face the view falls back to for a missing name, rather than the
  // list's first entry, which may be a face the view does not use.
  if (font < 0) font = font_list_->findText(ResolveViewFamily(preview_name_));
  font_list_->setCurrentIndex(font >= 0 ? font : (font_list_->count() > 0 ? 0 : -1));
  int size = size_list_->findText(QString::number(preview_size_));
  if (size < 0) size = size_list_->findText(QString::number(kFallbackSize));
  size_list_->setCurrentIndex(size);
  preparing_ = false;
  undo_memory_->setValue(o.undo_memory_mb);
  slot_list_->setCurrentIndex(0);
  ShowSlotPath();
  pages_->setCurrentIndex(static_cast<int>(page));
  UpdateTrashEnabled();
  note_->setPlainText(QString::fromUtf8(kUserNote));
}

void OptionsDialog::Run(Page page) {
  Prepare(page);
  adjustSize();  // the size for the fonts of this showing, before centring
  if (const QScreen* screen = main_->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  exec();
}

QStringList OptionsDialog::SlotEntries() const {
  QStringList entries;
  for (int i = 0; i < slot_list_->count(); ++i) entries << slot_list_->itemText(i);
  return entries;
}

void OptionsDialog::UpdateTrashEnabled() { trash_->setEnabled(backup_->isChecked()); }

void OptionsDialog::SetPreview(const QString& name, int size) {
  preview_name_ = name;
  preview_size_ = size;
  // A name that is not installed is kept for the settings; the preview shows
  // the face the view would use for it.
  QFont font(ResolveViewFamily(name));
  font.setPointSize(size);
  preview_->setFont(font);
}

void OptionsDialog::ShowSlotPath() {
  const int slot = slot_list_->currentIndex();
  if (slot < 0 || slot >= kUserCommandSlots) {
    path_label_->clear();
    return;
  }
  const std::string& path =
      main_->editor().options.user_command_files[static_cast<std::size_t>(slot)];
  if (path.empty()) {
    path_label_->setText(QString::fromUtf8("(未設定)"));
    return;
  }
  const QFontMetrics metrics(path_label_->font());
  path_label_->setText(ShortenedPath(FromUtf8(path), path_label_->width(),
                                     [&metrics](const QString& text) {
                                       return metrics.horizontalAdvance(text);
                                     }));
}

void OptionsDialog::ChangeSlotFile() {
  const int slot = slot_list_->currentIndex();
  if (slot < 0 || slot >= kUserCommandSlots) return;
  FileDialogSpec dialog;
  dialog.filter = Sjis("Parvane 自動処理ファイル (*.pvx)|*.pvx|すべてのファイル (*.*)|*.*");
  dialog.default_extension = "pvx";
  const std::optional<std::filesystem::path> file = main_->host().OpenFileDialog(dialog);
  if (!file) return;
  Editor& editor = main_->editor();
  editor.options.user_command_files[static_cast<std::size_t>(slot)] =
      std::filesystem::absolute(*file).string();
  Lines lines;
  std::string error;
  if (!ReadPvxFile(*file, &lines, &error)) {
    editor.host().Message(Sjis("ファイルを開けませんでした。\r\n") + PathToSjis(*file) + "\r\n" +
                              Sjis(error),
                          MessageIcon::kError, MessageButtons::kOk);
  } else if (!lines.empty()) {
    const std::string title = PvxTitle(lines).value_or(std::string());
    slot_list_->setItemText(slot, FromSjis(SlotListEntry(slot, title)));
    QAction* item =
        main_->menus().app(static_cast<AppAction>(static_cast<int>(AppAction::kUser1) + slot));
    if (item != nullptr) item->setText(FromSjis(SlotMenuCaption(slot, title)));
  }
  slot_list_->setCurrentIndex(slot);
  emit SlotEntriesChanged();
  ShowSlotPath();
}

void OptionsDialog::Ok() {
  ok_->setEnabled(false);
  Options& options = main_->editor().options;
  options.font_name = preview_name_.toStdString();
  options.font_size = preview_size_;
  options.undo_memory_mb = undo_memory_->value();
  std::string error;
  if (!WriteDialogSettings(main_->paths().settings, options, &error)) {
    main_->host().Message(Sjis("設定ファイルを保存できませんでした。\r\n") +
                              PathToSjis(main_->paths().settings) + "\r\n" + Sjis(error),
                          MessageIcon::kError, MessageButtons::kOk);
  }
  main_->ApplyOptions();
  ok_->setEnabled(true);
  accept();
}

}  // namespace parvane
