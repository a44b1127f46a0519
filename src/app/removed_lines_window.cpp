#include "app/removed_lines_window.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "commands/removed_lines.h"
#include "editor/editor.h"

namespace parvane {

RemovedLinesWindow::RemovedLinesWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("被削除行"));
  resize(486, 293);
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  QMenu* file = bar->addMenu(QString::fromUtf8("ファイル(&F)"));
  copy_ = file->addAction(QString::fromUtf8("クリップボードにコピー(&C)"));
  copy_->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
  move_ = file->addAction(QString::fromUtf8("メインウィンドウに移す(&M)"));
  save_ = file->addAction(QString::fromUtf8("名前を付けて保存(&A)..."));
  file->addSeparator();
  close_ = file->addAction(QString::fromUtf8("閉じる(&X)"));
  close_->setShortcut(QKeySequence(QStringLiteral("Alt+F4")));
  layout->setMenuBar(bar);
  layout->addWidget(new QLabel(QString::fromUtf8("以下の行は削除されました。"), this));
  list_ = new QListWidget(this);
  list_->setUniformItemSizes(true);
  layout->addWidget(list_);
  for (QAction* a : {copy_, move_, save_, close_}) addAction(a);

  connect(copy_, &QAction::triggered, this, [this] {
    if (editor_ != nullptr) RemovedLinesCopy(*editor_);
  });
  connect(move_, &QAction::triggered, this, [this] {
    if (editor_ != nullptr) RemovedLinesMove(*editor_);
  });
  connect(save_, &QAction::triggered, this, [this] {
    if (editor_ != nullptr) RemovedLinesSaveAs(*editor_);
  });
  connect(close_, &QAction::triggered, this, &QDialog::accept);
}

void RemovedLinesWindow::Prepare(Editor& editor, const QFont& font) {
  editor_ = &editor;
  list_->setFont(font);
  list_->setUpdatesEnabled(false);
  list_->clear();
  QStringList items;
  items.reserve(static_cast<qsizetype>(editor.removed_lines.size()));
  for (const std::string& line : editor.removed_lines) items << FromSjis(line, &editor.private_codes);
  list_->addItems(items);
  list_->setUpdatesEnabled(true);
}

void RemovedLinesWindow::Run(Editor& editor, const QFont& font) {
  Prepare(editor, font);
  exec();
}

}  // namespace parvane
