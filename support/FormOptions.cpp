#include "support/FormOptions.h"

#include "support/Registry.h"
#include "support/UpdateSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

using namespace Qt::StringLiterals;

namespace support {

namespace {

constexpr int DaysFieldWidth = 44;
constexpr int ButtonWidth = 88;

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel* NoteLabel(const QString& name, const QString& text, QWidget* parent) {
    QLabel* label = NamedLabel(name, text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QPushButton* DialogButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumWidth(ButtonWidth);
    // Return presses OK wherever the focus is, Cancel included.
    button->setAutoDefault(false);
    return button;
}

} // namespace

FormOptions::FormOptions(MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages) {
    setObjectName(u"FormOptions"_s);
    setWindowTitle(u"Options"_s);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    m_frame = new QGroupBox(u"Check for updates to Quillmoth"_s, this);
    m_frame->setObjectName(u"FrameWiseUpdate"_s);
    m_check = new QCheckBox(
        u"Automatically check for new &versions a few seconds after starting Quillmoth"_s, m_frame);
    m_check->setObjectName(u"CheckWiseUpdateEnabled"_s);
    m_labels[0] = NamedLabel(u"LabEditWiseUpdateCheckDays0"_s,
                             u"O&nly contact the Tarnwick web site every"_s, m_frame);
    m_edit = new QLineEdit(m_frame);
    m_edit->setObjectName(u"EditWiseUpdateCheckDays"_s);
    m_edit->setFixedWidth(DaysFieldWidth);
    m_labels[0]->setBuddy(m_edit);
    m_labels[1] =
        NamedLabel(u"LabEditWiseUpdateCheckDays1"_s, u"days to check for updates."_s, m_frame);
    m_labels[1]->setTextFormat(Qt::PlainText);
    m_zeroDaysNote = NoteLabel(u"LabZeroDaysNote"_s,
                               u"A value of 0 days will cause Quillmoth to check for a new version "
                               u"every time it starts."_s,
                               m_frame);
    m_manualCheckNote =
        NoteLabel(u"LabManualCheckNote"_s,
                  u"Note: In addition to the automatic checks configured here, you can also "
                  u"perform a manual check at any point by opening the 'Web' menu and choosing "
                  u"'Check for updates...'."_s,
                  this);

    m_butOK = DialogButton(u"ButOK"_s, u"OK"_s, this);
    m_butCancel = DialogButton(u"ButCancel"_s, u"Cancel"_s, this);
    m_butOK->setDefault(true);

    auto* daysRow = new QHBoxLayout;
    daysRow->addWidget(m_labels[0]);
    daysRow->addWidget(m_edit);
    daysRow->addWidget(m_labels[1]);
    daysRow->addStretch();

    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addWidget(m_check);
    frameLayout->addSpacing(4);
    frameLayout->addLayout(daysRow);
    frameLayout->addWidget(m_zeroDaysNote);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_butOK);
    buttons->addWidget(m_butCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    layout->addWidget(m_manualCheckNote);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    // A settings box of fixed content: nothing to gain from resizing it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_check, &QCheckBox::toggled, this, &FormOptions::enableDays);
    connect(m_butOK, &QPushButton::clicked, this, &FormOptions::okClicked);
    connect(m_butCancel, &QPushButton::clicked, this, [this] { finish(ResultCancel); });
    enableDays(m_check->isChecked());
}

void FormOptions::Init() {
    m_check->setChecked(GetUpdateCheckEnabled());
    // toggled() does not come when the state stays the same.
    enableDays(m_check->isChecked());
    m_edit->setText(QString::number(GetUpdateCheckDays()));
}

void FormOptions::enableDays(bool enabled) {
    for (QLabel* label : m_labels)
        label->setEnabled(enabled);
    m_edit->setEnabled(enabled);
}

QString FormOptions::InvalidDaysText(bool checkBoxChecked) {
    QString text = u"Please specify how often Quillmoth should contact the Tarnwick web site in "
                   u"order to see if an updated version of Quillmoth is available. (The "
                   u"recommended default value is 14 days.)"_s;
    if (!checkBoxChecked)
        text += u"\n\nThe default value of 14 days will be used. If you would like to change it, "
                u"you first will need to check the check box titled 'Automatically check for "
                u"new versions a few seconds after starting Quillmoth'."_s;
    return text;
}

void FormOptions::okClicked() {
    const QString text = m_edit->text().trimmed();
    const std::optional<int> days = text.isEmpty() ? std::nullopt : ParseLong(text);
    if (days && *days >= 0) {
        SetUpdateCheckEnabled(m_check->isChecked());
        SetUpdateCheckDays(*days);
        finish(ResultOk);
        return;
    }
    const bool checked = m_check->isChecked();
    m_messages.show(InvalidDaysText(checked), QString(), MbOk, MbExclamation);
    m_edit->setText(QString::number(DEFAULT_UPDATE_CHECK_DAYS));
    // Straight back to where the user can act: the number, or the box that
    // unlocks it.
    if (checked) {
        m_edit->setFocus(Qt::OtherFocusReason);
        m_edit->selectAll();
    } else {
        m_check->setFocus(Qt::OtherFocusReason);
    }
}

void FormOptions::finish(Result result) {
    m_dialogResult = result;
    if (result == ResultOk)
        accept();
    else
        QDialog::reject();
}

// Escape and the close box both end here, as Cancel.
void FormOptions::reject() {
    finish(ResultCancel);
}

} // namespace support
