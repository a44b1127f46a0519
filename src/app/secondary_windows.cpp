#include "app/secondary_windows.h"

#include "app/batch_window.h"
#include "app/find_dialog.h"
#include "app/key_field_dialog.h"
#include "app/line_view.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/qt_text.h"
#include "app/removed_lines_window.h"
#include "editor/editor.h"
#include "text/literal.h"

namespace parvane {

SecondaryWindows::SecondaryWindows(MainWindow* main)
    : main_(main),
      find_(new FindDialog(main->editor(), main)),
      key_(new KeyFieldDialog(main)),
      removed_(new RemovedLinesWindow(main)),
      batch_(new BatchWindow(main)),
      options_(new OptionsDialog(main)) {
  batch_->set_slot_entries([this] { return options_->SlotEntries(); });
  find_->set_cancel_request([this] {
    if (main_->busy()) main_->host().RequestCancel();
  });
  QObject::connect(options_, &OptionsDialog::SlotEntriesChanged, batch_, [this] {
    if (batch_->isVisible()) batch_->ReplaceSlotEntries(options_->SlotEntries());
  });
}

SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::Startup() { options_->Startup(); }

void SecondaryWindows::CloseAll() {
  find_->close();
  key_->close();
  removed_->close();
  batch_->close();
  options_->close();
}

void SecondaryWindows::ShowBatch() { batch_->ShowWindow(); }

void SecondaryWindows::ShowFind(bool replace_page) { find_->Run(replace_page); }

void SecondaryWindows::ShowOptions(bool about_page) {
  options_->Run(about_page ? OptionsDialog::Page::kVersion : OptionsDialog::Page::kGeneral);
}

void SecondaryWindows::ShowRemovedLines(Editor& editor) {
  removed_->Run(editor, main_->view()->font());
}

std::optional<int> SecondaryWindows::ChooseKeyField(const QString& caption,
                                                    const QStringList& fields, const QFont& font) {
  return key_->Run(caption, fields, font);
}


}  // namespace parvane
