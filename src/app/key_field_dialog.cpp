#include "app/key_field_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvane {

SidewaysLabel::SidewaysLabel(const QString& text, QWidget* parent)
    : QWidget(parent), text_(text) {}

QSize SidewaysLabel::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(fm.height() + 4, fm.horizontalAdvance(text_) + 8);
}

void SidewaysLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  p.translate(2, height() - 4);
  p.rotate(-90);
  p.drawText(0, QFontMetrics(font()).ascent(), text_);
}

KeyFieldDialog::KeyFieldDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("カンマ区切りテキストのソート"));
  resize(517, 640);
  auto* layout = new QHBoxLayout(this);
  auto* strip = new QVBoxLayout;
  choose_ = new QPushButton(QString::fromUtf8("▽"), this);
  choose_->setFixedWidth(32);
  strip->addWidget(choose_);
  strip->addWidget(new SidewaysLabel(
      QString::fromUtf8("ソートに使う項目を選択したら、上のボタンをクリックしてください。"), this));
  strip->addStretch();
  layout->addLayout(strip);
  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(list_, 1);
  connect(choose_, &QPushButton::clicked, this, [this] {
    const int row = list_->currentRow();
    if (row < 0 || list_->selectedItems().isEmpty()) return;  // no field chosen yet
    chosen_ = row;
    accept();
  });
}

void KeyFieldDialog::Prepare(const QString& caption, const QStringList& fields,
                             const QFont& font) {
  setWindowTitle(caption);
  chosen_.reset();
  list_->clear();
  list_->setFont(font);
  list_->addItems(fields);
  list_->clearSelection();
  list_->setCurrentRow(-1);
}

std::optional<int> KeyFieldDialog::Run(const QString& caption, const QStringList& fields,
                                       const QFont& font) {
  Prepare(caption, fields, font);
  exec();
  return chosen_;
}

}  // namespace parvane
