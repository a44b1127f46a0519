// Table-wide: every command run from its menu, recorded, written to a .pvx
// file, read back and played on the same document gives the same result, and
// records exactly its own step name.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "automation/command_table.h"
#include "automation/playback.h"
#include "automation/pvx_file.h"
#include "automation/run_command.h"
#include "editor/fields.h"
#include "support/scripted_host.h"
#include "text/literal.h"

namespace parvane {
namespace {

const std::vector<std::string> kDocument = {
    "b,2,ｶﾅ", "a,10,かな", "", "b,2,ｶﾅ", "Abc ＡＢＣ  x", "  123 y", "ka na", "tokyo"};

// What the person answers when the command runs from its menu.
void Prepare(int code, ScriptedHost& host, const TempDir& dir) {
  host.clipboard = "x\r\ny\r\n";
  switch (code) {
    case 51: case 52: host.inputs = {"> "}; break;
    case 53: case 54: host.inputs = {"2"}; host.answers = {Answer::kYes}; break;
    case 55: host.inputs = {"3", "+"}; host.answers = {Answer::kYes}; break;
    case 58: host.inputs = {"4"}; break;
    case 59: host.inputs = {"b"}; break;
    case 60: host.inputs = {"[0-9]+"}; break;
    case 61: host.inputs = {"b", "B B"}; break;
    case 62: host.inputs = {"[0-9]+", "<&>"}; break;
    case 63: case 66: case 75: host.key_fields = {1}; break;
    case 64: case 65:
      host.open_files = {WriteBytes(dir / "merge.txt", "1\r\n2\r\n")};
      break;
    case 67: host.inputs = {","}; break;
    case 68: host.inputs = {"[0-9]"}; break;
    case 72: host.inputs = {"(\\d)+"}; break;
    case 73: host.inputs = {"(\\d)(\\d)", "<\\2\\1>"}; break;
    case 71:
      host.open_files = {WriteBytes(dir / "table.txt", Sjis("a=あ\r\nb=\"B\"\r\n"))};
      break;
    default: break;
  }
}

TEST(RoundTripTest, EveryCommandPlaysBackAsItRan) {
  for (const CommandEntry& entry : CommandTable()) {
    SCOPED_TRACE(CodeText(entry.code) + " " + std::string(entry.name_utf8));
    ASSERT_NE(entry.operation, nullptr);
    TempDir dir;

    ScriptedHost direct_host;
    direct_host.strict = false;
    Editor direct(direct_host);
    direct.doc.SetLines(SjisLines(kDocument));
    Prepare(entry.code, direct_host, dir);
    RunCommand(direct, entry);
    ASSERT_FALSE(direct.record_buffer.empty()) << "nothing recorded";
    const std::string step = direct.record_buffer.back();
    EXPECT_EQ(SplitFields(step).at(0), entry.name);

    ASSERT_TRUE(WritePvxFile(dir / "s.pvx", {PvxTitleLine("t"), step}, nullptr));
    Lines steps;
    std::string error;
    ASSERT_TRUE(ReadPvxFile(dir / "s.pvx", &steps, &error));

    ScriptedHost played_host;  // strict: a recorded step asks nothing
    played_host.clipboard = "x\r\ny\r\n";
    Editor played(played_host);
    played.doc.SetLines(SjisLines(kDocument));
    PlayReport report = PlaySteps(played, steps);
    EXPECT_TRUE(report.problems.empty());
    // Find records its "select all" first, as it does from the menu.
    EXPECT_EQ(played.record_buffer, direct.record_buffer);

    Lines expected = direct.doc.lines().ToStrings();
    Lines actual = played.doc.lines().ToStrings();
    if (entry.code == 4) {  // the shuffle: the same lines, in some order
      std::sort(expected.begin(), expected.end());
      std::sort(actual.begin(), actual.end());
    }
    EXPECT_EQ(Utf8Lines(actual), Utf8Lines(expected));
    EXPECT_EQ(played_host.clipboard, direct_host.clipboard);
    EXPECT_TRUE(played.step_params.empty());
  }
}

}  // namespace
}  // namespace parvane
