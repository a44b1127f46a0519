// LineModel: the document's lines as a list model, one row per line.
//
// The model holds no copy of the text: data() decodes the Shift_JIS line only
// for the rows a view asks about (the painted ones). Commands change the
// document behind the model's back while the view is frozen, so the row count
// the view sees is the one captured at the last reset; the window calls
// BeginChange() when a command starts and EndChange() when it ends.
#ifndef PARVANE_APP_LINE_MODEL_H_
#define PARVANE_APP_LINE_MODEL_H_

#include <QAbstractListModel>

namespace parvane {

class Document;
class PrivateCodes;

class LineModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // Role that yields the row's raw Shift_JIS bytes as a QByteArray.
  static constexpr int kSjisRole = Qt::UserRole + 1;

  explicit LineModel(const Document& doc, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // The document is about to change under the model.
  void BeginChange();
  // The document has changed; views re-read everything.
  void EndChange();
  bool changing() const { return changing_; }

  const Document& doc() const { return *doc_; }

  // The document's private codes, through which rows are decoded.
  void set_private_codes(const PrivateCodes* codes) { codes_ = codes; }

 private:
  const Document* doc_;
  const PrivateCodes* codes_ = nullptr;
  int rows_ = 0;
  bool changing_ = false;
};

}  // namespace parvane

#endif  // PARVANE_APP_LINE_MODEL_H_
