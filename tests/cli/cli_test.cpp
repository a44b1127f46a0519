// parvane-cli end to end: the built program on small files, exact bytes out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "automation/command_table.h"
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
                      " XDG_DATA_HOME=" + Quote((dir / "data").string()) + " " + env +
                      " " + Quote(PARVANE_CLI);
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
  std::string env;  // "NAME=value ..." for the tool's environment
};

TEST_F(CliTest, InformationModes) {
  CliResult r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Parvane 1.15\n");
  r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("usage: parvane-cli", 0), 0u);
  EXPECT_NE(r.out.find("parvane-cli(1)"), std::string::npos);
  EXPECT_NE(r.out.find("completions/parvane-cli"), std::string::npos);
  r = Run({"--list"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("001\t[五十音順にする]\tsort\n002\t[長さ順にする]\tsort-length\n", 0), 0u);
  EXPECT_NE(r.out.find("\n051\t[行頭に文字列を追加]\tprefix\ttext to add\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n071\t[変換テーブルで変換]\tconvert-table\t"), std::string::npos);
  EXPECT_NE(r.out.find("\n080\t[Base64形式をデコードする]\tbase64-decode\n"), std::string::npos);
  EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')),
            CommandTable().size());
  EXPECT_NE(r.out.find("\n073\t[拡張正規表現置換]\tregex-replace-ext\t"), std::string::npos);
}

TEST_F(CliTest, ExtendedRegexStepsTakeGroups) {
  CliResult r = Run({"-e", "[拡張正規表現置換],\"(\\d+)-(\\d+)-(\\d+)\",\"\\3/\\2/\\1\""}, "2024-01-05\nx\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "05/01/2024\nx\n");
  r = Run({"-e", "regex-replace-ext,\"([a-z]+)=([0-9]+)\",\\2:\\1"}, "a=1\n");
  EXPECT_EQ(r.out, "1:a\n");
  // The present step keeps its syntax: \d is d, \1 the character 1.
  r = Run({"-e", "062,\"(\\d)\",\"<\\1>\""}, "1d\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1<\x01>\n");
}

TEST_F(CliTest, UsageErrorsExitTwoAndTouchNothing) {
  WriteBytes(dir / "a.txt", "b\na\n");
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--bogus"}, {"--code", "latin1", "a.txt"}, {"-e"},
        {"--stdout", "-o", "x", "a.txt"}, {"-o", "x", "a.txt", "b.txt"}, {"--list=1"},
        {"--settings", "s.ini", "--no-settings", "a.txt"}, {"--no-settings=1"}, {"-", "a.txt", "-"}}) {
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

TEST_F(CliTest, AMalformedStepIsAUsageErrorNamingIt) {
  WriteBytes(dir / "a.txt", "ab\n");
  const struct {
    std::string step;
    std::string message;
  } kCases[] = {
      {"[置換],a\tb,X", "-e [置換],a\\x09b,X: control byte 0x09 outside double quotes"},
      {"061,a,X\n", "-e 061,a,X\\x0A: control byte 0x0A outside double quotes"},
      {"061,\"a\"\x01,X", "-e 061,\"a\"\\x01,X: control byte 0x01 outside double quotes"},
      {"061,a\xff,X", "-e 061,a\\xFF,X: invalid UTF-8 at byte 6"},
      {"061,\xe3\x81,X", "-e 061,\\xE3\\x81,X: invalid UTF-8 at byte 5"},
      {"061,\xc0\xaf,X", "-e 061,\\xC0\\xAF,X: invalid UTF-8 at byte 5"},
      {"061,\xed\xa0\x80,X", "-e 061,\\xED\\xA0\\x80,X: invalid UTF-8 at byte 5"},
  };
  for (const auto& c : kCases) {
    CliResult r = Run({"-e", "003", "-e", c.step, "a.txt"});
    EXPECT_EQ(r.status, 2) << c.step;
    EXPECT_EQ(r.err.rfind("parvane-cli: " + c.message, 0), 0u) << r.err;
  }
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "ab\n");
  // Inside quotes every byte is data; a four-byte character is valid UTF-8.
  CliResult r = Run({"-e", "[置換],\"a\tb\",X"}, "a\tb\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "X\n");
  EXPECT_EQ(Run({"-e", "[行末に文字列を追加],😀"}, "a\n").status, 0);
}

TEST_F(CliTest, AnErrorEndsTheRunAndIsShownOnce) {
  // A step that shows an error ends the run: the later steps never repeat it.
  std::vector<std::string> args;
  for (int i = 0; i < 50; ++i) args.insert(args.end(), {"-e", "068,("});
  CliResult r = Run(args, "a\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
  EXPECT_NE(r.err.find("need right parenthesis.\n"
                       "parvane-cli: standard input: not written: a step failed\n"),
            std::string::npos)
      << r.err;
}

TEST_F(CliTest, RunningOutOfMemoryIsAFailureNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
#endif
  const std::string cmd = "cd " + Quote(dir.path().string()) + " && XDG_CONFIG_HOME=" +
                          Quote((dir / "config").string()) + " sh -c " +
                          Quote("ulimit -v 1000000; exec " + Quote(PARVANE_CLI) +
                                " --stdout /dev/zero > stdout.bin 2> stderr.txt");
  const int raw = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(raw)) << "killed by a signal";
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_EQ(ReadBytes(dir / "stderr.txt"),
            "parvane-cli: /dev/zero: not enough memory; not written\n");
  EXPECT_EQ(ReadBytes(dir / "stdout.bin"), "");
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
  EXPECT_EQ(r.out, aiueo + "\n" + chotto + "\n");
  // UTF-8 with a mark keeps its mark; without one it stays without.
  r = Run({"-e", "3"}, "\xef\xbb\xbf" "a\nb\n");
  EXPECT_EQ(r.out, "\xef\xbb\xbf" "b\na\n");
  r = Run({"-e", "3"}, "あ\nい\n");
  EXPECT_EQ(r.out, "い\nあ\n");
  // No steps: a converter.
  r = Run({"--code", "utf-8n"}, Sjis("あ\r\n"));
  EXPECT_EQ(r.out, "あ\r\n");
  r = Run({"--code=sjis"}, "\xef\xbb\xbf" "あ\n");
  EXPECT_EQ(r.out, Sjis("あ\n"));
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

TEST_F(CliTest, InPlaceFollowsLinksAndChangesNothingItShouldNot) {
  Settings("File.Trash=0\n");
  WriteBytes(dir / "real.txt", "b\r\na\r\n");
  std::filesystem::create_symlink("real.txt", dir / "link.txt");
  CliResult r = Run({"-e", "003", "link.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
  EXPECT_EQ(ReadBytes(dir / "real.txt"), "a\r\nb\r\n");
  EXPECT_EQ(ReadBytes(dir / "real.bak"), "b\r\na\r\n");

  // A failed run makes no backup either.
  WriteBytes(dir / "c.txt", "1\r\n");
  r = Run({"-e", "062,(,x", "c.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(dir / "c.txt"), "1\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "c.bak"));

  std::filesystem::create_directory(dir / "folder");
  r = Run({"-e", "003", "folder"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "parvane-cli: folder: not a regular file; nothing changed\n");
}

TEST_F(CliTest, StdoutAndOutputFileLeaveTheInputAlone) {
  WriteBytes(dir / "a.txt", "b\na\n");
  CliResult r = Run({"--stdout", "-e", "003", "a.txt"});
  EXPECT_EQ(r.out, "a\nb\n");
  r = Run({"-o", "out.txt", "--code", "utf-16be", "-e", "003", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "out.txt"), std::string("\xfe\xff\0a\0\n\0b\0\n", 10));
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "b\na\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));
}

TEST_F(CliTest, MacroFileThenSteps) {
  WriteBytes(dir / "m.pvx", Sjis("TITLE=整形\r\n[行頭に文字列を追加],\"> \"\r\n"));
  CliResult r = Run({"-f", "m.pvx", "-e", "[長さ順にする]"}, "ccc\nb\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "> b\n> ccc\n");
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
  std::filesystem::create_directory(dir / "folder.txt");
  CliResult r = Run({"--stdout", "-e", "003", "folder.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ファイルを開けませんでした。"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("not processed"), std::string::npos) << r.err;
}

TEST_F(CliTest, ALineAStepMayWriteTheNextRunMayRead) {
  Settings("File.Backup=0\n");
  WriteBytes(dir / "a.txt", std::string(63998, 'x') + "\r\n");
  EXPECT_EQ(Run({"-e", "052,yy", "a.txt"}).status, 0);
  CliResult r = Run({"-e", "003", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "a.txt"), std::string(63998, 'x') + "yy\r\n");
}

// The 64,000-byte limit protects the desktop program's view; the tool has
// none, for loading and for results alike.
TEST_F(CliTest, LinesHaveNoLengthLimit) {
  Settings("File.Backup=0\n");
  const std::string line(64000, 'x');
  WriteBytes(dir / "long.txt", line + "\r\n");
  CliResult r = Run({"-e", "003", "long.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "long.txt"), line + "\r\n");
  WriteBytes(dir / "a.txt", line + "\n");
  r = Run({"-e", "052,yy", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "a.txt"), line + "yy\n");
  EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(CliTest, MatchCaseAndSelectionStyle) {
  EXPECT_EQ(Run({"-e", "061,a,X"}, "aA\n").out, "XX\n");
  EXPECT_EQ(Run({"--match-case", "-e", "061,a,X"}, "aA\n").out, "XA\n");
  // The one row a find selected is what the next command works on, in
  // either style.
  EXPECT_EQ(Run({"-e", "059,a", "-e", "052,!"}, "b1\na2\nc3\n").out, "b1\na2!\nc3\n");
  EXPECT_EQ(Run({"--standard-selection", "-e", "059,a", "-e", "052,!"}, "b1\na2\nc3\n").out,
            "b1\na2!\nc3\n");
}

}  // namespace
}  // namespace parvane

namespace parvane {
namespace {

// Every kind of break, with and without one after the last line, comes back
// as it went in: from standard input and from a file edited in place.
TEST_F(CliTest, LineBreaksRoundTrip) {
  Settings("File.Backup=0\n");
  struct Case {
    std::string in;
    std::string reversed;  // after [逆にする]
    bool mixed = false;    // breaks of more than one kind: the first one's is written
  };
  const Case cases[] = {
      {"b\r\na\r\n", "a\r\nb\r\n"},
      {"b\r\na", "a\r\nb"},
      {"b\na\n", "a\nb\n"},
      {"b\na", "a\nb"},
      {"b\ra\r", "a\rb\r"},
      {"b\ra", "a\rb"},
      {"b\na\r\nc", "c\na\nb", true},  // the first break decides
      {"b\r\na\nc\r", "c\r\na\r\nb\r\n", true},
      {"x", "x"},  // no break at all: none is added
      {"x\n", "x\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    CliResult r = Run({"-e", "[逆にする]"}, c.in);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.reversed) << "stdin: " << c.in;
    WriteBytes(dir / "a.txt", c.in);
    r = Run({"-e", "[逆にする]", "a.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir / "a.txt"), c.reversed) << "file: " << c.in;
    // No step at all: byte for byte.
    r = Run({}, c.in);
    if (!c.mixed) {
      EXPECT_EQ(r.out, c.in);
    }
  }
}

TEST_F(CliTest, LineBreaksInEveryCode) {
  struct Case {
    std::vector<std::string> args;
    std::string in;
    std::string out;
  };
  const std::string a_sjis = Sjis("あ");
  const Case cases[] = {
      // A command that adds lines keeps the last one without a break.
      {{"-e", "058,3"}, "x\nabcdef", "x\nabc\ndef"},
      {{"-e", "058,3"}, "x\rabcdef\r", "x\rabc\rdef\r"},
      {{"--eol", "crlf"}, "b\na\n", "b\r\na\r\n"},
      {{"--eol=CR"}, "b\r\na", "b\ra"},
      {{"--eol", "lf"}, "b\ra\r", "b\na\n"},
      {{"--code", "euc-jp"}, a_sjis + "\n" + a_sjis, "\xa4\xa2\n\xa4\xa2"},
      // JIS returns to one-byte mode even without a last break.
      {{"--code", "jis"}, a_sjis, "\x1b$B$\"\x1b(J"},
      {{"--code", "jis"}, a_sjis + "\r", "\x1b$B$\"\x1b(J\r"},
      {{"--code", "utf-16"}, "a\nb", std::string("\xff\xfe" "a\0\n\0b\0", 8)},
      {{"--code", "utf-16be"}, "a\rb\r", std::string("\xfe\xff\0a\0\r\0b\0\r", 10)},
      {{"--code", "utf-8"}, a_sjis + "\n", "\xef\xbb\xbf" "あ\n"},
      // UTF-16 input: its breaks are read after decoding.
      {{"--code", "utf-8n"}, std::string("\xff\xfe" "a\0\r\0b\0", 8), "a\rb"},
  };
  for (const Case& c : cases) {
    CliResult r = Run(c.args, c.in);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args.back();
  }
  CliResult r = Run({"--eol", "nl"}, "a\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown line break 'nl'"), std::string::npos) << r.err;
}

TEST_F(CliTest, JisX0212AndX0213CharactersComeThroughWhole) {
  // EUC-JP: ん decides the code; 丂 is JIS X 0212, 𠂉 JIS X 0213 plane 2.
  const std::string euc = "\xa4\xf3\x8f\xb0\xa1\n\x8f\xa1\xa1\xb4\xc1\n";
  WriteBytes(dir / "euc.txt", euc);
  CliResult r = Run({"--code", "utf-8n", "--stdout", File("euc.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\xe3\x82\x93\xe4\xb8\x82\n\xf0\xa0\x82\x89\xe6\xbc\xa2\n");
  // 7-bit JIS with the escapes of JIS X 0212, plane 2 and half-width katakana.
  WriteBytes(dir / "jis.txt", "\x1b$(D\x30\x21\x1b$(P\x21\x21\x1b(I\x31\x1b(Ba\n");
  r = Run({"--code", "utf-8n", "--stdout", File("jis.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\xe4\xb8\x82\xf0\xa0\x82\x89\xef\xbd\xb1" "a\n");
  // Shift_JIS has no place for them.
  r = Run({"--code", "sjis", "--stdout", File("euc.txt")});
  EXPECT_EQ(r.status, 1);
  // Saved in its own code, the EUC-JP file keeps them.
  r = Run({"-e", "[行頭に文字列を追加],> ", "--no-backup", File("euc.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "euc.txt"), "> \xa4\xf3\x8f\xb0\xa1\n> \x8f\xa1\xa1\xb4\xc1\n");
  // JIS writes the escapes back (returning with ESC ( J, as it always does).
  r = Run({"-e", "[行頭に文字列を追加],> ", "--no-backup", File("jis.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "jis.txt"), "> \x1b$(D\x30\x21\x1b$(P\x21\x21\x1b$B\x25\x22\x1b(Ja\n");
}

TEST_F(CliTest, FromNamesTheInputCodeAndAliasesAreAccepted) {
  // EUC-JP あい is also valid Shift_JIS (four half-width katakana); --from
  // settles it and the output stays in the named code.
  const std::string ai_euc = "\xa4\xa2\xa4\xa4\n";
  EXPECT_EQ(Run({"--from", "eucjp", "--code", "utf8n"}, ai_euc).out, "あい\n");
  EXPECT_EQ(Run({"--from", "EUC-JP"}, ai_euc).out, ai_euc);
  EXPECT_EQ(Run({"--from", "ujis", "--code", "shift_jis"}, ai_euc).out, Sjis("あい\n"));
  // Shift_JIS bytes that would pass for EUC-JP are read as Shift_JIS.
  EXPECT_EQ(Run({"--from", "cp932", "--code", "utf-8n"}, "\xa4\xa2\n").out, "､｢\n");
  EXPECT_EQ(Run({"--from", "iso-2022-jp", "--code", "utf-8n"}, "\x1b$B$\"\x1b(B\n").out,
            "あ\n");
  // A Unicode form named without its mark.
  EXPECT_EQ(Run({"--from", "utf-16le", "--code", "utf-8n"}, std::string("a\0\n\0", 4)).out,
            "a\n");
  EXPECT_EQ(Run({"--from", "utf8", "--code", "sjis"}, "あ\n").out, Sjis("あ\n"));
  for (const char* alias : {"shift-jis", "sjis-win", "ms932", "windows-31j", "euc_jp", "jis",
                            "utf-8-sig", "utf16", "utf16be", "UTF-16LE"}) {
    CliResult r = Run({"--from", alias}, "a\n");
    EXPECT_EQ(r.status, 0) << alias << ": " << r.err;
  }
  CliResult r = Run({"--from", "latin1"}, "a\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown code 'latin1'"), std::string::npos) << r.err;
}

// Input whose bytes decide no code is written in the locale's code; input
// whose bytes decide one keeps it.
TEST_F(CliTest, UndecidedInputIsWrittenInTheLocaleCode) {
  for (const char* locale : {"LC_ALL=C.UTF-8", "LC_ALL=ja_JP.UTF-8", "LC_ALL=C"}) {
    env = locale;
    CliResult r = Run({"-e", "[ローマ字をカタカナに変換]"}, "a\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ア\n") << locale;
    EXPECT_EQ(Run({"-e", "[ローマ字をカタカナに変換]"}, "a" + Sjis("あ") + "\n").out,
              Sjis("アあ\n"))
        << locale;
  }
  env.clear();
  EXPECT_EQ(Run({"--code", "sjis", "-e", "029"}, "a\n").out, Sjis("ア\n"));
  Settings("File.CharsetFixed=1\nFile.Charset=EUC-JP\n");
  EXPECT_EQ(Run({"-e", "029"}, "a\n").out, "\xa5\xa2\n");
}

// A find's rows are what the next step works on, however many there are;
// a second find narrows within them.
TEST_F(CliTest, AFindSelectsWhatTheNextStepChanges) {
  struct Case {
    std::vector<std::string> steps;
    std::string in;
    std::string out;
  };
  const std::string in = "DEBUG 1\nok\nDEBUG 2\n";
  const Case cases[] = {
      // The found rows land as one block where the first was, as every
      // command's result on a selection does.
      {{"[検索],DEBUG", "[行頭に文字列を追加],//"}, in, "//DEBUG 1\n//DEBUG 2\nok\n"},
      {{"[検索],DEBUG", "[行頭に文字列を追加],//"}, "a\nDEBUG b\nc\n", "a\n//DEBUG b\nc\n"},
      {{"[検索],DEBUG", "[行頭に文字列を追加],//"}, "a\nb\n", "a\nb\n"},
      {{"[正規表現検索],^D", "[行頭に文字列を追加],//"}, "a\nb\n", "a\nb\n"},
      {{"[検索],DEBUG", "[検索],2", "[行頭に文字列を追加],//"}, in, "DEBUG 1\nok\n//DEBUG 2\n"},
      {{"[検索],DEBUG", "[検索],zzz", "[行頭に文字列を追加],//"}, in, in},
      // After a one-row find, a second find searches only that row.
      {{"[検索],2", "[検索],DEBUG", "[行頭に文字列を追加],//"}, in, "DEBUG 1\nok\n//DEBUG 2\n"},
      {{"[検索],ok", "[検索],DEBUG", "[行頭に文字列を追加],//"}, in, in},
      {{"[検索],zzz", "[検索],DEBUG", "[行頭に文字列を追加],//"}, in, in},
      // A command's stored result stays the selection, one row too.
      {{"[検索],ok", "[行末に文字列を追加],!", "[行頭に文字列を追加],//"}, in,
       "DEBUG 1\n//ok!\nDEBUG 2\n"},
      // Selecting everything is the person's choice again.
      {{"[検索],zzz", "[すべて選択]", "[行頭に文字列を追加],//"}, "a\nb\n", "//a\n//b\n"},
  };
  for (const Case& c : cases) {
    for (const char* style : {"", "--standard-selection"}) {
      std::vector<std::string> args;
      if (*style) args.push_back(style);
      for (const std::string& step : c.steps) {
        args.push_back("-e");
        args.push_back(step);
      }
      CliResult r = Run(args, c.in);
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, c.out) << c.steps[0] << " " << c.steps[1] << " " << style;
    }
  }
}

// A replacement by a line break gives rows, in the whole document and in a
// selection; a later command sees every row.
TEST_F(CliTest, ALineBreakInAResultBecomesRows) {
  EXPECT_EQ(Run({"-e", "[正規表現置換],\",\",\\n"}, "a,b,c\n").out, "a\nb\nc\n");
  EXPECT_EQ(Run({"-e", "[正規表現置換],\",\",\\n", "-e", "[チャットや掲示板で化けた文字を元に戻す]"},
                "1,2\n3,4\n5,6\n7,8\n")
                .out,
            "1\n2\n3\n4\n5\n6\n7\n8\n");
  EXPECT_EQ(Run({"-e", "[検索],x", "-e", "[正規表現置換],-,\\r\\n", "-e", "[逆にする]"},
                "a-b\nx-y-z\nc-d\n")
                .out,
            "a-b\nz\ny\nx\nc-d\n");
}

TEST_F(CliTest, AliasesNameTheSameStepsAsCodes) {
  struct Case {
    std::vector<std::string> steps;
    std::string input, output;
  };
  const std::vector<Case> cases = {
      {{"reverse"}, "a\nb\n", "b\na\n"},
      {{"sort-numeric"}, "file10\nfile2\nfile1\n", "file1\nfile2\nfile10\n"},
      {{"csv-sort-numeric,1"}, "a,10\nb,9\nc,x\n", "b,9\na,10\nc,x\n"},
      {{"dedup-all"}, "b\na\nb\na\nc\n", "b\na\nc\n"},
      {{"dedup"}, "a\na\nb\na\n", "a\nb\na\n"},
      {{"prefix,\"> \"", "suffix,;"}, "x\n", "> x;\n"},
      {{"replace,a,b"}, "aA\n", "bb\n"},
      {{"regex-replace,[0-9]+,#"}, "a12b3\n", "a#b#\n"},
      {{"url-encode"}, "a b&c\n", "a+b%26c\n"},
      {{"url-encode", "base64-encode"}, "a b\n", "YSti\n"},
      {{"base64-decode", "url-decode"}, "YSti\n", "a b\n"},
      {{"upper", "sort"}, "b\na\n", "A\nB\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--no-settings"};
    for (const std::string& step : c.steps) args.insert(args.end(), {"-e", step});
    CliResult r = Run(args, c.input);
    EXPECT_EQ(r.status, 0) << c.steps[0] << r.err;
    EXPECT_EQ(r.out, c.output) << c.steps[0];
  }
  // Japanese input through an alias: the code of the input stays.
  EXPECT_EQ(Run({"-e", "sort-numeric"}, Sjis("第10章\r\n第2章\r\n")).out, Sjis("第2章\r\n第10章\r\n"));
  // A pvx file keeps its own syntax: an alias there names no command.
  WriteBytes(dir / "m.pvx", "TITLE=x\nreverse\n003\n");
  EXPECT_EQ(Run({"-f", "m.pvx"}, "a\nb\n").out, "b\na\n");
}

TEST_F(CliTest, MoreParametersThanTheCommandTakesIsAUsageError) {
  WriteBytes(dir / "a.txt", "b\na\n");
  for (std::string step : {"reverse,x", "003,x", "[逆にする],x", "prefix,a,b", "replace,a,b,c", "dedup-all,1,2"}) {
    CliResult r = Run({"-e", step, "a.txt"});
    EXPECT_EQ(r.status, 2) << step;
    EXPECT_NE(r.err.find("-e " + step + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("parameters given"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  CliResult r = Run({"-e", "prefix,a,b"});
  EXPECT_EQ(r.err, "parvane-cli: -e prefix,a,b: 2 parameters given, prefix takes 1\n");
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "b\na\n");
  // A quoted comma is part of one parameter.
  EXPECT_EQ(Run({"-e", "prefix,\"a,b\""}, "x\n").out, "a,bx\n");
}

TEST_F(CliTest, DashNamesStandardInput) {
  CliResult r = Run({"-e", "reverse", "-"}, "a\nb\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "b\na\n");
  // Among files: the files change in place, standard input goes to standard output.
  Settings("File.Backup=0\n");
  WriteBytes(dir / "a.txt", "1\r\n2\r\n");
  r = Run({"-e", "reverse", "a.txt", "-"}, "x\ny\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "y\nx\n");
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "2\r\n1\r\n");
  r = Run({"-o", "out.txt", "-e", "reverse", "-"}, "p\nq\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(ReadBytes(dir / "out.txt"), "q\np\n");
}

TEST_F(CliTest, SettingsFileOrNone) {
  // The usual settings keep the .bak copy beside the file ...
  Settings("File.Trash=0\n");
  WriteBytes(dir / "a.txt", "b\r\na\r\n");
  EXPECT_EQ(Run({"-e", "reverse", "a.txt"}).status, 0);
  EXPECT_EQ(ReadBytes(dir / "a.bak"), "b\r\na\r\n");
  // ... --no-settings reads none of them: the default puts it in the trash.
  std::filesystem::remove(dir / "a.bak");
  CliResult r = Run({"--no-settings", "-e", "reverse", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "b\r\na\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));
  EXPECT_EQ(ReadBytes(dir / "data" / "Trash" / "files" / "a.bak"), "a\r\nb\r\n");
  // --settings reads the named file instead, and never writes it.
  std::filesystem::remove(dir / "config" / "parvane" / "parvane.ini");
  WriteBytes(dir / "mine.ini", "[Parvane]\nFile.Backup=0\n");
  r = Run({"--settings", "mine.ini", "-e", "reverse", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "a\r\nb\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bak"));
  EXPECT_EQ(ReadBytes(dir / "mine.ini"), "[Parvane]\nFile.Backup=0\n");
  // A settings file that is not there is no silent fallback to the defaults.
  r = Run({"--settings=missing.ini", "-e", "reverse", "a.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "parvane-cli: missing.ini: no such settings file\n");
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "a\r\nb\r\n");
}

TEST_F(CliTest, ManualPageAndCompletionKnowTheTable) {
  // Every alias the manual page lists is one the program knows.
  const std::string page = ReadBytes(std::filesystem::path(PARVANE_SOURCE_DIR) / "doc" / "parvane-cli.1");
  const std::size_t from = page.find(".SS Common aliases\n"), to = page.find(".SH OPTIONS\n");
  ASSERT_LT(from, to);
  std::size_t shown = 0;
  std::istringstream section(page.substr(from, to - from));
  for (std::string line; std::getline(section, line);) {
    if (!line.starts_with(".B ")) continue;
    std::string names = line.substr(3);
    for (std::size_t p; (p = names.find("\\-")) != std::string::npos;) names.replace(p, 2, "-");
    for (char& c : names) c = c == '/' || c == ',' ? ' ' : c;
    std::istringstream words(names);
    for (std::string word; words >> word;) {
      if (word == "TEXT" || word == "FROM" || word == "TO" || word == "PATTERN" || word == "KEY") continue;
      EXPECT_NE(CommandByAlias(word), nullptr) << word;
      ++shown;
    }
  }
  EXPECT_GE(shown, 20u);

  // The completion offers aliases, codes and options from the program itself.
  const std::string script = std::string(PARVANE_SOURCE_DIR) + "/doc/parvane-cli.bash";
  WriteBytes(dir / "complete.sh",
             "source " + Quote(script) + "\n"
             "COMP_WORDS=(" + Quote(PARVANE_CLI) + " -e base64-); COMP_CWORD=2; _parvane_cli\n"
             "printf '%s\\n' \"${COMPREPLY[@]}\"\n"
             "COMP_WORDS=(" + Quote(PARVANE_CLI) + " -e 08); COMP_CWORD=2; _parvane_cli\n"
             "printf '%s\\n' \"${COMPREPLY[@]}\"\n"
             "COMP_WORDS=(" + Quote(PARVANE_CLI) + " --no-s); COMP_CWORD=1; _parvane_cli\n"
             "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
  const int status = std::system(("bash " + Quote((dir / "complete.sh").string()) + " > " +
                                  Quote((dir / "complete.txt").string()))
                                     .c_str());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadBytes(dir / "complete.txt"), "base64-encode\nbase64-decode\n080\n--no-settings\n");
}

// Characters outside code page 932 go through commands and come out as they
// came in; only what the command changed differs.
TEST_F(CliTest, CharactersOutsideCodePage932SurviveACommand) {
  Settings("File.Backup=0\n");
  const std::string emoji = "\xF0\x9F\x98\x80";            // one character beyond the BMP
  const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9";  // ZWJ sequence
  const std::string combining = "e\xCC\x81";                 // e + COMBINING ACUTE
  const std::string text = emoji + "\r\ncaf\xC3\xA9 " + combining + "\r\n" + family +
                           "\xEF\xBB\xBF\r\n";               // U+FEFF inside the text
  WriteBytes(dir / "u.txt", "\xEF\xBB\xBF" + text);
  CliResult r = Run({"-e", "[逆にする]", "u.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(ReadBytes(dir / "u.txt"), "\xEF\xBB\xBF" + family + "\xEF\xBB\xBF\r\ncaf\xC3\xA9 " +
                                          combining + "\r\n" + emoji + "\r\n");
  // Opened and written with no step: the same bytes in every Unicode form.
  r = Run({"--stdout", "u.txt"});
  EXPECT_EQ(r.out, ReadBytes(dir / "u.txt"));
  // A parameter's character takes each input's own code.
  WriteBytes(dir / "a.txt", "\xEF\xBB\xBF" "x\r\n");
  WriteBytes(dir / "b.txt", "\xEF\xBB\xBF\xC3\xA9\r\n");
  r = Run({"-e", "[行頭に文字列を追加]," + emoji, "a.txt", "b.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "\xEF\xBB\xBF" + emoji + "x\r\n");
  EXPECT_EQ(ReadBytes(dir / "b.txt"), "\xEF\xBB\xBF" + emoji + "\xC3\xA9\r\n");
  // An answer too, and a find by it.
  r = Run({"--standard-selection", "-e", "[検索],@all", "--answer", emoji, "-e",
           "[行頭に文字列を追加],>", "u.txt", "--stdout"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\xEF\xBB\xBF" + family + "\xEF\xBB\xBF\r\ncaf\xC3\xA9 " + combining +
                       "\r\n>" + emoji + "\r\n");
  // A pattern reads such a character as one character.
  WriteBytes(dir / "r.txt", "\xEF\xBB\xBF" + emoji + emoji + "x" + emoji + "\r\n");
  r = Run({"-e", "[正規表現置換]," + emoji + "+,<&>", "r.txt", "--stdout"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\xEF\xBB\xBF<" + emoji + emoji + ">x<" + emoji + ">\r\n");
}

// Output that cannot hold a character fails unless --lossy.
TEST_F(CliTest, LossyOutputIsRefusedWithoutLossy) {
  Settings("File.Backup=0\n");
  const std::string original = "\xEF\xBB\xBF" "a\r\nb\xF0\x9F\x98\x80 \xC3\xA9\r\n";
  WriteBytes(dir / "u.txt", original);
  CliResult r = Run({"--code", "sjis", "-e", "[逆にする]", "u.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "parvane-cli: u.txt: 2 characters cannot be written in Shift_JIS (the first on line 1); "
            "not written (--lossy writes them as \"?\")\n");
  EXPECT_EQ(ReadBytes(dir / "u.txt"), original);
  r = Run({"--code", "euc-jp", "--stdout", "u.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  r = Run({"--code", "jis"}, original);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err,
            "parvane-cli: standard input: 2 characters cannot be written in JIS (ISO-2022-JP) "
            "(the first on line 2); not written (--lossy writes them as \"?\")\n");

  r = Run({"--lossy", "--code", "sjis", "-e", "[逆にする]", "u.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "u.txt"), "b? ?\r\na\r\n");
  EXPECT_NE(r.err.find("2 個"), std::string::npos) << r.err;
  // Unicode forms hold everything.
  r = Run({"--code", "utf-16be"}, original);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, std::string("\xFE\xFF\0a\0\r\0\n\0b\xD8\x3D\xDE\x00\0 \0\xE9\0\r\0\n", 22));
}

}  // namespace
}  // namespace parvane
