// How the driver answers the modal dialogs: it sees each dialog appear, and
// once the dialog's own event loop runs it fills in the queued answer and
// presses the dialog's button, as a user would.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "qt/calibration_dialogs.h"
#include "qt/measure_dialogs.h"
#include "qt/qt_window.h"
#include "qt/reduction_dialogs.h"
#include "qt/driver/window_driver.h"
#include "script/script_error.h"

namespace lxr4 {

namespace {

QString ToQt(const std::string& s) { return QString::fromStdString(s); }

// Presses a standard button of a dialog's button box; false when it has none.
bool Press(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  QAbstractButton* button = buttons != nullptr ? buttons->button(which) : nullptr;
  if (button == nullptr) return false;
  button->click();
  return true;
}

}  // namespace

// Sees every dialog of the application appear and has the driver answer it
// from within the dialog's own event loop.
class DialogWatcher final : public QObject {
 public:
  explicit DialogWatcher(WindowDriver& driver) : driver_(driver) { qApp->installEventFilter(this); }
  ~DialogWatcher() override { qApp->removeEventFilter(this); }
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // Answers `dialog` once its event loop runs, if it is still open then.
  void AnswerLater(QDialog* dialog) {
    QTimer::singleShot(0, dialog, [this, dialog] {
      if (dialog->isVisible()) driver_.Answer(dialog);
    });
  }

  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show)
      if (auto* dialog = qobject_cast<QDialog*>(object); dialog != nullptr && dialog->isModal())
        AnswerLater(dialog);
    return false;
  }

 private:
  WindowDriver& driver_;
};

WindowDriver::WindowDriver(QtWindow& window)
    : window_(window), watcher_(std::make_unique<DialogWatcher>(*this)) {
  window_.SetEventSink(this);
  window_.UsePrinter(&printer_);
}

WindowDriver::~WindowDriver() {
  window_.SetEventSink(nullptr);
  window_.UsePrinter(nullptr);
}

void WindowDriver::Answer(QDialog* dialog) {
  if (stop_) return dialog->done(QDialog::Rejected);
  if (dialog == window_.Widget(Control::frmcontrast)) return AnswerContrast(dialog);
  if (qobject_cast<QInputDialog*>(dialog) != nullptr) return AnswerInput(dialog);
  if (dialog->objectName() == QLatin1String("fitsImportDialog")) return AnswerFitsImport(dialog);
  if (dialog->objectName() == QLatin1String(kInstrumentDialogName)) return AnswerInstrument(dialog);
  if (dialog->objectName() == QLatin1String(kLampDialogName)) return AnswerLamp(dialog);
  if (dialog->objectName() == QLatin1String(kAutoStartDialogName)) return AnswerAutoStart(dialog);
  if (dialog->objectName() == QLatin1String(kObservationDialogName)) return AnswerObservation(dialog);
  if (dialog->objectName() == QLatin1String(kMastersDialogName)) return AnswerMasters(dialog);
  if (dialog->objectName() == QLatin1String(kExtractionDialogName)) return AnswerExtraction(dialog);
  if (dialog->objectName() == QLatin1String(kResponseDialogName)) return AnswerResponse(dialog);
  if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
    if (files->acceptMode() == QFileDialog::AcceptSave) return AnswerSave(files);
    if (files->fileMode() == QFileDialog::ExistingFiles) return AnswerOpenMany(files);
    return AnswerOpen(dialog);
  }
  if (dialog->objectName() == QLatin1String(kQuestionName)) return AnswerQuestion(dialog);
  if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
    // The save dialog asks before it replaces a file: the script chose that file.
    if (qobject_cast<QFileDialog*>(box->parentWidget()) != nullptr) {
      if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
        yes->click();
        return AfterAnswer(dialog);
      }
    }
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
      return AfterAnswer(dialog);
    }
  }
  Refuse(dialog, "a dialog the script cannot answer opened: \"" + dialog->windowTitle().toStdString() + "\"");
}

// Each press of Done takes the next answer: Done may refuse the texts and keep
// the dialog open.
void WindowDriver::AnswerContrast(QDialog* dialog) {
  auto next = answers_.contrasts.Pop();
  if (!next) return Refuse(dialog, answers_.contrasts.NoneQueued());
  if (const std::optional<ContrastAnswer>& answer = *next) {
    static_cast<QLineEdit*>(window_.Widget(Control::txtbackground))->setText(ToQt(answer->background));
    static_cast<QLineEdit*>(window_.Widget(Control::txtrange))->setText(ToQt(answer->range));
  }
  static_cast<QAbstractButton*>(window_.Widget(Control::cmddone))->click();
  AfterAnswer(dialog);
}

void WindowDriver::AnswerInput(QDialog* dialog) {
  auto next = answers_.inputs.Pop();
  if (!next) return Refuse(dialog, answers_.inputs.NoneQueued());
  const std::optional<std::string> answer = *std::move(next);
  auto* text = dialog->findChild<QLineEdit*>();
  if (answer && text != nullptr) text->setText(ToQt(*answer));
  if (!Press(dialog, answer ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel))
    return Refuse(dialog, "the input box has no button to press");
  AfterAnswer(dialog);
}

// The path is typed into the file name box, whole, and Open pressed: the
// dialog may show another folder than the working one (where the user last
// went), and a script's relative path is taken from the working folder.
void WindowDriver::AnswerOpen(QDialog* dialog) {
  auto next = answers_.opens.Pop();
  if (!next) return Refuse(dialog, answers_.opens.NoneQueued());
  const std::optional<std::string> answer = *std::move(next);
  if (answer) {
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      name->setText(QDir::current().absoluteFilePath(ToQt(*answer)));
    if (!Press(dialog, QDialogButtonBox::Open) || (dialog->isVisible() && !stop_))
      return Refuse(dialog, "the open-file dialog does not take \"" + *answer + "\" as a file");
  } else if (!Press(dialog, QDialogButtonBox::Cancel)) {
    return Refuse(dialog, "the open-file dialog has no Cancel button");
  }
  AfterAnswer(dialog);
}

// Each path typed whole and in quotes into the file name box, as the dialog
// takes several names ("a" "b"), and Open pressed. The dialog takes only
// files that exist; what it gives must be exactly the paths typed, in their
// order (it goes by the names its list has selected for them).
void WindowDriver::AnswerOpenMany(QFileDialog* dialog) {
  auto next = answers_.openMany.Pop();
  if (!next) return Refuse(dialog, answers_.openMany.NoneQueued());
  const std::optional<std::vector<std::string>> answer = *std::move(next);
  if (!answer) {
    if (!Press(dialog, QDialogButtonBox::Cancel)) return Refuse(dialog, "the open-files dialog has no Cancel button");
    return AfterAnswer(dialog);
  }
  if (answer->empty()) return Refuse(dialog, "the open-files dialog was given no file");
  QStringList typed, quoted;
  std::string listed;
  bool files = true;
  for (const std::string& path : *answer) {
    listed += (listed.empty() ? "\"" : " \"") + path + '"';
    typed << QDir::cleanPath(QDir::current().absoluteFilePath(ToQt(path)));
    quoted << QLatin1Char('"') + typed.constLast() + QLatin1Char('"');
    files = files && QFileInfo(typed.constLast()).isFile() && path.find('"') == std::string::npos;
  }
  const std::string refusal = "the open-files dialog does not take " + listed + " as files";
  if (!files) return Refuse(dialog, refusal);
  QStringList given;
  const QMetaObject::Connection seen =
      QObject::connect(dialog, &QFileDialog::filesSelected, dialog, [&given](const QStringList& f) { given = f; });
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    name->setText(quoted.join(QLatin1Char(' ')));
  const bool pressed = Press(dialog, QDialogButtonBox::Open);
  QObject::disconnect(seen);
  if (!pressed || (dialog->isVisible() && !stop_)) return Refuse(dialog, refusal);
  if (given != typed && !stop_)
    Stop(std::make_exception_ptr(ScriptError("the open-files dialog gave \"" +
                                             given.join(QStringLiteral("\" \"")).toStdString() + "\" for " +
                                             listed)));
  AfterAnswer(dialog);
}

// The type is chosen in the dialog's list of file types first (which may change
// the extension of a name typed before), then the path typed whole and Save
// pressed.
void WindowDriver::AnswerSave(QFileDialog* dialog) {
  auto next = answers_.saves.Pop();
  if (!next) return Refuse(dialog, answers_.saves.NoneQueued());
  const auto answer = *std::move(next);
  if (!answer) {
    if (!Press(dialog, QDialogButtonBox::Cancel))
      return Refuse(dialog, "the save-file dialog has no Cancel button");
    return AfterAnswer(dialog);
  }
  auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  const int count = types != nullptr ? types->count() : 0;
  if (answer->type < 1 || answer->type > count)
    return Refuse(dialog, "the save-file dialog has no type " + std::to_string(answer->type) + " (it has " +
                              std::to_string(count) + ")");
  ChooseEntry(types, answer->type - 1);
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    name->setText(QDir::current().absoluteFilePath(ToQt(answer->path)));
  if (!Press(dialog, QDialogButtonBox::Save) || (dialog->isVisible() && !stop_))
    return Refuse(dialog, "the save-file dialog does not take \"" + answer->path + "\" as a file");
  AfterAnswer(dialog);
}

// The answer's fields are set in the dialog's widgets, then OK pressed.
void WindowDriver::AnswerFitsImport(QDialog* dialog) {
  auto next = answers_.fitsImports.Pop();
  if (!next) return Refuse(dialog, answers_.fitsImports.NoneQueued());
  const auto answer = *std::move(next);
  if (answer) {
    auto* axis = dialog->findChild<QComboBox*>(QStringLiteral("fitsAxis"));
    auto* full = dialog->findChild<QCheckBox*>(QStringLiteral("fitsFullResolution"));
    auto* start = dialog->findChild<QLineEdit*>(QStringLiteral("fitsWindowStart"));
    auto* size = dialog->findChild<QLineEdit*>(QStringLiteral("fitsPixelSize"));
    auto* units = dialog->findChild<QCheckBox*>(QStringLiteral("fitsFrameUnits"));
    if (axis == nullptr || full == nullptr || start == nullptr || size == nullptr || units == nullptr)
      return Refuse(dialog, "the FITS import dialog lacks one of its fields");
    ChooseEntry(axis, static_cast<int>(answer->axis));
    full->setChecked(answer->fullResolution);
    if (answer->fullResolution) start->setText(ToQt(answer->windowStart));
    size->setText(ToQt(answer->pixelSize));
    units->setChecked(answer->frameUnits);
  }
  if (!Press(dialog, answer ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel))
    return Refuse(dialog, "the FITS import dialog has no button to press");
  AfterAnswer(dialog);
}

namespace {
void TypeInto(QDialog* dialog, const char* name, const std::string& text) {
  if (auto* field = dialog->findChild<QLineEdit*>(QString::fromLatin1(name))) field->setText(ToQt(text));
}
void Tick(QDialog* dialog, const QString& name, bool on) {
  if (auto* box = dialog->findChild<QCheckBox*>(name)) box->setChecked(on);
}
}  // namespace

// Entry `index` of the dialog's combo box `name`, chosen in its list.
void WindowDriver::ChooseIn(QDialog* dialog, const char* name, int index) {
  if (auto* box = dialog->findChild<QComboBox*>(QString::fromLatin1(name))) ChooseEntry(box, index);
}

// The next answer of `queue` filled in by `fill` (which may name a script
// fault instead), then OK pressed; Cancel for a cancel.
template <typename T, typename Fill>
void WindowDriver::AnswerFields(QDialog* dialog, AnswerQueue<std::optional<T>>& queue, const std::string& what,
                                Fill fill) {
  auto next = queue.Pop();
  if (!next) return Refuse(dialog, queue.NoneQueued());
  const std::optional<T> answer = *std::move(next);
  if (answer)
    if (const std::optional<std::string> fault = fill(*answer)) return Refuse(dialog, *fault);
  if (!Press(dialog, answer ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel))
    return Refuse(dialog, what + " has no button to press");
  AfterAnswer(dialog);
}

// The five fields typed over and the check box set.
void WindowDriver::AnswerInstrument(QDialog* dialog) {
  AnswerFields(dialog, answers_.instruments, "the Instrument dialog",
               [dialog](const InstrumentFields& f) -> std::optional<std::string> {
                 TypeInto(dialog, kGrooveDensityName, f.grooveDensity);
                 TypeInto(dialog, kDeviationAngleName, f.deviationAngle);
                 TypeInto(dialog, kReferenceColumnName, f.referenceColumn);
                 TypeInto(dialog, kPixelSizeName, f.pixelSize);
                 Tick(dialog, QString::fromLatin1(kCorrectionName), f.correction);
                 return std::nullopt;
               });
}

// Each offered name's box ticked or cleared as the answer says, and the vacuum box set.
void WindowDriver::AnswerLamp(QDialog* dialog) {
  AnswerFields(dialog, answers_.lamps, "the Lamp dialog",
               [this, dialog](const LampFields& f) -> std::optional<std::string> {
                 const LampAnswer lamp = lxr4::AnswerLamp(lampShown_, f);
                 if (lamp.problem) return lamp.problem;
                 const std::vector<std::string>& chosen = lamp.fields.chosen;
                 for (const std::string& name : lampShown_.offered)
                   Tick(dialog, QString::fromLatin1(kLampBoxPrefix) + ToQt(name),
                        std::find(chosen.begin(), chosen.end(), name) != chosen.end());
                 Tick(dialog, QString::fromLatin1(kVacuumName), f.vacuum);
                 return std::nullopt;
               });
}

// The three fields typed over.
void WindowDriver::AnswerAutoStart(QDialog* dialog) {
  AnswerFields(dialog, answers_.autoStarts, "the automatic calibration dialog",
               [dialog](const AutoStartFields& f) -> std::optional<std::string> {
                 TypeInto(dialog, kAutoCentreName, f.centre);
                 TypeInto(dialog, kAutoDispersionName, f.dispersion);
                 TypeInto(dialog, kAutoToleranceName, f.tolerance);
                 return std::nullopt;
               });
}

// The seven fields typed over.
void WindowDriver::AnswerObservation(QDialog* dialog) {
  AnswerFields(dialog, answers_.observations, "the Observation dialog",
               [dialog](const ObservationFields& f) -> std::optional<std::string> {
                 TypeInto(dialog, kObservationDateName, f.date);
                 TypeInto(dialog, kObservationExposureName, f.exposure);
                 TypeInto(dialog, kObservationRaName, f.ra);
                 TypeInto(dialog, kObservationDecName, f.dec);
                 TypeInto(dialog, kObservationLatitudeName, f.latitude);
                 TypeInto(dialog, kObservationLongitudeName, f.longitude);
                 TypeInto(dialog, kObservationHeightName, f.height);
                 return std::nullopt;
               });
}

// The fields the dialog shows, with the answer's named ones over them, set
// in its widgets: each text typed over, each choice taken from its list,
// each box set.
void WindowDriver::AnswerMasters(QDialog* dialog) {
  AnswerFields(dialog, answers_.masters, "the Masters dialog",
               [dialog](const FieldWords& words) -> std::optional<std::string> {
                 const FieldsAnswer<MastersFields> a = lxr4::AnswerMasters(ShownMasters(*dialog), words);
                 if (a.problem) return a.problem;
                 const MastersFields& f = a.fields;
                 TypeInto(dialog, kBiasFramesName, f.biasFrames);
                 TypeInto(dialog, kBiasMasterName, f.biasMaster);
                 TypeInto(dialog, kDarkFramesName, f.darkFrames);
                 TypeInto(dialog, kDarkMasterName, f.darkMaster);
                 TypeInto(dialog, kFlatFramesName, f.flatFrames);
                 TypeInto(dialog, kFlatMasterName, f.flatMaster);
                 ChooseIn(dialog, kMastersCombineName, static_cast<int>(f.combine));
                 TypeInto(dialog, kMastersSigmaName, f.sigma);
                 return std::nullopt;
               });
}

void WindowDriver::AnswerExtraction(QDialog* dialog) {
  AnswerFields(dialog, answers_.extractions, "the Extraction dialog",
               [dialog](const FieldWords& words) -> std::optional<std::string> {
                 const FieldsAnswer<ExtractionFields> a = lxr4::AnswerExtraction(ShownExtraction(*dialog), words);
                 if (a.problem) return a.problem;
                 const ExtractionFields& f = a.fields;
                 ChooseIn(dialog, kExtractionMethodName, static_cast<int>(f.method));
                 TypeInto(dialog, kExtractionApertureName, f.aperture);
                 ChooseIn(dialog, kExtractionSkyName, static_cast<int>(f.sky));
                 TypeInto(dialog, kExtractionSkyOffsetName, f.skyOffset);
                 TypeInto(dialog, kExtractionSkyWidthName, f.skyWidth);
                 Tick(dialog, QString::fromLatin1(kExtractionCosmicRaysName), f.cosmicRays);
                 ChooseIn(dialog, kExtractionStackName, static_cast<int>(f.stack));
                 return std::nullopt;
               });
}

void WindowDriver::AnswerResponse(QDialog* dialog) {
  AnswerFields(dialog, answers_.responses, "the Instrument Response dialog",
               [dialog](const FieldWords& words) -> std::optional<std::string> {
                 const FieldsAnswer<ResponseFields> a = lxr4::AnswerResponse(ShownResponse(*dialog), words);
                 if (a.problem) return a.problem;
                 const ResponseFields& f = a.fields;
                 ChooseIn(dialog, kResponseModeName, static_cast<int>(f.mode));
                 TypeInto(dialog, kResponseReferenceName, f.reference);
                 TypeInto(dialog, kResponseFileName, f.file);
                 TypeInto(dialog, kResponseSmoothingName, f.smoothing);
                 Tick(dialog, QString::fromLatin1(kResponseMaskLinesName), f.maskLines);
                 return std::nullopt;
               });
}

// The queued button is pressed, if the question has it.
void WindowDriver::AnswerQuestion(QDialog* dialog) {
  auto next = answers_.questions.Pop();
  if (!next) return Refuse(dialog, answers_.questions.NoneQueued());
  const auto answer = *std::move(next);
  static constexpr QMessageBox::StandardButton kButtons[] = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok,
                                                             QMessageBox::Cancel};
  auto* box = static_cast<QMessageBox*>(dialog);
  QAbstractButton* button = box->button(kButtons[static_cast<std::size_t>(answer)]);
  if (button == nullptr) {
    const bool yesNo = box->button(QMessageBox::Yes) != nullptr;
    return Refuse(dialog, "the question has no button \"" + std::string(ButtonWord(answer)) + "\" (it has " +
                              (yesNo ? "yes and no)" : "ok and cancel)"));
  }
  button->click();
  AfterAnswer(dialog);
}

void WindowDriver::Refuse(QDialog* dialog, const std::string& what) {
  Stop(std::make_exception_ptr(ScriptError(what)));
  dialog->done(QDialog::Rejected);
}

void WindowDriver::AfterAnswer(QDialog* dialog) {
  if (!dialog->isVisible()) return;
  if (stop_)
    dialog->done(QDialog::Rejected);
  else
    watcher_->AnswerLater(dialog);
}

}  // namespace lxr4
