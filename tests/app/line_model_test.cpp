// The list model over the document's lines.
#include <QAbstractItemModelTester>
#include <QtTest>

#include "app/line_model.h"
#include "editor/document.h"
#include "text/literal.h"

namespace parvane {

class LineModelTest : public QObject {
  Q_OBJECT

 private slots:
  void DecodesShiftJisForDisplay() {
    Document doc;
    doc.SetLines({Sjis("日本語の行"), "abc", ""});
    LineModel model(doc);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString::fromUtf8("日本語の行"));
    QCOMPARE(model.data(model.index(2, 0)).toString(), QString());
    QCOMPARE(model.data(model.index(0, 0), LineModel::kSjisRole).toByteArray(),
             QByteArray::fromStdString(Sjis("日本語の行")));
  }

  void RowCountFollowsTheDocumentOnlyAtTheEndOfAChange() {
    Document doc;
    doc.SetLines({"a", "b"});
    LineModel model(doc);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.BeginChange();
    doc.SetLines({"x"});
    // A view that asks mid-command gets nothing for rows that are gone.
    QCOMPARE(model.data(model.index(1, 0)), QVariant());
    model.EndChange();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("x"));
  }

  void AMillionRowsCostNothingUntilPainted() {
    Document doc;
    Lines lines(1000000, Sjis("長い文書の一行"));
    doc.SetLines(std::move(lines));
    LineModel model(doc);
    model.BeginChange();
    model.EndChange();
    QCOMPARE(model.rowCount(), 1000000);
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::LineModelTest)
#include "line_model_test.moc"
