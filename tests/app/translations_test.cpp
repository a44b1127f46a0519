// Qt's own texts follow a Japanese locale once its translations are loaded;
// an English locale keeps Qt's English.
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/translations.h"

namespace parvane {

class TranslationsTest : public QObject {
  Q_OBJECT

 private slots:
  void EnglishLoadsNothing() {
    QVERIFY(!InstallQtTranslations(QCoreApplication::instance(), QLocale(QLocale::English)));
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
  }

  void JapaneseStandardButtonsAndDialogs() {
    QVERIFY(InstallQtTranslations(QCoreApplication::instance(),
                                  QLocale(QLocale::Japanese, QLocale::Japan)));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                         QDialogButtonBox::No);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
    QCOMPARE(box.button(QDialogButtonBox::Yes)->text(), QString::fromUtf8("はい(&Y)"));
    QCOMPARE(box.button(QDialogButtonBox::No)->text(), QString::fromUtf8("いいえ(&N)"));
    // The file dialogs' own labels come from the same catalogue.
    QVERIFY(QCoreApplication::translate("QFileDialog", "File &name:") !=
            QStringLiteral("File &name:"));
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::TranslationsTest)
#include "translations_test.moc"
