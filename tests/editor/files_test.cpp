// Loading and saving through real files in a temporary directory.
#include "editor/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

class FilesTest : public ::testing::Test {
 protected:
  std::filesystem::path File(std::string_view name, std::string_view bytes) {
    return WriteBytes(dir / name, bytes);
  }
  TempDir dir;
  // Backups go to a trash of the test's own.
  ScopedEnv data_home{"XDG_DATA_HOME", (dir / "data").string()};
  ScriptedHost host;
  Editor editor{host};
};

TEST_F(FilesTest, LoadsEveryCodeIntoShiftJisAndSetsTheSaveCode) {
  const std::string sjis = Sjis("あいう漢字\r\nｶﾞ\r\n");
  struct Case {
    const char* name;
    std::string bytes;
    SaveCode code;
  } cases[] = {
      {"sjis.txt", sjis, SaveCode::kShiftJis},
      {"euc.txt", "\xa4\xa2\xa4\xa4\xa4\xa6\xb4\xc1\xbb\xfa\r\n\x8e\xb6\x8e\xde\r\n", SaveCode::kEucJp},
      {"utf8.txt", "\xEF\xBB\xBF" + SjisToUtf8(sjis), SaveCode::kUtf8},
      {"utf8n.txt", SjisToUtf8(sjis), SaveCode::kUtf8NoBom},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(LoadDocumentFile(editor, File(c.name, c.bytes), false), LoadResult::kLoaded) << c.name;
    EXPECT_EQ(editor.doc.Text(), sjis) << c.name;
    EXPECT_EQ(editor.save_code, c.code) << c.name;
    EXPECT_FALSE(editor.modified);
    EXPECT_FALSE(editor.CanUndo());  // a new file starts a new history
    EXPECT_EQ(editor.current_file_name.filename(), c.name);
  }
}

TEST_F(FilesTest, FixedCodeKeepsTheSaveCodeButStillConverts) {
  editor.options.charset_fixed = true;
  editor.save_code = SaveCode::kUtf16;
  LoadDocumentFile(editor, File("euc.txt", "\xa4\xf3\r\n"), false);
  EXPECT_EQ(editor.doc.Text(), Sjis("ん\r\n"));
  EXPECT_EQ(editor.save_code, SaveCode::kUtf16);
}

TEST_F(FilesTest, BomlessUtf8IsReadAsBytesWhenDetectionIsOff) {
  editor.options.detect_utf8 = false;
  std::string utf8 = "\xE3\x81\x82\r\n";
  LoadDocumentFile(editor, File("u.txt", utf8), false);
  EXPECT_EQ(editor.doc.Text(), utf8);
}

TEST_F(FilesTest, NulBytesSurviveOpenAndSave) {
  std::string bytes("a\0b\r\n\0\r\n", 8);
  auto path = File("nul.txt", bytes);
  LoadDocumentFile(editor, path, false);
  EXPECT_EQ(editor.doc.size(), 2u);
  editor.options.backup = false;
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(FilesTest, TooLongALineIsRefusedAndNothingChanges) {
  // The load limit is the store limit: a line a command may write, a load may read.
  EXPECT_EQ(LoadDocumentFile(editor, File("long.txt", std::string(64000, 'x') + "\r\n"), false),
            LoadResult::kLoaded);
  editor.doc.SetLines({"keep"});
  editor.modified = true;
  EXPECT_EQ(LoadDocumentFile(editor, File("long2.txt", std::string(64001, 'x')), false),
            LoadResult::kRefused);
  EXPECT_EQ(editor.doc.lines(), (Lines{"keep"}));
  EXPECT_TRUE(editor.modified);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back().text,
            "長すぎる行があります。\r\nこのファイルの編集を行うと、データの一部が失われる可能性があります。"
            "\r\n\r\n展開を中止しました。");
}

TEST_F(FilesTest, AppendKeepsNameAndMarkAndUndoRemovesTheLines) {
  auto first = File("a.txt", "1\r\n");
  LoadDocumentFile(editor, first, false);
  LoadDocumentFile(editor, File("b.txt", "2\r\n"), true);
  EXPECT_EQ(editor.doc.lines(), (Lines{"1", "2"}));
  EXPECT_EQ(editor.current_file_name.filename(), "a.txt");
  EXPECT_FALSE(editor.modified);
  editor.Undo();
  EXPECT_EQ(editor.doc.lines(), (Lines{"1"}));
}

TEST_F(FilesTest, CancellingTheSaveChangesQuestionKeepsEverything) {
  editor.doc.SetLines({"mine"});
  editor.modified = true;
  host.answers.push_back(Answer::kCancel);
  EXPECT_EQ(LoadDocumentFile(editor, File("x.txt", "other\r\n"), false), LoadResult::kCancelled);
  EXPECT_EQ(editor.doc.lines(), (Lines{"mine"}));
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(host.messages.back().text,
            "ファイル 無題 の内容は変更されています。\r\n\r\n変更を保存しますか？");
  EXPECT_EQ(host.messages.back().buttons, MessageButtons::kYesNoCancel);
}

TEST_F(FilesTest, EmptyFileEmptiesTheDocument) {
  editor.doc.SetLines({"x"});
  EXPECT_EQ(LoadDocumentFile(editor, File("empty.txt", ""), false), LoadResult::kLoaded);
  EXPECT_TRUE(editor.doc.empty());
  EXPECT_EQ(editor.current_file_name.filename(), "empty.txt");
}

TEST_F(FilesTest, SavesInEveryCodeByteForByte) {
  editor.doc.SetText(Sjis("ア\r\n"));
  struct Case {
    SaveCode code;
    std::string bytes;
  } cases[] = {
      {SaveCode::kShiftJis, "\x83\x41\r\n"},
      {SaveCode::kEucJp, "\xa5\xa2\r\n"},
      {SaveCode::kJis, "\x1b$B%\"\x1b(J\r\n"},
      {SaveCode::kUtf8, "\xEF\xBB\xBF\xE3\x82\xA2\r\n"},
      {SaveCode::kUtf16, std::string("\xFF\xFE\xA2\x30\x0D\x00\x0A\x00", 8)},
      {SaveCode::kUtf16Be, std::string("\xFE\xFF\x30\xA2\x00\x0D\x00\x0A", 8)},
      {SaveCode::kUtf8NoBom, "\xE3\x82\xA2\r\n"},
  };
  editor.options.backup = false;
  for (const auto& c : cases) {
    editor.save_code = c.code;
    editor.current_file_name = dir / "out.txt";
    editor.modified = true;
    ASSERT_TRUE(SaveDocument(editor));
    EXPECT_EQ(ReadBytes(dir / "out.txt"), c.bytes) << SaveCodeSettingsName(c.code);
    EXPECT_FALSE(editor.modified);
  }
}

TEST_F(FilesTest, UnicodeFilesComeBackByteForByte) {
  // 〜 (U+301C) and ～ (U+FF5E) share one Shift_JIS code; each file keeps its own.
  for (std::string text : {std::string("\xE3\x80\x9C\r\n"), std::string("\xEF\xBD\x9E\r\n"),
                           std::string("\xE2\x88\x92\xE2\x80\x94 abc\r\n")}) {
    auto path = File("wave.txt", "\xEF\xBB\xBF" + text);
    LoadDocumentFile(editor, path, false);
    editor.options.backup = false;
    ASSERT_TRUE(SaveDocument(editor));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" + text);
  }
}

TEST_F(FilesTest, CharactersBeyondThePrivateCodesAreCountedOnce) {
  // 1,880 user-defined codes and 1,676 undefined ones: the 3,557th distinct
  // character has no code left, and neither has the one after it.
  std::u16string text = u"ok\r\n";
  for (char32_t ch = 0x20000; ch < 0x20000 + 3556 + 2; ++ch) {
    char32_t c = ch - 0x10000;
    text += static_cast<char16_t>(0xD800 + (c >> 10));
    text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    if (ch == 0x20000 + 3555) text += u"\r\n";
  }
  text += u"\r\n";
  LoadDocumentFile(editor, File("many.txt", "\xEF\xBB\xBF" + Utf16ToUtf8(text)), false);
  ASSERT_EQ(editor.doc.size(), 3u);
  EXPECT_EQ(editor.doc.line(2), "??");
  EXPECT_EQ(editor.private_codes.size(), 3556u);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(" 2 "), std::string::npos) << host.messages[0].text;
  EXPECT_NE(host.messages[0].text.find("3 行目"), std::string::npos) << host.messages[0].text;
}

TEST_F(FilesTest, CharactersOutsideCodePage932SurviveOpenAndSave) {
  const std::string bytes = "\xEF\xBB\xBF" "ok\r\n\xF0\x9F\x98\x80\xC3\xA9\r\n";
  auto path = File("emoji.txt", bytes);
  LoadDocumentFile(editor, path, false);
  EXPECT_EQ(editor.doc.lines(), (Lines{"ok", "\xF0\x40\xF0\x41"}));
  EXPECT_TRUE(host.messages.empty());
  editor.options.backup = false;
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_EQ(ReadBytes(path), bytes);
  // Appending a second file extends the same table.
  LoadDocumentFile(editor, File("more.txt", "\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC\r\n"), true);
  EXPECT_EQ(editor.doc.line(2), "\xF0\x41\xF0\x42");
}

TEST_F(FilesTest, BackupCopyAndTrash) {
  auto path = File("doc.txt", "old\r\n");
  LoadDocumentFile(editor, path, false);
  editor.doc.SetLines({"new"});
  editor.options.trash = false;
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_EQ(ReadBytes(dir / "doc.bak"), "old\r\n");
  EXPECT_EQ(ReadBytes(path), "new\r\n");

  editor.options.trash = true;
  editor.doc.SetLines({"newer"});
  ASSERT_TRUE(SaveDocument(editor));
  // The new copy goes straight to the trash; the earlier one beside the file
  // is left alone.
  EXPECT_EQ(ReadBytes(dir / "data" / "Trash" / "files" / "doc.bak"), "new\r\n");
  EXPECT_EQ(ReadBytes(dir / "doc.bak"), "old\r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(FilesTest, ABackupDestroysNoFile) {
  // A person's own file at the ".bak" name goes to the trash, not away.
  auto path = File("data.txt", "old\r\n");
  File("data.bak", "mine");
  LoadDocumentFile(editor, path, false);
  editor.options.trash = false;
  editor.doc.SetLines({"new"});
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_EQ(ReadBytes(dir / "data" / "Trash" / "files" / "data.bak"), "mine");
  EXPECT_EQ(ReadBytes(dir / "data.bak"), "old\r\n");
  EXPECT_TRUE(host.messages.empty());

  // With no trash at all, both copies stay and the person is told where.
  WriteBytes(dir / "blocker", "");
  ScopedEnv no_trash{"XDG_DATA_HOME", (dir / "blocker" / "x").string()};
  for (bool trash : {true, false}) {
    editor.options.trash = trash;
    editor.doc.SetLines({trash ? "newer" : "newest"});
    ASSERT_TRUE(SaveDocument(editor));
  }
  EXPECT_EQ(ReadBytes(dir / "data.bak"), "old\r\n");
  EXPECT_EQ(ReadBytes(dir / "data.bak.1"), "new\r\n");
  EXPECT_EQ(ReadBytes(dir / "data.bak.2"), "newer\r\n");
  EXPECT_EQ(ReadBytes(path), "newest\r\n");
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kWarning);
  EXPECT_NE(host.messages[0].text.find("ごみ箱を使えないため"), std::string::npos);
  EXPECT_NE(host.messages[0].text.find("data.bak.1"), std::string::npos) << host.messages[0].text;
  EXPECT_NE(host.messages[1].text.find("data.bak.2"), std::string::npos) << host.messages[1].text;
}

TEST_F(FilesTest, SavingThroughALinkKeepsTheLinkAndBacksUpTheTarget) {
  std::filesystem::create_directory(dir / "real");
  auto real = File("real/notes.txt", "old\r\n");
  auto other = dir / "real" / "other.txt";
  std::filesystem::create_hard_link(real, other);
  std::filesystem::create_symlink("real/notes.txt", dir / "link.txt");
  LoadDocumentFile(editor, dir / "link.txt", false);
  editor.options.trash = false;
  editor.doc.SetLines({"new"});
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
  EXPECT_EQ(ReadBytes(other), "new\r\n");
  EXPECT_EQ(ReadBytes(dir / "real" / "notes.bak"), "old\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "link.bak"));
}

TEST_F(FilesTest, FailedSaveLeavesTheOldFileAndTheModifiedMark) {
  if (::geteuid() == 0) {
    // root writes through permissions; a missing directory fails for everyone.
    editor.current_file_name = dir / "no-such-dir" / "x.txt";
  } else {
    auto path = File("ro.txt", "old\r\n");
    ::chmod(path.c_str(), 0444);
    editor.current_file_name = path;
  }
  editor.doc.SetLines({"new"});
  editor.modified = true;
  editor.options.backup = false;
  EXPECT_FALSE(SaveDocument(editor));
  EXPECT_TRUE(editor.modified);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("x.txt"), std::string::npos);
}

TEST_F(FilesTest, AtomicWriteRefusesAReadOnlyTargetAndLeavesNoTemporaryFile) {
  auto path = File("ro.txt", "old");
  ::chmod(path.c_str(), 0444);
  std::string error;
  if (::geteuid() != 0) {
    EXPECT_FALSE(WriteFileAtomically(path, "new", &error));
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_FALSE(error.empty());
  }
  ::chmod(path.c_str(), 0644);
  EXPECT_TRUE(WriteFileAtomically(path, "new", &error));
  EXPECT_EQ(ReadBytes(path), "new");
  int files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(FilesTest, SaveAsCancelledChangesNothing) {
  editor.doc.SetLines({"x"});
  editor.modified = true;
  host.save_files.push_back(std::nullopt);
  EXPECT_FALSE(SaveDocument(editor));
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(host.save_dialogs[0].default_extension, "txt");
}

TEST_F(FilesTest, RevertAsksThenReloads) {
  auto path = File("r.txt", "disk\r\n");
  LoadDocumentFile(editor, path, false);
  editor.doc.SetLines({"edited"});
  editor.modified = true;
  host.answers = {Answer::kYes, Answer::kNo};  // revert? yes; save changes? no
  RevertDocument(editor);
  EXPECT_EQ(editor.doc.lines(), (Lines{"disk"}));
  EXPECT_EQ(host.messages.size(), 2u);

  Editor untitled(host);
  RevertDocument(untitled);
  EXPECT_EQ(host.messages.size(), 2u) << "revert on an untitled document does nothing";
}

TEST_F(FilesTest, SavingCharactersACodeCannotCarryAsksFirst) {
  editor.options.backup = false;
  editor.save_code = SaveCode::kEucJp;
  editor.current_file_name = dir / "euc.txt";
  editor.doc.SetLines({"\xFA\xB1", "\xF0\x40"});  // 﨑 (IBM), a user-defined character
  host.answers = {Answer::kNo};
  EXPECT_FALSE(SaveDocument(editor));
  EXPECT_FALSE(std::filesystem::exists(dir / "euc.txt"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "1 文字は EUC-JP で保存できません。「?」に置き換えて保存しますか？");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(host.messages[0].buttons, MessageButtons::kYesNo);

  host.answers = {Answer::kYes};
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_EQ(ReadBytes(dir / "euc.txt"), "\xF9\xF5\r\n?\r\n");
  EXPECT_EQ(editor.doc.line(1), "\xF0\x40");

  // A private code in Shift_JIS; nothing to ask in a Unicode form.
  host.messages.clear();
  editor.save_code = SaveCode::kShiftJis;
  ASSERT_EQ(editor.private_codes.Encode(0x1F600), 0xF041);
  editor.doc.SetLines({"a\xF0\x41", "\xF0\x41\xF0\x41"});
  host.answers = {Answer::kYes};
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_EQ(host.messages[0].text, "3 文字は Shift_JIS で保存できません。「?」に置き換えて保存しますか？");
  EXPECT_EQ(ReadBytes(dir / "euc.txt"), "a?\r\n??\r\n");
  host.messages.clear();
  editor.save_code = SaveCode::kUtf8NoBom;
  ASSERT_TRUE(SaveDocument(editor));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(ReadBytes(dir / "euc.txt"), "a\xF0\x9F\x98\x80\r\n\xF0\x9F\x98\x80\xF0\x9F\x98\x80\r\n");
}

TEST_F(FilesTest, MissingFileIsReportedWithItsName) {
  EXPECT_EQ(LoadDocumentFile(editor, dir / "gone.txt", false), LoadResult::kFailed);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("gone.txt"), std::string::npos);
  EXPECT_EQ(host.commands_ended, 1);
}

}  // namespace
}  // namespace parvane
