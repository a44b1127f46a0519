#include "app/key_field_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace parvane {

namespace {

bool TurnedInVerticalWriting(QChar c) {
  static const QString kTurned = QString::fromUtf8("ー－―…‥〜～（）「」『』【】〔〕［］｛｝＜＞《》〈〉=＝");
  return kTurned.contains(c);
}

bool SitsUpperRight(QChar c) { return c == QChar(0x3001) || c == QChar(0x3002); }

}  // namespace

VerticalLabel::VerticalLabel(const QString& text, QWidget* parent)
    : QWidget(parent), text_(text) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Minimum);
}

int VerticalLabel::CellHeight() const {
  const QFontMetrics fm(font());
  return std::max(fm.height() * 9 / 10, fm.horizontalAdvance(QChar(0x3042)));
}

QSize VerticalLabel::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(fm.horizontalAdvance(QChar(0x3042)) + 4,
               CellHeight() * static_cast<int>(text_.size()) + 8);
}

void VerticalLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  const QFontMetrics fm(font());
  const int cell = CellHeight();
  const int column = width();
  for (qsizetype i = 0; i < text_.size(); ++i) {
    const QChar c = text_[i];
    const QRect box(0, 4 + static_cast<int>(i) * cell, column, cell);
    if (TurnedInVerticalWriting(c)) {
      p.save();
      p.translate(box.center());
      p.rotate(90);
      p.drawText(QRect(-cell / 2, -column / 2, cell, column), Qt::AlignCenter, QString(c));
      p.restore();
    } else if (SitsUpperRight(c)) {
      // The glyph sits low left for horizontal writing: move it by half its
      // width to the right and half a cell up.
      p.drawText(box.translated(fm.horizontalAdvance(c) / 2, -cell / 2), Qt::AlignCenter,
                 QString(c));
    } else {
      p.drawText(box, Qt::AlignCenter, QString(c));
    }
  }
}

KeyFieldDialog::KeyFieldDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("カンマ区切りテキストのソート"));
  resize(517, 640);
  auto* layout = new QHBoxLayout(this);
  auto* strip = new QVBoxLayout;
  choose_ = new QPushButton(QString::fromUtf8("▽"), this);
  choose_->setFixedWidth(32);
  strip->addWidget(choose_);
  strip->addWidget(new VerticalLabel(
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
