#include "app/line_model.h"

#include <QByteArray>
#include <limits>

#include "app/qt_text.h"
#include "editor/document.h"

namespace parvane {
namespace {

int ClampRows(std::size_t n) {
  return n > static_cast<std::size_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(n);
}

}  // namespace

LineModel::LineModel(const Document& doc, QObject* parent)
    : QAbstractListModel(parent), doc_(&doc), rows_(ClampRows(doc.size())) {}

int LineModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant LineModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const auto row = static_cast<std::size_t>(index.row());
  // The document may already be shorter while a command runs.
  if (row >= doc_->size()) return {};
  const std::string_view line = doc_->line(row);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return FromSjis(line, codes_);
    case kSjisRole:
      return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
    default:
      return {};
  }
}

void LineModel::BeginChange() {
  if (changing_) return;
  changing_ = true;
  beginResetModel();
}

void LineModel::EndChange() {
  if (!changing_) {
    beginResetModel();
  }
  rows_ = ClampRows(doc_->size());
  changing_ = false;
  endResetModel();
}

}  // namespace parvane
