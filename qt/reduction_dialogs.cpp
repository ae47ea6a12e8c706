#include "qt/reduction_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "qt/file_filter.h"
#include "qt/open_folder.h"

namespace lxr4 {

namespace {

QString ToQt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString Name(const char* name) { return QString::fromLatin1(name); }

constexpr std::string_view kFramesFilter =
    "FITS Images (*.fits;*.fit;*.fts)|*.fits;*.fit;*.fts|All Files (*.*)|*.*";
constexpr std::string_view kSpectrumFilter =
    "Spectra (*.fits;*.fit;*.fts;*.csv;*.txt;*.dat)|*.fits;*.fit;*.fts;*.csv;*.txt;*.dat|All Files (*.*)|*.*";
// Room for a path in a file field, in characters.
constexpr int kPathChars = 44;
// A number field's width, in characters, and the room about its text in pixels.
constexpr int kNumberChars = 10;
constexpr int kTextMargin = 16;

// The widgets of a dialog being built: each field named and in a form row.
class Builder {
 public:
  Builder(QDialog& dialog, const char* name, const char* title, OpenFolder* folder)
      : dialog_(dialog), folder_(folder), form_(new QFormLayout(&dialog)) {
    dialog.setObjectName(Name(name));
    dialog.setWindowTitle(QString::fromUtf8(title));
  }

  void Note(const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), &dialog_);
    label->setWordWrap(true);
    form_->addRow(label);
  }

  // A short text, wide enough for its placeholder.
  void Number(const char* name, const char* label, const std::string& text, const char* placeholder = "") {
    QLineEdit* field = Edit(name, text);
    field->setPlaceholderText(QString::fromUtf8(placeholder));
    const QFontMetrics metrics = field->fontMetrics();
    field->setMaximumWidth(std::max(metrics.averageCharWidth() * kNumberChars,
                                    metrics.horizontalAdvance(field->placeholderText())) +
                           kTextMargin);
    form_->addRow(QString::fromUtf8(label), field);
  }

  // How its button chooses: several files to open, one to open, one to save.
  enum class Pick : std::uint8_t { Files, Open, Save };

  // A path field with a button beside it that fills it from a file dialog.
  void File(const char* name, const char* label, const std::string& text, Pick pick,
            std::string_view filter) {
    QLineEdit* field = Edit(name, text);
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * kPathChars);
    auto* button = new QPushButton(
        pick == Pick::Files ? QStringLiteral("Frames...") : QStringLiteral("File..."), &dialog_);
    button->setObjectName(Name(name) + QLatin1String(kChooseSuffix));
    button->setAutoDefault(false);
    buttons_.push_back(button);
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    form_->addRow(QString::fromUtf8(label), row);
    QObject::connect(button, &QPushButton::clicked, field,
                     [field, pick, filter, folder = folder_, caption = QString::fromUtf8(label).chopped(1)] {
                       Choose(*field, pick, filter, *folder, caption);
                     });
  }

  void Choice(const char* name, const char* label, std::initializer_list<const char*> entries, int index) {
    auto* box = new QComboBox(&dialog_);
    box->setObjectName(Name(name));
    for (const char* entry : entries) box->addItem(QString::fromUtf8(entry));
    box->setCurrentIndex(index);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    form_->addRow(QString::fromUtf8(label), box);
  }

  void Box(const char* name, const char* label, bool on) {
    auto* box = new QCheckBox(QString::fromUtf8(label), &dialog_);
    box->setObjectName(Name(name));
    box->setChecked(on);
    form_->addRow(QString(), box);
  }

  // OK and Cancel; true on OK.
  bool Run() {
    // The file buttons as wide as the widest, so that their fields end together.
    int widest = 0;
    for (const QPushButton* button : buttons_) widest = std::max(widest, button->sizeHint().width());
    for (QPushButton* button : buttons_) button->setFixedWidth(widest);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog_);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog_, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog_, &QDialog::reject);
    form_->addRow(buttons);
    return dialog_.exec() == QDialog::Accepted;
  }

 private:
  QLineEdit* Edit(const char* name, const std::string& text) {
    auto* field = new QLineEdit(ToQt(text), &dialog_);
    field->setObjectName(Name(name));
    return field;
  }

  // Qt's own file dialog, as the program's others. It starts in the folder of
  // the field's (first) file; a save does not ask before replacing, since the
  // file named may be one to read.
  static void Choose(QLineEdit& field, Pick pick, std::string_view filter, OpenFolder& folder,
                     const QString& caption) {
    QStringList filters;
    for (const std::string& entry : QtNameFilters(filter)) filters << ToQt(entry);
    QFileDialog files(field.window(), caption, folder.Start());
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setNameFilters(filters);
    const QString first = field.text().section(QLatin1Char(';'), 0, 0).trimmed();
    if (const QFileInfo shown(first); !first.isEmpty() && shown.absoluteDir().exists())
      files.setDirectory(shown.absolutePath());
    files.setFileMode(pick == Pick::Files  ? QFileDialog::ExistingFiles
                      : pick == Pick::Open ? QFileDialog::ExistingFile
                                           : QFileDialog::AnyFile);
    if (pick == Pick::Save) {
      files.setAcceptMode(QFileDialog::AcceptSave);
      files.setOption(QFileDialog::DontConfirmOverwrite);
      // A master is a FITS file; a response's form is its name's.
      if (filter == kFramesFilter) files.setDefaultSuffix(ToQt(FilterSuffixes(filter).front()));
    }
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) return;
    folder.Remember(files.selectedFiles().constFirst());
    QStringList typed;
    for (const QString& path : files.selectedFiles()) typed << PathFromWorkingFolder(path);
    field.setText(typed.join(QLatin1Char(';')));
  }

  QDialog& dialog_;
  OpenFolder* folder_;
  QFormLayout* form_;
  std::vector<QPushButton*> buttons_;
};

using Pick = Builder::Pick;

template <typename Choice>
int IndexOf(Choice c) {
  return static_cast<int>(c);
}

std::string TextOf(const QWidget& dialog, const char* name) {
  const auto* field = dialog.findChild<QLineEdit*>(Name(name));
  return field != nullptr ? field->text().toStdString() : std::string();
}

// The entry chosen as its enum; the first when the combo box is missing.
template <typename Choice>
Choice ChoiceOf(const QWidget& dialog, const char* name) {
  const auto* box = dialog.findChild<QComboBox*>(Name(name));
  return static_cast<Choice>(box != nullptr ? std::max(box->currentIndex(), 0) : 0);
}

bool TickOf(const QWidget& dialog, const char* name) {
  const auto* box = dialog.findChild<QCheckBox*>(Name(name));
  return box != nullptr && box->isChecked();
}

constexpr std::initializer_list<const char*> kCombineEntries{"Median", "Sigma-clipped mean"};

}  // namespace

std::optional<MastersFields> RunMastersDialog(QWidget* parent, OpenFolder& folder,
                                              const MastersFields& current) {
  QDialog dialog(parent);
  Builder b(dialog, kMastersDialogName, "Masters", &folder);
  b.Note(
      "For each kind, the frames given are combined and saved to its master file; a master file "
      "given alone is read and used; with neither, the kind is not used. Frames are separated by ';'.");
  b.File(kBiasFramesName, "Bias frames:", current.biasFrames, Pick::Files, kFramesFilter);
  b.File(kBiasMasterName, "Master bias:", current.biasMaster, Pick::Save, kFramesFilter);
  b.File(kDarkFramesName, "Dark frames:", current.darkFrames, Pick::Files, kFramesFilter);
  b.File(kDarkMasterName, "Master dark:", current.darkMaster, Pick::Save, kFramesFilter);
  b.File(kFlatFramesName, "Flat frames:", current.flatFrames, Pick::Files, kFramesFilter);
  b.File(kFlatMasterName, "Master flat:", current.flatMaster, Pick::Save, kFramesFilter);
  b.Choice(kMastersCombineName, "Combine:", kCombineEntries, IndexOf(current.combine));
  b.Number(kMastersSigmaName, "Clip at (sigma):", current.sigma);
  if (!b.Run()) return std::nullopt;
  return ShownMasters(dialog);
}

std::optional<ExtractionFields> RunExtractionDialog(QWidget* parent, const ExtractionFields& current) {
  QDialog dialog(parent);
  Builder b(dialog, kExtractionDialogName, "Extraction", nullptr);
  b.Choice(kExtractionMethodName,
           "Method:", {"Swath as imported", "Boxcar along the trace", "Optimal along the trace"},
           IndexOf(current.method));
  b.Number(kExtractionApertureName, "Aperture half-width (px):", current.aperture, "3 sigma of the trace");
  b.Choice(kExtractionSkyName, "Sky:", {"None", "Median of the side bands", "Fit across the slit"},
           IndexOf(current.sky));
  b.Number(kExtractionSkyOffsetName, "Sky band offset (px):", current.skyOffset);
  b.Number(kExtractionSkyWidthName, "Sky band width (px):", current.skyWidth);
  b.Box(kExtractionCosmicRaysName, "Remove cosmic rays from single frames", current.cosmicRays);
  b.Choice(kExtractionStackName, "Stack combine:", kCombineEntries, IndexOf(current.stack));
  if (!b.Run()) return std::nullopt;
  return ShownExtraction(dialog);
}

std::optional<ResponseFields> RunResponseDialog(QWidget* parent, OpenFolder& folder,
                                                const ResponseFields& current) {
  QDialog dialog(parent);
  Builder b(dialog, kResponseDialogName, "Instrument Response", &folder);
  b.Choice(kResponseModeName,
           "Response:", {"None", "Make from the object loaded (a reference star)", "Use a saved response"},
           IndexOf(current.mode));
  b.File(kResponseReferenceName, "Reference spectrum:", current.reference, Pick::Open, kSpectrumFilter);
  b.File(kResponseFileName, "Response file:", current.file, Pick::Save, kSpectrumFilter);
  b.Number(kResponseSmoothingName, "Smoothing (\u00c5):", current.smoothing);
  b.Box(kResponseMaskLinesName, "Mask the strong lines", current.maskLines);
  if (!b.Run()) return std::nullopt;
  return ShownResponse(dialog);
}

MastersFields ShownMasters(const QWidget& dialog) {
  MastersFields f;
  f.biasFrames = TextOf(dialog, kBiasFramesName);
  f.darkFrames = TextOf(dialog, kDarkFramesName);
  f.flatFrames = TextOf(dialog, kFlatFramesName);
  f.biasMaster = TextOf(dialog, kBiasMasterName);
  f.darkMaster = TextOf(dialog, kDarkMasterName);
  f.flatMaster = TextOf(dialog, kFlatMasterName);
  f.combine = ChoiceOf<CombineChoice>(dialog, kMastersCombineName);
  f.sigma = TextOf(dialog, kMastersSigmaName);
  return f;
}

ExtractionFields ShownExtraction(const QWidget& dialog) {
  ExtractionFields f;
  f.method = ChoiceOf<ExtractionChoice>(dialog, kExtractionMethodName);
  f.aperture = TextOf(dialog, kExtractionApertureName);
  f.sky = ChoiceOf<SkyChoice>(dialog, kExtractionSkyName);
  f.skyOffset = TextOf(dialog, kExtractionSkyOffsetName);
  f.skyWidth = TextOf(dialog, kExtractionSkyWidthName);
  f.cosmicRays = TickOf(dialog, kExtractionCosmicRaysName);
  f.stack = ChoiceOf<CombineChoice>(dialog, kExtractionStackName);
  return f;
}

ResponseFields ShownResponse(const QWidget& dialog) {
  ResponseFields f;
  f.mode = ChoiceOf<ResponseChoice>(dialog, kResponseModeName);
  f.reference = TextOf(dialog, kResponseReferenceName);
  f.file = TextOf(dialog, kResponseFileName);
  f.smoothing = TextOf(dialog, kResponseSmoothingName);
  f.maskLines = TickOf(dialog, kResponseMaskLinesName);
  return f;
}

}  // namespace lxr4
