#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/window/window_test_support.h"

namespace lxr4 {

namespace {

// Presses a standard button of the dialog; false when it has none.
bool Press(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  QAbstractButton* button = buttons != nullptr ? buttons->button(which) : nullptr;
  if (button == nullptr) return false;
  button->click();
  return true;
}

}  // namespace

ModalAnswerer::ModalAnswerer(QString path) : path_(std::move(path)) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
  timer_.start(10);
}

// Answers each dialog once, then waits for it to close: a dialog that stays
// open after its answer fails the test and is closed, so the test goes on.
void ModalAnswerer::Answer() {
  if (answered_ != nullptr && answered_->isVisible()) {
    if (!closing_.hasExpired()) return;
    ADD_FAILURE() << "the dialog \"" << answered_->windowTitle().toStdString()
                  << "\" stayed open " << kCloseSeconds << " s after its answer";
    answered_->done(QDialog::Rejected);
  }
  answered_ = nullptr;
  auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (auto* files = qobject_cast<QFileDialog*>(modal)) {
    ++fileDialogs;
    fileFilters = files->nameFilters();
    selectedFilter = files->selectedNameFilter();
    directory = files->directory().absolutePath();
    if (path_.isEmpty()) {
      Press(files, QDialogButtonBox::Cancel);
    } else {
      // The whole path typed into the name box and Open (or Save) pressed, as a user would.
      if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(path_);
      Press(files, files->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                   : QDialogButtonBox::Open);
    }
  } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    messages.push_back(box->text().toStdString());
    messageTitles.push_back(box->windowTitle().toStdString());
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
  } else {
    return;
  }
  answered_ = modal;
  closing_.setRemainingTime(std::chrono::seconds(kCloseSeconds));
}

}  // namespace lxr4
