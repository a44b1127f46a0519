// The menu table. Submenus open with kSub and close with kEnd; radio items
// share a group number; check items carry kCheck.
#include "app/menus.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QWidget>
#include <vector>

namespace parvane {
namespace {

enum Type { kSub, kEnd, kItem, kCheck, kRadio, kSeparator, kHiddenRoot, kRecentFiles };

struct Entry {
  Type type;
  const char* caption = "";
  const char* shortcut = "";
  int code = 0;
  AppAction action = AppAction::kNone;
  int group = 0;  // radio group
  const char* second_shortcut = "";
};

using A = AppAction;

Entry Sub(const char* caption) { return {kSub, caption}; }
Entry End() { return {kEnd}; }
Entry Sep() { return {kSeparator}; }
Entry Cmd(const char* caption, int code, const char* shortcut = "") {
  return {kItem, caption, shortcut, code};
}
Entry App(const char* caption, AppAction action, const char* shortcut = "",
          const char* second_shortcut = "") {
  return {kItem, caption, shortcut, 0, action, 0, second_shortcut};
}
// An empty submenu that the window fills with the recent files.
Entry RecentFiles(const char* caption) { return {kRecentFiles, caption}; }
Entry Check(const char* caption, AppAction action) { return {kCheck, caption, "", 0, action}; }
Entry Radio(const char* caption, AppAction action, int group) {
  return {kRadio, caption, "", 0, action, group};
}

const std::vector<Entry>& Table() {
  static const std::vector<Entry> table = {
      Sub("ファイル(&F)"),
      App("開く(&O)...", A::kOpen, "Ctrl+O"),
      App("上書き保存(&S)", A::kSave, "Ctrl+S"),
      App("名前を付けて保存(&A)...", A::kSaveAs, "Ctrl+Shift+S"),
      App("最初の状態に戻す(&R)...", A::kRevert),
      Sep(),
      RecentFiles("最近使ったファイル(&F)"),
      Sep(),
      Sub("保存時の文字コード(&K)"),
      Radio("Shift_JIS(&S)", A::kSaveCode0, 1),
      Radio("EUC-JP(&E)", A::kSaveCode1, 1),
      Radio("JIS (ISO-2022-JP)(&J)", A::kSaveCode2, 1),
      Radio("Unicode (UTF-8)(&U)", A::kSaveCode3, 1),
      Radio("Unicode (UTF-16)(&L)", A::kSaveCode4, 1),
      Radio("Unicode (UTF-16 big endian)(&B)", A::kSaveCode5, 1),
      Radio("Unicode (UTF-8 BOM なし)(&N)", A::kSaveCode6, 1),
      End(),
      Sub("保存時の改行コード(&L)"),
      Radio("CR+LF(&W)", A::kLineBreak0, 5),
      Radio("LF(&L)", A::kLineBreak1, 5),
      Radio("CR(&C)", A::kLineBreak2, 5),
      End(),
      Sep(),
      App("連続自動処理(&B)...", A::kBatch),
      Sep(),
      App("終了(&X)", A::kExit, "Ctrl+Q", "Alt+F4"),
      End(),

      Sub("編集(&E)"),
      App("元に戻す(&U)", A::kUndo, "Ctrl+Z"),
      // (&R) is the replace item's below.
      App("やり直し(&Y)", A::kRedo, "Ctrl+Y", "Ctrl+Shift+Z"),
      Sep(),
      Cmd("切り取り(&T)", 37, "Ctrl+X"),
      Cmd("コピー(&C)", 38, "Ctrl+C"),
      Cmd("貼り付け(&P)", 39, "Ctrl+V"),
      Cmd("挿入貼り付け(&O)", 41, "Ctrl+Shift+V"),
      Cmd("削除(&L)", 40, "Del"),
      Sep(),
      Cmd("すべて選択(&A)", 42, "Ctrl+A"),
      Cmd("選択の切り替え(&I)", 43),
      Sep(),
      App("検索(&F)...", A::kFind, "Ctrl+F"),
      App("置換(&R)...", A::kReplace, "Ctrl+R"),
      Sep(),
      App("行番号を指定してジャンプ(&J)...", A::kJump, "Ctrl+J"),
      End(),

      Sub("表示(&V)"),
      Sub("改行マーク(&R)"),
      Radio("改行マークA(&A)", A::kMarkA, 2),
      Radio("改行マークB(&B)", A::kMarkB, 2),
      Radio("改行マークを表示しない(&N)", A::kMarkNone, 2),
      End(),
      Sub("罫線(&L)"),
      Radio("点線(&D)", A::kRuleDotted, 3),
      Radio("実線(&S)", A::kRuleSolid, 3),
      Radio("罫線を表示しない(&N)", A::kRuleNone, 3),
      End(),
      Sub("選択形式(&S)"),
      Radio("拡張(&E)", A::kSelectionExtended, 4),
      Radio("標準(&S)", A::kSelectionStandard, 4),
      End(),
      Check("ステータスバー(&B)", A::kStatusBar),
      Sep(),
      App("ファイル情報を表示(&F)", A::kFileInfo),
      End(),

      Sub("ツール(&T)"),
      Sub("並べ替え(&S)"),
      Cmd("五十音順にする(&G)", 1, "F6"),
      Cmd("長さ順にする(&L)", 2, "F7"),
      Cmd("逆にする(&R)", 3, "F8"),
      Cmd("シャッフルする(&S)", 4, "F9"),
      Cmd("数字を数値として並べ替える(&N)", 74),
      Sep(),
      Cmd("選択項目を一行に結合する(&J)", 44, "F11"),
      Cmd("選択項目をまとめる(&C)", 45, "F12"),
      Sep(),
      Cmd("選択項目を上に移動する(&U)", 46, "Ctrl+Up"),
      Cmd("選択項目を下に移動する(&D)", 47, "Ctrl+Down"),
      Cmd("選択項目を一番上に移動する(&T)", 48, "Ctrl+Alt+Up"),
      Cmd("選択項目を一番下に移動する(&B)", 49, "Ctrl+Alt+Down"),
      End(),
      Sub("整頓・整形(&A)"),
      Cmd("連続する重複行を一行にまとめる(&D)", 56),
      Cmd("連続する重複行を残さず削除(&R)", 57),
      Cmd("重複行を削除（最初の行を残す）(&F)", 76),
      Cmd("連続する空行を一行にまとめる(&B)", 36),
      Cmd("空行をすべて削除する(&E)", 13),
      Sep(),
      Cmd("連続する空白文字をひとつにまとめる(&S)", 10),
      Cmd("行頭の空白文字を削除する(&H)", 14),
      Cmd("行末の空白文字を削除する(&T)", 15),
      Sep(),
      Cmd("指定文字数で改行（禁則無し）(&W)", 58),
      Sep(),
      Cmd("行の左右を逆にする(&V)", 9),
      Cmd("指定した文字列を境に左右を入れ替える(&X)", 67),
      Cmd("指定した文字列を境に左右を入れ替える（正規表現）(&P)", 68),
      End(),
      Sub("文字列の追加と削除(&B)"),
      Cmd("行頭に文字列を追加(&H)...", 51),
      Cmd("行中に文字列を追加(&M)...", 55),
      Cmd("行末に文字列を追加(&T)...", 52),
      Sep(),
      Cmd("行頭から数文字を削る(&C)...", 53),
      Cmd("行頭の数文字を残して削る(&K)...", 54),
      Sep(),
      Cmd("行頭に行番号を追加(&N)", 5),
      Cmd("行頭に行番号（16進数）を追加(&X)", 6),
      Cmd("行頭にある数字の桁を揃える(&A)", 7),
      Cmd("行頭にある数字（16進数）の桁を揃える(&E)", 8),
      Cmd("行頭にその行の文字数を追加(&L)", 16),
      Sep(),
      Cmd("行頭に他のファイルを合成(&F)...", 64),
      Cmd("行末に他のファイルを合成(&G)...", 65),
      End(),
      Sub("カンマ区切りデータ(&D)"),
      Cmd("カンマ区切りテキストの五十音順並べ替え(&G)...", 63),
      Cmd("カンマ区切りテキストの長さ順並べ替え(&L)...", 66),
      Cmd("カンマ区切りテキストの数値順並べ替え(&N)...", 75),
      Sep(),
      Cmd("カンマ区切りテキストの行と列を入れ替える(&T)", 35),
      Cmd("カンマ区切りテキストをテキスト表に変換する(&B)", 70),
      Sep(),
      Cmd("Excel に貼り付けられる形式でコピー(&E)", 50, "Ctrl+Shift+C"),
      End(),
      Sep(),
      Check("クリップボード連動モード(&L)", A::kClipboardLink),
      Sep(),
      Sub("ユーザー定義(&U)"),
      App("記録開始(&S)", A::kRecordStart),
      App("記録終了(&E)...", A::kRecordEnd),
      Sep(),
      App("未設定(&1)", A::kUser1, "Ctrl+1"),
      App("未設定(&2)", A::kUser2, "Ctrl+2"),
      App("未設定(&3)", A::kUser3, "Ctrl+3"),
      App("未設定(&4)", A::kUser4, "Ctrl+4"),
      App("未設定(&5)", A::kUser5, "Ctrl+5"),
      App("未設定(&6)", A::kUser6, "Ctrl+6"),
      App("未設定(&7)", A::kUser7, "Ctrl+7"),
      App("未設定(&8)", A::kUser8, "Ctrl+8"),
      App("未設定(&9)", A::kUser9, "Ctrl+9"),
      App("未設定(&0)", A::kUser0, "Ctrl+0"),
      End(),
      Sub("おまけ(&E)"),
      Cmd("チャットや掲示板で化けた文字を元に戻す(&R)", 69),
      Sep(),
      Cmd("HTTPエスケープ形式にエンコードする(&H)", 77),
      Cmd("HTTPエスケープ形式をデコードする(&U)", 78),
      Cmd("Base64形式にエンコードする(&B)", 79),
      Cmd("Base64形式をデコードする(&D)", 80),
      End(),
      Sep(),
      App("オプション(&O)...", A::kOptions),
      End(),

      Sub("文字の種類を変換(&C)"),
      Sub("全角⇒半角(&N)"),
      Cmd("出来る限り半角文字に変換(&M)", 11),
      Sep(),
      Cmd("アルファベットを半角に変換(&A)", 17),
      Cmd("数字を半角に変換(&N)", 18),
      Cmd("記号を半角に変換(&S)", 19),
      Cmd("カタカナを半角に変換(&K)", 20),
      End(),
      Sub("半角⇒全角(&W)"),
      Cmd("出来る限り全角文字に変換(&M)", 12),
      Sep(),
      Cmd("アルファベットを全角に変換(&A)", 21),
      Cmd("数字を全角に変換(&N)", 22),
      Cmd("記号を全角に変換(&S)", 23),
      Cmd("カタカナを全角に変換(&K)", 24),
      End(),
      Cmd("全角と半角を入れ替える(&S)", 25),
      Sep(),
      Cmd("ひらがなを全角カタカナに変換(&K)", 27),
      Cmd("全角カタカナをひらがなに変換(&H)", 28),
      Cmd("ひらがなとカタカナを入れ替える(&X)", 26),
      Sep(),
      Cmd("大文字を小文字に変換(&L)", 33),
      Cmd("小文字を大文字に変換(&U)", 34),
      Cmd("大文字と小文字を入れ替える(&C)", 32),
      Sep(),
      Cmd("カタカナをローマ字（ヘボン式）に変換(&R)", 30),
      Cmd("カタカナをローマ字（訓令式）に変換(&E)", 31),
      Cmd("ローマ字をカタカナに変換(&O)", 29),
      Sep(),
      App("変換テーブルで変換(&T)", A::kConversionTable),
      End(),

      Sub("ヘルプ(&H)"),
      App("ヘルプ(&H)", A::kHelp, "F1"),
      Sep(),
      App("バージョン情報(&A)", A::kAbout),
      End(),

      // Present in the menu definition but never shown: its shortcuts work.
      {kHiddenRoot, "隠しメニュー"},
      Sub("その他"),
      App("選択行を編集", A::kEditRow, "Ctrl+E"),
      End(),
      Sub("エンコード・デコード"),
      Cmd("HTTPエスケープ形式にエンコードする", 77),
      Cmd("HTTPエスケープ形式をデコードする", 78),
      Cmd("Base64形式にエンコードする", 79),
      Cmd("Base64形式をデコードする", 80),
      End(),
      End(),
  };
  return table;
}

}  // namespace

MenuItemKind KindOf(const QAction* action) {
  MenuItemKind kind;
  if (action == nullptr) return kind;
  const int value = action->data().toInt();
  if (value > 0) {
    kind.code = value;
  } else if (value < 0) {
    kind.action = static_cast<AppAction>(-value);
  }
  return kind;
}

int UserSlotOf(AppAction action) {
  const int first = static_cast<int>(AppAction::kUser1);
  const int n = static_cast<int>(action) - first;
  return n >= 0 && n < 10 ? n : -1;
}

Menus BuildMenus(QWidget* window) {
  Menus menus;
  menus.bar = new QMenuBar(window);
  menus.busy_bar = new QMenuBar(window);
  menus.busy_bar->addAction(QString::fromUtf8("処理中です..."));
  menus.cancel = new QAction(QString::fromUtf8("中止"), window);
  menus.cancel->setShortcut(QKeySequence(Qt::Key_Escape));
  menus.cancel->setEnabled(false);
  window->addAction(menus.cancel);
  menus.cancel_button = new QToolButton(menus.busy_bar);
  menus.cancel_button->setDefaultAction(menus.cancel);
  menus.cancel_button->setAutoRaise(false);
  menus.busy_bar->setCornerWidget(menus.cancel_button, Qt::TopLeftCorner);
  menus.hidden = new QMenu(QString::fromUtf8("隠しメニュー"), window);

  std::vector<QMenu*> stack;
  std::map<int, QActionGroup*> groups;
  for (const Entry& e : Table()) {
    const QString caption = QString::fromUtf8(e.caption);
    switch (e.type) {
      case kHiddenRoot:
        stack.push_back(menus.hidden);
        break;
      case kSub: {
        QMenu* menu = stack.empty() ? menus.bar->addMenu(caption) : stack.back()->addMenu(caption);
        stack.push_back(menu);
        break;
      }
      case kEnd:
        stack.pop_back();
        break;
      case kSeparator:
        stack.back()->addSeparator();
        break;
      case kRecentFiles:
        menus.recent = stack.back()->addMenu(caption);
        break;
      case kItem:
      case kCheck:
      case kRadio: {
        QAction* action = stack.back()->addAction(caption);
        if (*e.shortcut != '\0') {
          QList<QKeySequence> keys = {QKeySequence(QString::fromLatin1(e.shortcut))};
          if (*e.second_shortcut != '\0') keys << QKeySequence(QString::fromLatin1(e.second_shortcut));
          action->setShortcuts(keys);
        }
        if (e.type != kItem) action->setCheckable(true);
        if (e.type == kRadio) {
          QActionGroup*& group = groups[e.group];
          if (group == nullptr) group = new QActionGroup(window);
          group->addAction(action);
        }
        if (e.code > 0) {
          action->setData(e.code);
          // The hidden menu repeats some items; lookups by code find the
          // one a person sees.
          menus.command_actions.emplace(e.code, action);
        } else {
          action->setData(-static_cast<int>(e.action));
          menus.app_actions[e.action] = action;
        }
        window->addAction(action);
        menus.all.push_back(action);
        break;
      }
    }
  }
  return menus;
}

}  // namespace parvane
