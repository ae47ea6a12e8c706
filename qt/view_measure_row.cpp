// The Spectrum view's measuring row: what a dragged box does, the profile
// fitted, the rest wavelength, the shift to the rest frame, normalisation,
// the continuum marks and air or vacuum wavelengths. As the first row, it
// hands on what the user does and nothing the program sets.
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QVBoxLayout>
#include <initializer_list>

#include "qt/spectrum_view_window.h"

namespace lxr4 {

namespace {
template <class W>
W* Named(W* widget, const char* name, const char* tip) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setToolTip(QString::fromUtf8(tip));
  return widget;
}

ViewInput Input(ViewInput::Kind kind) {
  ViewInput in;
  in.kind = kind;
  return in;
}

QStringList ToQt(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& t : texts) list << QString::fromStdString(t);
  return list;
}

QStringList Entries(const QComboBox* box) {
  QStringList list;
  for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
  return list;
}
}  // namespace

QWidget* SpectrumViewWindow::BuildMeasureRow() {
  // Two lines, each of which fits the canvas's start width: what a box does
  // and to what, then the rest frame.
  auto* row = new QWidget(this);
  row->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* lines = new QVBoxLayout(row);
  lines->setContentsMargins(0, 0, 0, 0);
  auto* first = new QHBoxLayout;
  auto* second = new QHBoxLayout;
  lines->addLayout(first);
  lines->addLayout(second);
  drag_ = Named(new QComboBox(row), kViewDragName, "What a box dragged along the plot does");
  drag_->addItems({QStringLiteral("Zoom"), QStringLiteral("Measure line"), QStringLiteral("Mark continuum")});
  profile_ = Named(new QComboBox(row), kViewProfileName, "The profile fitted to a measured line");
  profile_->addItems({QStringLiteral("Gaussian"), QStringLiteral("Lorentzian"), QStringLiteral("Voigt")});
  rest_ = Named(new QComboBox(row), kViewRestName,
                "The line's rest wavelength, for its radial velocity: choose a line or type a wavelength "
                "and press Enter");
  rest_->setEditable(true);
  // Enter hands on the text as typed: no entry is added or completed, nor
  // chosen on the way (which would hand it on twice).
  rest_->setInsertPolicy(QComboBox::NoInsert);
  rest_->setDuplicatesEnabled(true);
  rest_->setCompleter(nullptr);
  rest_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  rest_->setMinimumContentsLength(16);
  shift_ = Named(new QLineEdit(row), kViewShiftName,
                 "Show the spectrum in the rest frame of this velocity (km/s): type it and press Enter");
  shift_->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("-000000.00")));
  auto* toRest = Named(new QPushButton(QStringLiteral("To Rest"), row), kViewToRestName,
                       "Shift to the rest frame of the last measured line's velocity");
  normalise_ = Named(new QCheckBox(QStringLiteral("Normalise"), row), kViewNormaliseName,
                     "Divide the object spectrum by its continuum, fitted to the marked ranges");
  auto* clear = Named(new QPushButton(QStringLiteral("Clear Continuum"), row), kViewClearContinuumName,
                      "Forget every marked continuum range");
  medium_ = Named(new QComboBox(row), kViewMediumName, "Show wavelengths in air or in vacuum");
  medium_->addItems({QStringLiteral("Air"), QStringLiteral("Vacuum")});
  const auto label = [row](const char* text) { return new QLabel(QString::fromUtf8(text), row); };
  using Widgets = std::initializer_list<QWidget*>;
  for (QWidget* w : Widgets{label("Drag:"), drag_, label("Profile:"), profile_, normalise_, clear,
                            label("Wavelengths:"), medium_})
    first->addWidget(w);
  for (QWidget* w : Widgets{label("Rest (\u00c5):"), rest_, label("Shift to rest (km/s):"), shift_, toRest})
    second->addWidget(w);
  first->addStretch();
  second->addStretch();

  connect(drag_, &QComboBox::currentIndexChanged, this, [this](int index) {
    ViewInput in = Input(ViewInput::Kind::Drag);
    in.drag = static_cast<DragMode>(index);
    Send(in);
  });
  connect(profile_, &QComboBox::currentIndexChanged, this, [this](int index) {
    ViewInput in = Input(ViewInput::Kind::Profile);
    in.profile = static_cast<MeasureProfile>(index);
    Send(in);
  });
  connect(medium_, &QComboBox::currentIndexChanged, this, [this](int index) {
    ViewInput in = Input(ViewInput::Kind::Medium);
    in.vacuum = index == 1;
    Send(in);
  });
  const auto sendRest = [this](const QString& text) {
    ViewInput in = Input(ViewInput::Kind::Rest);
    in.restText = text.toStdString();
    Send(in);
  };
  // An entry taken from the list (or stepped to with the arrow keys, or its
  // text typed whole and left), or Enter in the text.
  connect(rest_, &QComboBox::activated, this,
          [this, sendRest](int index) { sendRest(rest_->itemText(index)); });
  connect(rest_->lineEdit(), &QLineEdit::returnPressed, this, [this, sendRest] {
    const QString typed = rest_->currentText();
    // An entry's text made the current entry, quietly: the box, at the end of
    // the editing, then does not take it a second time as a choice.
    if (const int entry = rest_->findText(typed, Qt::MatchFixedString); entry >= 0) {
      const QSignalBlocker quiet(rest_);
      rest_->setCurrentIndex(entry);
      rest_->setEditText(rest_->itemText(entry));
    }
    sendRest(typed);
  });
  connect(shift_, &QLineEdit::returnPressed, this, [this] {
    ViewInput in = Input(ViewInput::Kind::Shift);
    in.shiftText = shift_->text().toStdString();
    Send(in);
  });
  connect(toRest, &QPushButton::clicked, this, [this] { Send(Input(ViewInput::Kind::ShiftToRest)); });
  connect(normalise_, &QCheckBox::clicked, this, [this](bool on) {
    ViewInput in = Input(ViewInput::Kind::Normalise);
    in.normalise = on;
    Send(in);
  });
  connect(clear, &QPushButton::clicked, this, [this] { Send(Input(ViewInput::Kind::ClearContinuum)); });
  return row;
}

// The combo boxes are silenced; the texts and the check box report only the user's Enter and clicks.
void SpectrumViewWindow::SetMeasureControls(const MeasureControls& m) {
  const QSignalBlocker quietDrag(drag_), quietProfile(profile_), quietRest(rest_), quietMedium(medium_);
  drag_->setCurrentIndex(static_cast<int>(m.drag));
  profile_->setCurrentIndex(static_cast<int>(m.profile));
  medium_->setCurrentIndex(m.vacuum ? 1 : 0);
  if (const QStringList choices = ToQt(m.restChoices); Entries(rest_) != choices) {
    rest_->clear();
    rest_->addItems(choices);
  }
  rest_->setEditText(QString::fromStdString(m.restText));
  shift_->setText(QString::fromStdString(m.shiftText));
  normalise_->setChecked(m.normalise);
}

MeasureControls SpectrumViewWindow::MeasureControlsShown() const {
  MeasureControls m{static_cast<DragMode>(drag_->currentIndex()),
                    static_cast<MeasureProfile>(profile_->currentIndex()),
                    rest_->currentText().toStdString(),
                    shift_->text().toStdString(),
                    normalise_->isChecked(),
                    medium_->currentIndex() == 1,
                    {}};
  for (const QString& entry : Entries(rest_)) m.restChoices.push_back(entry.toStdString());
  return m;
}

}  // namespace lxr4
