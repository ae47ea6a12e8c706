#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "tests/window/window_test_support.h"

namespace lxr4 {

ModalAnswerer::ModalAnswerer(QString path) : path_(std::move(path)) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
  timer_.start(10);
}

void ModalAnswerer::Answer() {
  QWidget* modal = QApplication::activeModalWidget();
  if (auto* files = qobject_cast<QFileDialog*>(modal)) {
    ++fileDialogs;
    fileFilters = files->nameFilters();
    selectedFilter = files->selectedNameFilter();
    directory = files->directory().absolutePath();
    if (path_.isEmpty()) {
      files->reject();
    } else {
      files->selectFile(path_);
      static_cast<QDialog*>(files)->accept();  // as the Open button does
    }
  } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    messages.push_back(box->text().toStdString());
    messageTitles.push_back(box->windowTitle().toStdString());
    box->button(QMessageBox::Ok)->click();
  }
}

}  // namespace lxr4
