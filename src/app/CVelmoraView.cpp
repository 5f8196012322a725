#include "CVelmoraView.h"

#include "CVelmoraDoc.h"
#include "DialogUnits.h"
#include "Forms.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"

#include <QGridLayout>
#include <QLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace velmora {

namespace {

int DluX(const QWidget* widget, int units) {
    return DialogUnitSize(widget->font(), units, 0).width();
}
int DluY(const QWidget* widget, int units) {
    return DialogUnitSize(widget->font(), 0, units).height();
}

// The activity buttons are narrow and carry long texts, which they wrap onto two lines.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    // The narrowest width from `minimum` on at which the text takes two lines at most: a
    // wider font than the form was drawn for must not push it onto a third.
    int TwoLineWidth(int minimum) const {
        const QFontMetrics metrics = fontMetrics();
        int width = minimum;
        while (
            width < metrics.horizontalAdvance(text()) + 8 &&
            metrics.boundingRect(QRect(0, 0, width - 8, 1000), Qt::TextWordWrap, text()).height() >
                2 * metrics.lineSpacing())
            width += 2;
        return width;
    }

    QSize sizeHint() const override {
        const QRect text = fontMetrics().boundingRect(
            QRect(0, 0, width() - 8, 1000), Qt::AlignCenter | Qt::TextWordWrap, this->text());
        return {QPushButton::sizeHint().width(), text.height() + 8};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        style()->drawItemText(&painter, rect().adjusted(4, 2, -4, -2),
                              Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                              QPalette::ButtonText);
    }
};

// The command form in tab order. A row holds one button, or the two activity buttons side by
// side (column 0 and 1); a column of -1 spans the row.
struct CommandButton {
    int controlId;
    const char* text;
    void (CVelmoraView::*handler)();
    int row;
    int column;
};

constexpr CommandButton kButtons[] = {
    {1000, "General Project Information", &CVelmoraView::OnGeneralInfo, 0, -1},
    {1008, "Unit Prices", &CVelmoraView::OnUnitPrices, 1, -1},
    {1011, "Asphalt  Option Construction Activities", &CVelmoraView::OnAsphaltActivities, 2, 0},
    {1012, "Compute Costs", &CVelmoraView::OnComputeCosts, 5, -1},
    {1013, "Traffic and Work Zone Information", &CVelmoraView::OnTrafficWorkZone, 3, -1},
    {1014, "Concrete  Option Construction Activities", &CVelmoraView::OnConcreteActivities, 2, 1},
    {1015, "Recurring Maintenance Activities", &CVelmoraView::OnMaintenance, 4, -1},
};

const char* const kGeneralInfoPopUp =
    "General Project Information\n\nOpens the form for the project's title and description, "
    "its length and cross-section, the speed limit, the analysis period, the discount rate, the "
    "consumer price index, and whether work zone user costs count for the initial construction "
    "and for the later stages.";

} // namespace

CVelmoraView::CVelmoraView(CVelmoraDoc& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    document_.SetView(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(DluX(this, 3));
    grid->setVerticalSpacing(DluY(this, 4));
    for (size_t k = 0; k < std::size(kButtons); ++k) {
        const CommandButton& entry = kButtons[k];
        QPushButton* button;
        if (entry.column >= 0) {
            auto* wrapping = new WrappingButton(entry.text, this);
            wrapping->setFixedWidth(wrapping->TwoLineWidth(DluX(this, 80)));
            wrapping->setMinimumHeight(std::max(DluY(this, 19), wrapping->sizeHint().height()));
            grid->addWidget(wrapping, entry.row, entry.column);
            button = wrapping;
        } else {
            button = new QPushButton(entry.text, this);
            button->setFixedWidth(DluX(this, 126));
            button->setMinimumHeight(DluY(this, 14));
            grid->addWidget(button, entry.row, 0, 1, 2, Qt::AlignHCenter);
        }
        button->setObjectName(QString("button%1").arg(entry.controlId));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, entry.handler);
        if (k > 0) setTabOrder(buttons_[k - 1], button);
        buttons_[k] = button;
    }
    QPushButton* first = Button(1000);
    first->setProperty("helpContextId", kGeneralInfoHelpId);
    first->setWhatsThis(kGeneralInfoPopUp);

    // The buttons keep the form's top-left corner, whatever the size of the window.
    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(DluX(this, 10), DluY(this, 7), DluX(this, 10), DluY(this, 7));
    outer->addLayout(grid, 0, 0);
    outer->setRowStretch(1, 1);
    outer->setColumnStretch(1, 1);
}

QPushButton* CVelmoraView::Button(int controlId) const {
    for (size_t k = 0; k < std::size(kButtons); ++k)
        if (kButtons[k].controlId == controlId) return buttons_[k];
    return nullptr;
}

QSize CVelmoraView::sizeHint() const {
    return QSize(DluX(this, 372), DluY(this, 201)).expandedTo(minimumSizeHint());
}

void CVelmoraView::Serialize(ProjectArchive& archive) {
    if (archive.storing) {
        EncodedProject encoded = EncodeProject(project_);
        if (encoded.ok())
            archive.bytes = std::move(encoded.bytes);
        else
            archive.error = QString("The field %1 holds a character that a project file cannot "
                                    "hold.")
                                .arg(QString::fromStdString(encoded.unencodableField));
        return;
    }
    const DecodeResult result = DecodeProject(archive.bytes, project_);
    if (!result.ok()) archive.error = QString::fromStdString(result.message);
}

void CVelmoraView::OnInitialUpdate() {
    QWidget* frame = window();
    if (frame == this) return;
    if (frame->layout()) frame->layout()->activate();
    // Shrink only: a window larger than the form is fitted to it, a smaller one stays.
    frame->resize(frame->size().boundedTo(frame->sizeHint()));
}

void CVelmoraView::RunEditCycle(bool (*edit)(ProjectData&, QWidget*),
                                void (ProjectData::*prepare)()) {
    const ProjectData before = project_;
    // Labels derived before a form opens stay derived when it is cancelled, without making the
    // project modified: they follow from the unit prices again next time.
    if (prepare) (project_.*prepare)();
    if (edit(project_, this) && !SameSavedFields(before, project_)) document_.SetModifiedFlag();
}

void CVelmoraView::OnGeneralInfo() {
    RunEditCycle(&EditGeneralInfo);
    // Whichever way the form closed, the switches in the record decide.
    Button(kTrafficButton)->setEnabled(project_.TrafficFormAvailable());
}

void CVelmoraView::OnUnitPrices() {
    RunEditCycle(&EditUnitPrices);
}

void CVelmoraView::OnAsphaltActivities() {
    RunEditCycle(&EditAsphaltActivities, &ProjectData::PrepareAsphaltMiscLabels);
}

void CVelmoraView::OnComputeCosts() {
    // The hand-off rewrites the inclusion flags and OK on the results form brings in the
    // treatment counts: either is a change worth saving.
    const ProjectData before = project_;
    ComputeCosts(project_, this);
    if (!SameSavedFields(before, project_)) document_.SetModifiedFlag();
}

void CVelmoraView::OnTrafficWorkZone() {
    RunEditCycle(&EditTrafficWorkZone);
}

void CVelmoraView::OnConcreteActivities() {
    RunEditCycle(&EditConcreteActivities, &ProjectData::PrepareConcreteMiscLabels);
}

void CVelmoraView::OnMaintenance() {
    RunEditCycle(&EditMaintenance);
}

void CVelmoraView::OnFilePrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() == QDialog::Accepted) PrintProject(printer, project_);
}

} // namespace velmora
