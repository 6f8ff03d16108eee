#include "artwork/WizardForm.h"

#include "mainwindow/Uc3dLine.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Return is the default button's key wherever the focus is.
    button->setAutoDefault(false);
    button->setMinimumWidth(88);
    return button;
}

} // namespace

WizardForm::WizardForm(const QString& title, const QString& backCaption, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    m_labStepDesc = new QLabel(this);
    m_labStepDesc->setObjectName(u"LabStepDesc"_s);
    QFont bold = m_labStepDesc->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_labStepDesc->setFont(bold);
    layout->addWidget(m_labStepDesc);
    m_line = new mainwindow::Uc3dLine(this);
    m_line->setObjectName(u"Uc3dLine1"_s);
    layout->addWidget(m_line);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(u"ShapeMain"_s);
    layout->addWidget(m_pages, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_butBack = makeButton(backCaption, u"ButBack"_s, this);
    m_butNext = makeButton(u"&Next  >"_s, u"ButNext"_s, this);
    m_butCancel = makeButton(u"Cancel"_s, u"ButCancel"_s, this);
    m_butNext->setDefault(true);
    buttons->addWidget(m_butBack);
    buttons->addWidget(m_butNext);
    buttons->addSpacing(12);
    buttons->addWidget(m_butCancel);
    layout->addLayout(buttons);

    connect(m_butNext, &QPushButton::clicked, this, &WizardForm::next);
    connect(m_butBack, &QPushButton::clicked, this, &WizardForm::back);
    connect(m_butCancel, &QPushButton::clicked, this, [this] { finish(ResultCancel); });
}

int WizardForm::stepCount() const {
    return m_pages->count();
}

QWidget* WizardForm::PicStep(int step) const {
    return step >= 1 && step <= m_pages->count() ? m_pages->widget(step - 1) : nullptr;
}

QString WizardForm::StepCaption(int step) {
    switch (step) {
    case 1:
        return u"Step 1: Welcome"_s;
    case 2:
        return u"Step 2: Options"_s;
    case 3:
        return u"Step 3: Ready"_s;
    default:
        return u"Step ?"_s;
    }
}

QWidget* WizardForm::addStep() {
    auto* page = new QWidget(m_pages);
    page->setObjectName(u"PicStep%1"_s.arg(m_pages->count() + 1));
    m_pages->addWidget(page);
    return page;
}

void WizardForm::ShowStep(int step) {
    if (!PicStep(step))
        return;
    m_step = step;
    m_pages->setCurrentIndex(step - 1);
    updateButtons();
    QWidget* focus = focusForStep(step);
    if (!focus)
        focus = m_butNext->isEnabled() ? static_cast<QWidget*>(m_butNext) : m_butCancel;
    focus->setFocus(Qt::OtherFocusReason);
}

void WizardForm::updateButtons() {
    updateStepControls();
    const bool last = m_step == stepCount();
    m_butBack->setEnabled(m_step >= 2);
    m_butBack->setVisible(stepCount() > 1);
    m_butNext->setText(last ? u"&Go!"_s : u"&Next  >"_s);
    m_butNext->setEnabled(nextAllowed());
    m_labStepDesc->setText(StepCaption(m_step));
}

void WizardForm::next() {
    if (!nextAllowed())
        return;
    if (m_step == stepCount()) {
        finishChoices();
        finish(ResultGo);
        return;
    }
    ShowStep(m_step + 1);
}

void WizardForm::back() {
    if (m_step > 1)
        ShowStep(m_step - 1);
}

void WizardForm::finish(int32_t result) {
    m_result = result;
    // Hidden, not destroyed: the opener reads the choices afterwards.
    if (result == ResultGo)
        accept();
    else
        QDialog::reject();
}

// Esc is the Cancel button's key.
void WizardForm::reject() {
    finish(ResultCancel);
}

void WizardForm::closeEvent(QCloseEvent* event) {
    // The close box is refused: a wizard ends through Go! or Cancel.
    event->ignore();
}

} // namespace artwork
