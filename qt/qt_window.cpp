#include "qt/qt_window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUrl>
#include <algorithm>

#include "platform/documents.h"
#include "qt/file_filter.h"
#include "qt/icon.h"
#include "qt/look.h"
#include "qt/measure_dialogs.h"
#include "qt/open_folder.h"
#include "qt/spectrum_view_window.h"
#include "qt/tooltips.h"
#include "qt/widgets.h"
#include "platform/scroll_bar_rules.h"

namespace lxr4 {

namespace {

QString ToQt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QColor ToQt(Rgb c) { return QColor(c.r, c.g, c.b); }
std::size_t Index(Control c) { return static_cast<std::size_t>(c); }

// A path as the file system spells it.
std::string FilePath(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void SetPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

// The file dialogs start in the folder of the file the user chose last (at
// first in the folder the window was given).
void StartIn(QFileDialog& dialog, const OpenFolder& folder) {
  if (const QString start = folder.Start(); !start.isEmpty() && QDir(start).exists()) dialog.setDirectory(start);
}

// Room around an entry of a combo box's list: its margins and the check mark's place.
constexpr int kListEntryPadding = 24;

// The background of the labels, check boxes and option buttons on a form.
QColor FormColour(const QWidget* form) { return form->palette().color(QPalette::Window); }

}  // namespace

QtWindow::QtWindow()
    : main_(std::make_unique<MainForm>()),
      widgets_(AllControls().size(), nullptr),
      colours_(AllControls().size(), kBlack),
      defaultFolder_(std::make_unique<OpenFolder>(QString())),
      openFolder_(defaultFolder_.get()) {
  for (const ControlInfo& info : AllControls()) captions_.emplace_back(info.caption);
  main_->setWindowTitle(ToQt(kMainTitle));
  main_->setWindowIcon(ProgramIcon());
  // The client area keeps the form's size; the window grows by the menu bar.
  client_ = new SurfaceForm(windowSurface_);
  client_->setFixedSize(kMainWidth, kMainHeight);
  SetPaletteColour(client_, QPalette::Window, ToQt(kWindowGrey));
  main_->setCentralWidget(client_);
  main_->layout()->setSizeConstraint(QLayout::SetFixedSize);
  widgets_[Index(Control::Spectra)] = main_.get();

  // The contrast dialog exists, hidden, from the start; it has no icon of its own.
  contrast_ = new ProgramDialog(main_.get());
  contrast_->setWindowTitle(ToQt(kContrastTitle));
  contrast_->setFixedSize(kContrastWidth, kContrastHeight);
  contrast_->setWindowIcon(QIcon());
  widgets_[Index(Control::frmcontrast)] = contrast_;

  for (const ControlInfo& info : AllControls()) Build(info);
  BuildMenus();
  main_->adjustSize();
  ConnectUserEvents();
}

QtWindow::~QtWindow() = default;

void QtWindow::Build(const ControlInfo& info) {
  QWidget* form = info.form == Control::Spectra ? client_ : Widget(info.form);
  const QString caption = ToQt(info.caption);
  QWidget* widget = nullptr;
  switch (info.kind) {
    case ControlKind::Form:
      return;
    case ControlKind::Label: {
      auto* label = new QLabel(caption, form);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment((info.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
      label->setAutoFillBackground(true);
      if (info.bold) label->setFont(HeadingFont(caption, info.width));
      // The read-out keeps the desktop's face colour instead of the form's grey.
      SetPaletteColour(label, QPalette::Window,
                       info.id == Control::Lblwavelength ? QApplication::palette().color(QPalette::Button)
                                                         : FormColour(form));
      widget = label;
      break;
    }
    case ControlKind::Button:
      widget = new CaptionButton(caption, form);
      break;
    case ControlKind::CheckBox:
      widget = new QCheckBox(caption, form);
      widget->setBackgroundRole(QPalette::Window);
      widget->setAutoFillBackground(true);
      SetPaletteColour(widget, QPalette::Window, FormColour(form));
      break;
    case ControlKind::OptionButton: {
      auto* option = new OptionButton(caption, form);
      option->setChecked(info.selected);
      option->setBackgroundRole(QPalette::Window);
      option->setAutoFillBackground(true);
      SetPaletteColour(option, QPalette::Window, FormColour(form));
      widget = option;
      break;
    }
    case ControlKind::ScrollBar: {
      auto* bar = new ScrollBar(form);
      bar->setRange(info.minimum, info.maximum);
      bar->setValue(info.value);
      bar->setSingleStep(1);
      bar->setPageStep(info.largeStep);
      widget = bar;
      break;
    }
    case ControlKind::ComboBox:
      // A plain drop-down: a text field inside would take the cursor keys and typing.
      widget = new EntryBox(form);
      break;
    case ControlKind::TextBox:
      widget = new QLineEdit(form);
      break;
    case ControlKind::Rectangle:
      widget = new Outline(form);
      break;
    case ControlKind::Picture:
      widget = new GraphBox(graphSurface_, form);
      break;
    case ControlKind::Line:
      widget = new QWidget(form);
      widget->setAutoFillBackground(true);
      SetPaletteColour(widget, QPalette::Window, Qt::black);
      // A line's table entry holds its two end points.
      widget->setGeometry(QRect(QPoint(info.left, info.top), QPoint(info.width, info.height)).normalized());
      break;
  }
  widget->setObjectName(ToQt(info.name));
  widget->setToolTip(ToQt(ToolTip(info.id)));
  if (info.kind != ControlKind::Line) widget->setGeometry(info.left, info.top, info.width, info.height);
  widgets_[Index(info.id)] = widget;
}

QWidget* QtWindow::Widget(Control control) const { return widgets_[Index(control)]; }

QWidget* QtWindow::ClientArea() const { return client_; }

std::string QtWindow::PathAsChosen(const QString& file) { return FilePath(PathFromWorkingFolder(file)); }

const std::string& QtWindow::Caption(Control control) const { return captions_[Index(control)]; }

Rgb QtWindow::Colour(Control control) const { return colours_[Index(control)]; }

template <class W>
W* QtWindow::As(Control control) const {
  return dynamic_cast<W*>(Widget(control));
}

void QtWindow::ShowCentred() {
  QRect frame(QPoint(0, 0), main_->size());
  frame.moveCenter(main_->screen()->availableGeometry().center());
  main_->move(frame.topLeft());
  main_->show();
}

void QtWindow::Deliver(Control control, Event event) {
  if (sink_ && !ended_) sink_->OnEvent(control, event);
}

// --- controls

void QtWindow::SetCaption(Control control, std::string_view text) {
  QWidget* widget = Widget(control);
  captions_[Index(control)] = std::string(text);
  QString shown = ToQt(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(shown);
  // A file's path is often longer than its label shows: the tooltip holds it whole.
  if (control == Control::lblfiledata1 || control == Control::lblfiledata2)
    widget->setToolTip(ToQt(ToolTip(control)) + (shown.isEmpty() ? QString() : QStringLiteral(":\n") + shown));
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(shown);
  if (widget->isWindow()) widget->setWindowTitle(shown);
}

void QtWindow::SetColour(Control control, Rgb colour) {
  colours_[Index(control)] = colour;
  QWidget* widget = Widget(control);
  if (auto* outline = dynamic_cast<Outline*>(widget)) outline->SetColour(ToQt(colour));
  if (auto* label = qobject_cast<QLabel*>(widget)) SetPaletteColour(label, QPalette::WindowText, ToQt(colour));
  if (Info(control).kind == ControlKind::Line) SetPaletteColour(widget, QPalette::Window, ToQt(colour));
}

void QtWindow::AppendEntry(Control combo, std::string_view text) {
  auto* widget = As<QComboBox>(combo);
  if (!widget) return;
  const QSignalBlocker block(widget);
  const int before = widget->currentIndex();
  widget->addItem(ToQt(text));
  // The list opens wide enough for its longest entry; the box keeps its size.
  QAbstractItemView* list = widget->view();
  const int entryWidth = list->fontMetrics().horizontalAdvance(ToQt(text)) + 2 * list->frameWidth() +
                         list->verticalScrollBar()->sizeHint().width() + kListEntryPadding;
  list->setMinimumWidth(std::max(list->minimumWidth(), entryWidth));
  // Appending selects nothing; Qt would select the first entry of an empty list.
  if (before < 0) widget->setCurrentIndex(-1);
}

void QtWindow::SelectEntry(Control combo, int index) {
  auto* widget = As<QComboBox>(combo);
  if (!widget) return;
  {
    const QSignalBlocker block(widget);
    widget->setCurrentIndex(index);
  }
  Deliver(combo, Event::Click);
}

int QtWindow::SelectedIndex(Control combo) const {
  const auto* widget = As<QComboBox>(combo);
  return widget ? widget->currentIndex() : -1;
}

int QtWindow::Value(Control scrollBar) const {
  const auto* bar = As<QScrollBar>(scrollBar);
  return bar ? bar->value() : 0;
}

void QtWindow::SetValue(Control scrollBar, int value) {
  auto* bar = As<QScrollBar>(scrollBar);
  if (!bar) return;
  value = SettledValue({bar->minimum(), bar->maximum()}, value);
  if (value == bar->value()) return;
  {
    const QSignalBlocker block(bar);
    bar->setValue(value);
  }
  Deliver(scrollBar, Event::Change);
}

void QtWindow::SetMaximum(Control scrollBar, int maximum) {
  auto* bar = As<QScrollBar>(scrollBar);
  if (!bar) return;
  const int before = bar->value();
  const BarRange range = WithMaximum({bar->minimum(), bar->maximum()}, maximum);
  const int value = SettledValue(range, before);
  {
    const QSignalBlocker block(bar);
    bar->setRange(range.minimum, range.maximum);
    bar->setValue(value);
  }
  if (value != before) Deliver(scrollBar, Event::Change);
}

// A check box's tick, or an option button's selection.
bool QtWindow::Ticked(Control checkBox) const {
  const auto* box = As<QAbstractButton>(checkBox);
  return box && box->isChecked();
}

void QtWindow::SetOption(Control optionButton, bool selected) {
  auto* button = As<OptionButton>(optionButton);
  if (!button) return;
  const QSignalBlocker block(button);
  button->setChecked(selected);
}

// A text box's text, or a combo box's selected entry (empty when none).
std::string QtWindow::Text(Control textBox) const {
  if (const auto* edit = As<QLineEdit>(textBox)) return edit->text().toStdString();
  if (const auto* combo = As<QComboBox>(textBox)) return combo->itemText(combo->currentIndex()).toStdString();
  return std::string();
}

void QtWindow::SetText(Control textBox, std::string_view text) {
  auto* edit = As<QLineEdit>(textBox);
  if (!edit) return;
  const QSignalBlocker block(edit);
  edit->setText(ToQt(text));
}

Bounds QtWindow::GetBounds(Control control) const {
  const ControlInfo& info = Info(control);
  return Bounds{info.left, info.top, info.width, info.height};
}

void QtWindow::ShowDialog(Control form) {
  if (form != Control::frmcontrast || ended_ || contrast_->isVisible()) return;
  contrast_->exec();  // returns once the dialog is hidden
}

void QtWindow::HideDialog(Control form) {
  if (form == Control::frmcontrast) contrast_->hide();
}

// --- drawing

void QtWindow::PaintPoints(std::span<const PaintedPoint> points) {
  windowSurface_.Paint(points);
  client_->update();
}

void QtWindow::DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) {
  if (surface == Control::Spectra) {
    windowSurface_.Line(x1.AsDouble(), y1.AsDouble(), x2.AsDouble(), y2.AsDouble(), colour);
    client_->update();
  } else if (surface == Control::Picgraph) {
    graphSurface_.Line(x1.AsDouble(), y1.AsDouble(), x2.AsDouble(), y2.AsDouble(), colour);
    Widget(Control::Picgraph)->update();
  }
}

void QtWindow::ClearGraph() {
  graphSurface_.Clear();
  Widget(Control::Picgraph)->update();
}

// --- modal dialogs

void QtWindow::MessageBox(std::string_view text) {
  if (ended_) return;
  QMessageBox box(QMessageBox::NoIcon, ToQt(kMessageTitle), ToQt(text), QMessageBox::Ok, main_.get());
  box.exec();
}

bool QtWindow::Ask(std::string_view text, Buttons buttons) {
  if (ended_) return false;
  const bool yesNo = buttons == Buttons::YesNo;
  const QMessageBox::StandardButton yes = yesNo ? QMessageBox::Yes : QMessageBox::Ok;
  const QMessageBox::StandardButton no = yesNo ? QMessageBox::No : QMessageBox::Cancel;
  QMessageBox box(QMessageBox::NoIcon, ToQt(kMessageTitle), ToQt(text), yes | no, main_.get());
  box.setObjectName(QString::fromLatin1(kQuestionName));
  box.setDefaultButton(yesNo ? no : yes);
  box.setEscapeButton(no);
  return box.exec() == yes;
}

std::optional<std::string> QtWindow::InputBox(std::string_view prompt, std::string_view title,
                                              std::string_view defaultText) {
  if (ended_) return std::nullopt;
  QInputDialog dialog(main_.get());
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(ToQt(title));
  dialog.setLabelText(ToQt(prompt));
  dialog.setTextValue(ToQt(defaultText));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

// `flags` asks to hide a read-only check box, which Qt's dialog does not have;
// they do not ask for an existing file, so a name typed for a file that is not
// there is taken too (the load then tells the user it failed). The dialog
// starts in the folder the user last chose a file in.
std::optional<std::string> QtWindow::OpenFileDialog(std::string_view filter, int filterIndex, int) {
  if (ended_) return std::nullopt;
  if (!queuedOpens_.empty()) {
    std::string path = std::move(queuedOpens_.front());
    queuedOpens_.pop_front();
    return path;
  }
  QFileDialog dialog(main_.get());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  StartIn(dialog, *openFolder_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList filters;
  for (const std::string& entry : QtNameFilters(filter)) filters << ToQt(entry);
  dialog.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  // The shipped lamp line lists, one click away in the side bar.
  if (const std::string lists = FindLineLists(); !lists.empty())
    dialog.setSidebarUrls(dialog.sidebarUrls() << QUrl::fromLocalFile(ToQt(lists)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  openFolder_->Remember(dialog.selectedFiles().constFirst());
  return PathAsChosen(dialog.selectedFiles().constFirst());
}

// Qt's own dialog (not the desktop's), so that a driven session can answer it.
// The name typed without an extension gets the chosen type's; Qt asks before
// an existing file is replaced.
std::optional<SaveAnswer> QtWindow::SaveFileDialog(std::string_view filter) {
  if (ended_) return std::nullopt;
  QFileDialog dialog(main_.get());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  StartIn(dialog, *openFolder_);
  QStringList filters;
  for (const std::string& entry : QtNameFilters(filter)) filters << ToQt(entry);
  QStringList suffixes;
  for (const std::string& suffix : FilterSuffixes(filter)) suffixes << ToQt(suffix);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.constFirst());
  dialog.setDefaultSuffix(suffixes.value(0));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
    dialog.setDefaultSuffix(suffixes.value(static_cast<int>(filters.indexOf(chosen))));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().constFirst();
  openFolder_->Remember(chosen);
  const auto type = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  return SaveAnswer{PathAsChosen(chosen), std::max(type, 0) + 1};
}

// --- documents

std::string QtWindow::UserGuidePath() const { return FindUserGuide(); }

bool QtWindow::OpenDocument(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}


// --- the end

void QtWindow::EndProgram() {
  if (ended_) return;
  ended_ = true;
  printer_->Abort();
  contrast_->hide();
  if (view_ != nullptr) view_->hide();
  if (measurements_ != nullptr) measurements_->hide();
  main_->hide();
  // Leaves every running event loop, a modal dialog's included.
  QCoreApplication::quit();
}

}  // namespace lxr4
