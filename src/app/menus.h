// The main window's menus, built from one table (menus.cpp): every caption,
// accelerator and shortcut lives there and nowhere else.
//
// An item either runs a command of the command table (by its code) or one of
// the window's own actions (AppAction). The window connects both kinds.
#ifndef PARVANE_APP_MENUS_H_
#define PARVANE_APP_MENUS_H_

#include <QList>
#include <QString>
#include <map>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QToolButton;
class QWidget;

namespace parvane {

// The window's own actions: everything that is not a command-table command
// run straight from its menu item.
enum class AppAction {
  kNone,
  kOpen, kSave, kSaveAs, kRevert, kBatch, kExit,
  kSaveCode0, kSaveCode1, kSaveCode2, kSaveCode3, kSaveCode4, kSaveCode5, kSaveCode6,
  kLineBreak0, kLineBreak1, kLineBreak2,  // "保存時の改行コード": CR+LF, LF, CR
  kUndo, kRedo, kFind, kReplace, kJump,
  kMarkA, kMarkB, kMarkNone, kRuleDotted, kRuleSolid, kRuleNone,
  kSelectionExtended, kSelectionStandard, kStatusBar, kFileInfo,
  kClipboardLink, kRecordStart, kRecordEnd,
  kUser1, kUser2, kUser3, kUser4, kUser5, kUser6, kUser7, kUser8, kUser9, kUser0,
  kOptions, kHelp, kAbout,
  kConversionTable, kEditRow,
};

// What one menu item does.
struct MenuItemKind {
  int code = 0;                        // command-table code, or 0
  AppAction action = AppAction::kNone;  // otherwise, the window's action
};

// The built menus.
struct Menus {
  QMenuBar* bar = nullptr;       // MainMenu1
  QMenuBar* busy_bar = nullptr;  // MainMenu2: the one inert item "処理中です..."
  // "中止" (Esc): asks the running command to stop. The busy bar carries it
  // as a button; it is the window's action, so Esc works over any widget of
  // the window, and enabled only while a command runs, so Esc is otherwise
  // the widgets' own. Not in `all`: it must run while a command runs.
  QAction* cancel = nullptr;
  QToolButton* cancel_button = nullptr;
  QMenu* hidden = nullptr;       // "隠しメニュー": never shown, its shortcuts work
  QMenu* recent = nullptr;       // "最近使ったファイル": filled by the window
  std::map<AppAction, QAction*> app_actions;
  std::map<int, QAction*> command_actions;  // by command code: the item in the menu bar
  QList<QAction*> all;                      // every item that runs something

  QAction* app(AppAction a) const {
    auto it = app_actions.find(a);
    return it == app_actions.end() ? nullptr : it->second;
  }
  QAction* command(int code) const {
    auto it = command_actions.find(code);
    return it == command_actions.end() ? nullptr : it->second;
  }
};

// Builds the menus as children of window. Every item also becomes an action
// of window, so its shortcut works whichever menu bar is showing; each
// action's data() holds its MenuItemKind code (positive) or -int(AppAction).
Menus BuildMenus(QWidget* window);

// Decodes an action's data() back into its kind.
MenuItemKind KindOf(const QAction* action);

// The user-command slot (0-9 for slots 1-9 and 0) of a kUser* action, or -1.
int UserSlotOf(AppAction action);

}  // namespace parvane

#endif  // PARVANE_APP_MENUS_H_
