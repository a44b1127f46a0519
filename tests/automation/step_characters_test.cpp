// Step parameters that hold characters outside code page 932: typed, recorded,
// written to a .pvx file, read back and played on another document.
#include <gtest/gtest.h>

#include "automation/carried_steps.h"
#include "automation/command_table.h"
#include "automation/playback.h"
#include "automation/pvx_file.h"
#include "automation/run_command.h"
#include "codes/text_file.h"
#include "editor/files.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

constexpr char kGrinning[] = "\xF0\x9F\x98\x80";

TEST(StepCharacters, AnEmojiParameterIsRecordedAndPlayedBack) {
  TempDir dir;
  ScriptedHost host;
  Editor editor(host);
  ASSERT_EQ(LoadDocumentFile(editor, WriteBytes(dir / "a.txt", "\xEF\xBB\xBF" "x\r\n"), false),
            LoadResult::kLoaded);
  host.inputs = {std::string(kGrinning) + " "};
  RunCommand(editor, *CommandByCode(51));  // [行頭に文字列を追加]
  ASSERT_EQ(editor.doc.line(0), "\xF0\x40 x");
  ASSERT_EQ(editor.record_buffer.size(), 1u);

  Lines steps = {PvxTitleLine("t"), editor.record_buffer[0]};
  std::string error;
  ASSERT_TRUE(WritePvxFile(dir / "s.pvx", steps, &error, &editor.private_codes));
  EXPECT_EQ(ReadBytes(dir / "s.pvx"),
            "\xEF\xBB\xBF" "TITLE=t\r\n" + SjisToUtf8(Sjis("[行頭に文字列を追加]")) + ",\"" +
                kGrinning + " \"\r\n");
  // Steps without such a character stay Shift_JIS.
  ASSERT_TRUE(WritePvxFile(dir / "plain.pvx", {Sjis("[逆にする]")}, &error, &editor.private_codes));
  EXPECT_EQ(ReadBytes(dir / "plain.pvx"), Sjis("[逆にする]\r\n"));

  // Played on a Shift_JIS document that uses F040 for a character of its own.
  ScriptedHost played_host;
  Editor played(played_host);
  played.doc.SetLines({"\xF0\x40" "y"});
  Lines read;
  ASSERT_TRUE(ReadPvxFile(dir / "s.pvx", &read, &error, &played.private_codes));
  PlayReport report = PlaySteps(played, read);
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(played.doc.line(0), "\xF0\x41 \xF0\x40" "y");
  EXPECT_EQ(EncodeForSave(played.doc.Text(), SaveCode::kUtf8NoBom, &played.private_codes),
            std::string(kGrinning) + " \xEE\x80\x80y\r\n");
}

TEST(StepCharacters, StepsCarriedToAnotherDocumentTakeItsCodes) {
  PrivateCodes first;
  ASSERT_EQ(first.Encode(0x1F600), 0xF040);
  CarriedSteps steps;
  steps.AddUtf8(SjisToUtf8(Sjis("[検索],")) + kGrinning);
  Lines played = steps.For(first);
  EXPECT_EQ(played[0], Sjis("[検索],") + "\xF0\x40");
  // An IBM code stays as written; the emoji moves to the next table's code.
  played.push_back(Sjis("[検索],") + "\xFA\x5B");
  steps.Keep(played, first);
  PrivateCodes second;
  ASSERT_EQ(second.Encode(0xE9), 0xF040);
  EXPECT_EQ(steps.For(second),
            (Lines{Sjis("[検索],") + "\xF0\x41", Sjis("[検索],") + "\xFA\x5B"}));
}

}  // namespace
}  // namespace parvane
