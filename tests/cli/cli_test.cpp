// parvane-cli end to end: the built program on small files, exact bytes out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

struct CliResult {
  int status;
  std::string out;  // standard output, bytes
  std::string err;  // standard error, UTF-8
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

class CliTest : public ::testing::Test {
 protected:
  // Runs the tool in the temporary directory with its own settings and trash.
  CliResult Run(const std::vector<std::string>& args, std::string_view input = {}) {
    WriteBytes(dir / "stdin.bin", input);
    std::string cmd = "cd " + Quote(dir.path().string()) + " && XDG_CONFIG_HOME=" +
                      Quote((dir / "config").string()) +
                      " XDG_DATA_HOME=" + Quote((dir / "data").string()) + " " +
                      Quote(PARVANE_CLI);
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " < stdin.bin > stdout.bin 2> stderr.txt";
    int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir / "stdout.bin"),
            ReadBytes(dir / "stderr.txt")};
  }
  void Settings(const std::string& ini) {
    std::filesystem::create_directories(dir / "config" / "parvane");
    WriteBytes(dir / "config" / "parvane" / "parvane.ini", "[Parvane]\n" + ini);
  }
  std::string File(const std::string& name) { return (dir / name).string(); }
  TempDir dir;
};

TEST_F(CliTest, InformationModes) {
  CliResult r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Parvane 1.15\n");
  r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("usage: parvane-cli", 0), 0u);
  r = Run({"--list"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("001\t[五十音順にする]\n002\t[長さ順にする]\n", 0), 0u);
  EXPECT_NE(r.out.find("\n051\t[行頭に文字列を追加]\ttext to add\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n071\t[変換テーブルで変換]\t"), std::string::npos);
  EXPECT_NE(r.out.find("\n073\t[拡張正規表現置換]\t"), std::string::npos);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 73);
}

TEST_F(CliTest, ExtendedRegexStepsTakeGroups) {
  // Line breaks are not this test's concern.
  auto lf = [](std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
  };
  CliResult r = Run({"-e", "[拡張正規表現置換],\"(\\d+)-(\\d+)-(\\d+)\",\"\\3/\\2/\\1\""}, "2024-01-05\nx\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lf(r.out), "05/01/2024\nx\n");
  // The present step keeps its syntax: \d is d, \1 the character 1.
  r = Run({"-e", "062,\"(\\d)\",\"<\\1>\""}, "1d\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lf(r.out), "1<\x01>\n");
}

TEST_F(CliTest, UsageErrorsExitTwoAndTouchNothing) {
  WriteBytes(dir / "a.txt", "b\na\n");
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--bogus"}, {"--code", "latin1", "a.txt"}, {"-e"},
        {"--stdout", "-o", "x", "a.txt"}, {"-o", "x", "a.txt", "b.txt"}, {"--list=1"}}) {
    CliResult r = Run(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_NE(r.err.find("usage: parvane-cli"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "b\na\n");
}

TEST_F(CliTest, AStepThatNamesNoCommandIsAUsageError) {
  WriteBytes(dir / "a.txt", "b\na\n");
  for (std::string step : {"[五十音順に並べ替える]", "999", "0", "x"}) {
    CliResult r = Run({"-e", "003", "-e", step, "a.txt"});
    EXPECT_EQ(r.status, 2) << step;
    EXPECT_NE(r.err.find("no such command"), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "b\na\n");
  EXPECT_EQ(Run({"-e", "[五十音順にする]", "-e", " 3", "a.txt"}).status, 0);
}

TEST_F(CliTest, PipeKeepsTheDetectedCode) {
  // Shift_JIS, steps given in UTF-8 on the command line.
  CliResult r = Run({"-e", "[五十音順にする]"}, Sjis("う\r\nあ\nい\r"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Sjis("あ\r\nい\r\nう\r\n"));
  EXPECT_TRUE(r.err.empty());
  // EUC-JP stays EUC-JP.
  const std::string chotto = "\xa4\xc1\xa4\xe7\xa4\xc3\xa4\xc8";  // ちょっと
  const std::string aiueo = "\xa4\xa2\xa4\xa4\xa4\xa6\xa4\xa8\xa4\xaa";
  r = Run({"-e", "003"}, chotto + "\n" + aiueo + "\n");
  EXPECT_EQ(r.out, aiueo + "\r\n" + chotto + "\r\n");
  // UTF-8 with a mark keeps its mark; without one it stays without.
  r = Run({"-e", "3"}, "\xef\xbb\xbf" "a\nb\n");
  EXPECT_EQ(r.out, "\xef\xbb\xbf" "b\r\na\r\n");
  r = Run({"-e", "3"}, "あ\nい\n");
  EXPECT_EQ(r.out, "い\r\nあ\r\n");
  // No steps: a converter.
  r = Run({"--code", "utf-8n"}, Sjis("あ\r\n"));
  EXPECT_EQ(r.out, "あ\r\n");
  r = Run({"--code=sjis"}, "\xef\xbb\xbf" "あ\n");
  EXPECT_EQ(r.out, Sjis("あ\r\n"));
}

TEST_F(CliTest, InPlaceKeepsABakCopyAsTheSettingsSay) {
  Settings("File.Trash=0\n");
  WriteBytes(dir / "a.txt", "b\r\na\r\n");
  CliResult r = Run({"-e", "[逆にする]", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "a\r\nb\r\n");
  EXPECT_EQ(ReadBytes(dir / "a.bak"), "b\r\na\r\n");

  WriteBytes(dir / "c.txt", "1\r\n2\r\n");
  r = Run({"--no-backup", "-e", "003", "c.txt"});
  EXPECT_EQ(ReadBytes(dir / "c.txt"), "2\r\n1\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "c.bak"));
  // The settings file is read, never written.
  EXPECT_EQ(ReadBytes(dir / "config" / "parvane" / "parvane.ini"), "[Parvane]\nFile.Trash=0\n");
}

TEST_F(CliTest, DefaultSettingsPutTheBakCopyInTheTrash) {
  WriteBytes(dir / "a.txt", "b\r\na\r\n");
  CliResult r = Run({"-e", "003", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "a\r\nb\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));
  EXPECT_EQ(ReadBytes(dir / "data" / "Trash" / "files" / "a.bak"), "b\r\na\r\n");
  std::string info = ReadBytes(dir / "data" / "Trash" / "info" / "a.bak.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=/", 0), 0u);
  EXPECT_NE(info.find("/a.bak\nDeletionDate="), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "config" / "parvane" / "parvane.ini"));
}

TEST_F(CliTest, StdoutAndOutputFileLeaveTheInputAlone) {
  WriteBytes(dir / "a.txt", "b\na\n");
  CliResult r = Run({"--stdout", "-e", "003", "a.txt"});
  EXPECT_EQ(r.out, "a\r\nb\r\n");
  r = Run({"-o", "out.txt", "--code", "utf-16be", "-e", "003", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "out.txt"), std::string("\xfe\xff\0a\0\r\0\n\0b\0\r\0\n", 14));
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "b\na\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));
}

TEST_F(CliTest, MacroFileThenSteps) {
  WriteBytes(dir / "m.pvx", Sjis("TITLE=整形\r\n[行頭に文字列を追加],\"> \"\r\n"));
  CliResult r = Run({"-f", "m.pvx", "-e", "[長さ順にする]"}, "ccc\nb\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "> b\r\n> ccc\r\n");
  r = Run({"-f", "missing.pvx"}, "x\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
}

TEST_F(CliTest, AnswersAreConsumedInOrderAndFirstAnswersCarryOver) {
  Settings("File.Backup=0\n");
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) WriteBytes(dir / name, "abcdef\r\n");
  CliResult r = Run({"-e", "058,@1st", "--answer", "4", "1.txt", "2.txt", "3.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
    EXPECT_EQ(ReadBytes(dir / name), "abcd\r\nef\r\n") << name;
  }
  for (const char* name : {"1.txt", "2.txt"}) WriteBytes(dir / name, "abcdef\r\n");
  r = Run({"-e", "058,@all", "--answer", "3", "1.txt", "2.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(dir / "1.txt"), "abc\r\ndef\r\n");
  EXPECT_EQ(ReadBytes(dir / "2.txt"), "abcdef\r\n");
  EXPECT_NE(r.err.find("no --answer left"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("何文字で折り返しますか？"), std::string::npos) << r.err;
}

TEST_F(CliTest, AFailingStepLeavesThatFileUnchangedAndOthersGoOn) {
  Settings("File.Backup=0\n");
  std::string long_line(40000, 'x');
  WriteBytes(dir / "big.txt", long_line + "\r\n" + long_line + "\r\n");
  WriteBytes(dir / "small.txt", "a\r\nb\r\n");
  CliResult r = Run({"-e", "[選択項目を一行に結合する]", "big.txt", "missing.txt", "small.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(dir / "big.txt"), long_line + "\r\n" + long_line + "\r\n");
  EXPECT_EQ(ReadBytes(dir / "small.txt"), "ab\r\n");
  // The join refuses with its own message and stores the lines unchanged.
  EXPECT_NE(r.err.find("big.txt: 結合できませんでした。大きすぎます。\n"
                       "parvane-cli: big.txt: not written: a step failed\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("missing.txt: no such file"), std::string::npos) << r.err;
}

TEST_F(CliTest, ABadPatternIsReportedAndTheFileKept) {
  WriteBytes(dir / "a.txt", "a=b\r\n");
  CliResult r = Run({"-e", "068,(", "-e", "003", "a.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "a=b\r\n");
  EXPECT_NE(r.err.find("a.txt: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("need right parenthesis."), std::string::npos) << r.err;
}

TEST_F(CliTest, AFileThatDoesNotLoadIsReported) {
  WriteBytes(dir / "long.txt", std::string(64000, 'x') + "\r\n");
  CliResult r = Run({"-e", "003", "long.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("長すぎる行があります。"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(dir / "long.txt").size(), 64002u);
}

TEST_F(CliTest, ATooLongResultIsRefusedAndReported) {
  Settings("File.Backup=0\n");
  const std::string line(63999, 'x');
  WriteBytes(dir / "a.txt", line + "\r\n");
  CliResult r = Run({"-e", "052,yy", "a.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(dir / "a.txt"), line + "\r\n");
  EXPECT_EQ(r.err,
            "parvane-cli: a.txt: step 1 (052): 行が長くなりすぎてしまいます。\n処理を中止しました。\n"
            "parvane-cli: a.txt: not written: a step failed\n");
}

TEST_F(CliTest, MatchCaseAndSelectionStyle) {
  EXPECT_EQ(Run({"-e", "061,a,X"}, "aA\n").out, "XX\r\n");
  EXPECT_EQ(Run({"--match-case", "-e", "061,a,X"}, "aA\n").out, "XA\r\n");
  // After a find leaves one row selected, the extended style works on the
  // whole document and the standard style on that row alone.
  EXPECT_EQ(Run({"-e", "059,a", "-e", "003"}, "b1\na2\nc3\n").out, "c3\r\na2\r\nb1\r\n");
  EXPECT_EQ(Run({"--standard-selection", "-e", "059,a", "-e", "003"}, "b1\na2\nc3\n").out,
            "b1\r\na2\r\nc3\r\n");
}

}  // namespace
}  // namespace parvane
