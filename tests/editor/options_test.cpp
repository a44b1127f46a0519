#include "editor/options.h"

#include <gtest/gtest.h>

#include "support/scripted_host.h"

namespace parvane {
namespace {

TEST(OptionsTest, MissingFileGivesDefaults) {
  TempDir dir;
  IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.Load(dir / "none.ini", &error));
  Options o = ReadOptions(ini);
  EXPECT_EQ(o.font_name, "FixedSys");
  EXPECT_EQ(o.font_size, 14);
  EXPECT_TRUE(o.auto_backup && o.backup && o.trash && o.detect_utf8 && o.status_bar);
  EXPECT_FALSE(o.charset_fixed || o.window_position || o.full_path);
  EXPECT_EQ(o.selection, SelectionStyle::kExtended);
  EXPECT_EQ(o.charset, SaveCode::kShiftJis);
}

TEST(OptionsTest, ReadsNumbersLooselyAndUnknownNamesAsDefaults) {
  TempDir dir;
  WriteBytes(dir / "p.ini",
             "[Other]\nFile.Backup=0\n[Parvane]\nFile.Backup=0\nFile.Trash=7\n"
             "File.Charset=utf-8\nControl.ReturnMark=9\nControl.Selection=0\n"
             "User.Com0.File=/x/zero.pvx\nUser.Com1.File=/x/one.pvx\n");
  IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.Load(dir / "p.ini", &error));
  Options o = ReadOptions(ini);
  EXPECT_FALSE(o.backup);
  EXPECT_TRUE(o.trash);
  EXPECT_EQ(o.charset, SaveCode::kShiftJis) << "names are exact: utf-8 is not UTF-8";
  EXPECT_EQ(o.return_mark, 1);
  EXPECT_EQ(o.selection, SelectionStyle::kStandard);
  EXPECT_EQ(o.user_command_files[0], "/x/one.pvx");
  EXPECT_EQ(o.user_command_files[9], "/x/zero.pvx");
}

TEST(OptionsTest, WritesSortedKeysAndReadsThemBack) {
  TempDir dir;
  Options o;
  o.charset = SaveCode::kUtf8NoBom;
  o.font_name = "Noto Sans Mono CJK JP";
  o.user_command_files[4] = "/home/u/five.pvx";
  IniFile ini;
  WriteOptions(o, ini);
  std::string error;
  ASSERT_TRUE(ini.Save(dir / "p.ini", &error));
  std::string text = ReadBytes(dir / "p.ini");
  EXPECT_EQ(text.rfind("[Parvane]\n", 0), 0u);
  EXPECT_LT(text.find("Control.Line="), text.find("File.AutoBackup="));
  EXPECT_LT(text.find("User.Com0.File="), text.find("User.Com1.File="));
  IniFile back;
  ASSERT_TRUE(back.Load(dir / "p.ini", &error));
  Options r = ReadOptions(back);
  EXPECT_EQ(r.charset, SaveCode::kUtf8NoBom);
  EXPECT_EQ(r.font_name, o.font_name);
  EXPECT_EQ(r.user_command_files[4], "/home/u/five.pvx");
}

TEST(OptionsTest, PortableFileBesideTheProgramWins) {
  TempDir dir;
  EXPECT_EQ(DefaultSettingsPath(dir.path()).filename(), "parvane.ini");
  EXPECT_NE(DefaultSettingsPath(dir.path()).parent_path(), dir.path());
  WriteBytes(dir / "parvane.ini", "");
  EXPECT_EQ(DefaultSettingsPath(dir.path()), dir / "parvane.ini");
}

}  // namespace
}  // namespace parvane
