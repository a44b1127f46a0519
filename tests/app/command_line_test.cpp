// The desktop program's command line: files, the two informational options,
// usage errors; and the exit codes of the real program, which answers
// --help and --version without a display.
#include <QProcess>
#include <QtTest>

#include "app/command_line.h"

namespace parvane {

using Kind = CommandLine::Kind;

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void FilesOptionsAndErrors() {
    CommandLine c = ParseCommandLine({"a.txt", "b.txt", "-"});
    QCOMPARE(c.kind, Kind::kRun);
    QCOMPARE(c.files, QStringList({"a.txt", "b.txt", "-"}));

    c = ParseCommandLine({"a.txt", "--help"});
    QCOMPARE(c.kind, Kind::kHelp);
    QCOMPARE(ParseCommandLine({"-h"}).kind, Kind::kHelp);
    QCOMPARE(ParseCommandLine({"--version", "x"}).kind, Kind::kVersion);

    c = ParseCommandLine({"a.txt", "--bogus", "b.txt"});
    QCOMPARE(c.kind, Kind::kUsageError);
    QVERIFY(c.error.contains(QStringLiteral("--bogus")));
    QVERIFY(c.files.isEmpty());
    // A later --help still helps.
    QCOMPARE(ParseCommandLine({"--bogus", "--help"}).kind, Kind::kHelp);

    // After "--" everything is a file, even --help.
    c = ParseCommandLine({"--", "--help", "-x"});
    QCOMPARE(c.kind, Kind::kRun);
    QCOMPARE(c.files, QStringList({"--help", "-x"}));
  }

  void TheProgramExitsWithoutADisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    auto run = [&env](const QStringList& arguments, QByteArray* out, QByteArray* err) {
      QProcess p;
      p.setProcessEnvironment(env);
      p.start(QStringLiteral(PARVANE_APP), arguments);
      if (!p.waitForFinished(30000)) return -100;
      *out = p.readAllStandardOutput();
      *err = p.readAllStandardError();
      return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QByteArray out, err;
    QCOMPARE(run({"--help"}, &out, &err), 0);
    QVERIFY(out.startsWith("usage: parvane"));
    QCOMPARE(run({"--version"}, &out, &err), 0);
    QCOMPARE(out, QByteArray("parvane 1.15\n"));
    QCOMPARE(run({"--nonsense"}, &out, &err), 2);
    QVERIFY(out.isEmpty());
    QVERIFY(err.startsWith("parvane: unknown option --nonsense\n"));
    // Without a display: one line that points to the command-line tool.
    QCOMPARE(run({"memo.txt"}, &out, &err), 1);
    QCOMPARE(err.count('\n'), 1);
    QVERIFY(err.contains("parvane-cli --help"));
  }
};

}  // namespace parvane

QTEST_MAIN(parvane::CommandLineTest)
#include "command_line_test.moc"
