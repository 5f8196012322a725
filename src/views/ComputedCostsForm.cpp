#include "views/ComputedCostsForm.h"

#include "views/CostChartsForm.h"
#include "views/ProjectExport.h"
#include "views/WorkZonePlannerWindow.h"

#include "gui/DialogUnits.h"
#include "gui/FileDialog.h"
#include "gui/FormNumbers.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "gui/SaveBytes.h"
#include "model/SavedFields.h"
#include "report/Report.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <ctime>
#include <filesystem>

namespace velmora {
namespace {

const char* const kExportCaption = "Export LCCA";

// The four stages and the subtotal of an option share one layout, and the ids run in the order
// in which ForEachCostResult lists the results: agency, user delay, maintenance, total.
struct OptionLayout {
    const char* title;
    std::array<int, 5> agency;  // stages 0 to 3, then the subtotal
    std::array<int, 5> user;    // likewise
    std::array<int, 5> overlay; // the "Excluded" text over each user delay field
    int maintenance;
    int total;
};

constexpr std::array<OptionLayout, 2> kOptions{{
    {"ASPHALT OPTION:  NET PRESENT VALUE, $/ MILE, CURRENT DOLLARS",
     {1013, 1015, 1016, 1017, 1018},
     {1019, 1024, 1025, 1026, 1023},
     {1068, 1070, 1071, 1072, 1073},
     1035,
     1014},
    {"CONCRETE OPTION:  NET PRESENT VALUE, $/ MILE, CURRENT DOLLARS",
     {1020, 1021, 1022, 1027, 1028},
     {1029, 1031, 1032, 1033, 1030},
     {1076, 1077, 1078, 1079, 1080},
     1036,
     1034},
}};

// The edit of the i-th result in ForEachCostResult's order.
int ResultId(int i) {
    const OptionLayout& option = kOptions[i / 12];
    const int j = i % 12;
    if (j < 5) return option.agency[j];
    if (j < 10) return option.user[j - 5];
    return j == 10 ? option.maintenance : option.total;
}

// Columns of an option's grid: the row labels, then the Agency and the User Delay boxes, each a
// frame column on both sides of its fields.
enum Column { kLabels, kAgencyLeft, kAgency, kAgencyRight, kGap, kUserLeft, kUser, kUserRight };
// Rows: the boxes' titles, the four stages and the subtotal, the boxes' bottom edge, then
// maintenance and the total below the boxes.
enum Row { kBoxTitle, kFirstStage, kBoxBottom = kFirstStage + 5, kMaintenance, kTotal };

} // namespace

ComputedCostsForm::ComputedCostsForm(const ProjectData& project, QWidget* parent,
                                     const QString& projectFile,
                                     std::shared_ptr<const risk::RiskAnalysis> risk)
    : QDialog(parent), project_(project), projectFile_(projectFile), risk_(std::move(risk)) {
    setWindowTitle(QStringLiteral("Computed Costs (F1=Full Help)"));
    // The form's controls carry no pop-up help; 0 keeps Shift+F1 from finding the command
    // form's help behind it.
    SetHelpContext(this, 0, {});
    InstallHelpKeys(this, QStringLiteral("computed-costs"));

    auto* exportAll = new QPushButton(QStringLiteral("Export All Data"), this);
    auto* charts = new QPushButton(QStringLiteral("Charts..."), this);
    auto* exportWorkbook = new QPushButton(QStringLiteral("Export Workbook..."), this);
    auto* planner = new QPushButton(QStringLiteral("Work Zone Planner..."), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    connect(exportAll, &QPushButton::clicked, this, &ComputedCostsForm::OnExportAllData);
    connect(charts, &QPushButton::clicked, this, &ComputedCostsForm::OnCharts);
    connect(exportWorkbook, &QPushButton::clicked, this, &ComputedCostsForm::OnExportWorkbook);
    connect(planner, &QPushButton::clicked, this, &ComputedCostsForm::OnWorkZonePlanner);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    controls_.insert(kExportAllData, exportAll);
    controls_.insert(kCharts, charts);
    controls_.insert(kExportWorkbook, exportWorkbook);
    controls_.insert(kWorkZonePlanner, planner);
    controls_.insert(1, ok);
    controls_.insert(2, cancel);

    auto* options = new QHBoxLayout;
    for (int option = 0; option < 2; ++option) options->addWidget(BuildOption(option));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(exportAll);
    buttons->addWidget(charts);
    buttons->addWidget(exportWorkbook);
    buttons->addWidget(planner);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* form = new QVBoxLayout(this);
    form->addLayout(options, 1);
    form->addSpacing(fontMetrics().height() / 2);
    form->addLayout(buttons);

    // The focus starts on "Export All Data" and walks the buttons before the results.
    QWidget* previous = exportAll;
    const auto then = [&](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    then(charts);
    then(exportWorkbook);
    then(planner);
    then(ok);
    then(cancel);
    for (int i = 0; i < 24; ++i) then(Control(ResultId(i)));
    exportAll->setFocus();
    // As wide as the form was drawn; as high as its rows need.
    resize(FormSize(*this, 625, 0));
}

QWidget* ComputedCostsForm::BuildOption(int option) {
    const OptionLayout& layout = kOptions[option];
    auto* box = new QGroupBox(QString::fromLatin1(layout.title), this);
    auto* grid = new QGridLayout(box);
    const QFontMetrics metrics(font());
    const int frame = metrics.averageCharWidth();
    grid->setHorizontalSpacing(0);
    for (int column : {kAgencyLeft, kAgencyRight, kUserLeft, kUserRight})
        grid->setColumnMinimumWidth(column, frame);
    grid->setColumnMinimumWidth(kGap, 2 * frame);
    grid->setRowMinimumHeight(kBoxTitle, metrics.height());
    grid->setRowMinimumHeight(kBoxBottom, metrics.height() / 2);
    // The rows stand apart as on a printed table, so that the eye keeps to one row.
    grid->setVerticalSpacing(metrics.height() * 2 / 3);

    // The two boxes go in first, so that the fields laid over them are drawn on top.
    for (const auto& [title, column] :
         {std::pair{"Agency", kAgencyLeft}, {"User Delay", kUserLeft}})
        grid->addWidget(new QGroupBox(QString::fromLatin1(title), box), kBoxTitle, column,
                        kBoxBottom - kBoxTitle + 1, 3);

    const auto result = [&](int id, int row, int column, int columnSpan = 1) {
        auto* edit = new QLineEdit(box);
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setMinimumWidth(12 * metrics.horizontalAdvance(QLatin1Char('0')));
        // Hidden under "Excluded", a field keeps its room so that the form does not shift.
        QSizePolicy policy = edit->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        edit->setSizePolicy(policy);
        grid->addWidget(edit, row, column, 1, columnSpan);
        controls_.insert(id, edit);
    };
    const auto label = [&](const QString& text, int row, int column, int columnSpan = 1,
                           Qt::Alignment alignment = Qt::AlignLeft) {
        auto* l = new QLabel(text, box);
        l->setAlignment(alignment | Qt::AlignVCenter);
        grid->addWidget(l, row, column, 1, columnSpan);
        return l;
    };

    for (int k = 0; k < 5; ++k) {
        const int row = kFirstStage + k;
        label(QString::fromLatin1(k < 4 ? PavementOption::kStageNames[option][k] : "Subtotal"), row,
              kLabels);
        result(layout.agency[k], row, kAgency);
        result(layout.user[k], row, kUser);
        QLabel* overlay = label(QString(), row, kUser, 1, Qt::AlignHCenter);
        overlay->hide();
        controls_.insert(layout.overlay[k], overlay);
    }
    label(QStringLiteral("Recurring Maintenance"), kMaintenance, kLabels);
    result(layout.maintenance, kMaintenance, kAgency);
    label(QStringLiteral("TOTAL COST, NET PRESENT VALUE ($/MILE) = "), kTotal, kLabels, 3,
          Qt::AlignRight);
    result(layout.total, kTotal, kAgencyRight, kUserRight - kAgencyRight + 1);
    return box;
}

void ComputedCostsForm::RunAnalysis() {
    ShowExclusion();
    run_ = RunAnalysisOnCopy(project_);
    // The form is not on the screen yet: the message goes over the window that asked for the
    // run.
    for (const OptionRun& option : run_.option)
        if (option.gridlock)
            ShowMessage(parentWidget(), kGridlockText, kGridlockCaption, QMessageBox::Warning);
    ShowResults();
}

void ComputedCostsForm::ShowExclusion() {
    // Only Include counts a stage, as in the analysis and the report: a switch holding anything
    // else, which only a damaged file brings, excludes. The subtotal is "Excluded" when no stage
    // of the option can count.
    const auto excluded = [this](int k) {
        if (k == 4) return !UserCostsIncluded(project_);
        return project_.StageInclusion(k) != WzInclusion::Include;
    };
    for (const OptionLayout& layout : kOptions) {
        for (int k = 0; k < 5; ++k) {
            auto* overlay = static_cast<QLabel*>(Control(layout.overlay[k]));
            overlay->setText(excluded(k) ? QStringLiteral("Excluded") : QString());
            overlay->setVisible(excluded(k));
            Control(layout.user[k])->setVisible(!excluded(k));
        }
    }
}

void ComputedCostsForm::ShowResults() {
    int i = 0;
    ForEachCostResult(run_.results, [&](const std::string&, double value) {
        auto* edit = static_cast<QLineEdit*>(Control(ResultId(i++)));
        edit->setText(FormatDouble(value));
        edit->setCursorPosition(0);
    });
}

void ComputedCostsForm::OnCharts() {
    CostChartsForm charts(project_, run_, this);
    charts.exec();
}

void ComputedCostsForm::OnExportAllData() {
    FileDialogRequest request;
    request.save = true;
    request.initialName = QStringLiteral("*.xls");
    request.filter = QStringLiteral("Excel Files (*.xls);;All Files (*)");
    // The name is taken as typed: a name without an extension gets none.
    const QString path = AskFileName(this, request);
    if (path.isEmpty()) return;
    const auto refuse = [&](const QString& reason) {
        ExportWritten(this, kExportCaption, path, reason);
    };
    const Report report = BuildReport(project_, run_.results, std::time(nullptr));
    if (!report.ok())
        return refuse(QStringLiteral("The field %1 holds a character that a report cannot hold.")
                          .arg(QString::fromStdString(report.unencodableField)));
    if (SameFile(path, projectFile_))
        return refuse(QStringLiteral("It is the file of the open project, which the report would "
                                     "replace. Please choose another name."));
    if (!MayReplace(this, path, kExportCaption)) return;
    if (const QString reason = SaveBytes(path, report.bytes); !reason.isEmpty())
        return refuse(reason);
    ShowMessage(this,
                QStringLiteral("Your life cycle cost analysis has been successfully exported."),
                kExportCaption, QMessageBox::Information);
}

void ComputedCostsForm::OnExportWorkbook() {
    WorkbookContent content;
    content.project = &project_;
    content.run = &run_;
    content.risk = risk_.get();
    content.time = std::time(nullptr);
    ExportWorkbook(this, content, projectFile_);
}

void ComputedCostsForm::OnWorkZonePlanner() {
    ProjectData edited = project_;
    if (!EditWorkZonePlanner(edited, this) || SameSavedFields(edited, project_)) return;
    CopyPlannerEdits(edited, project_);
    planned_ = true;
    run_ = RunAnalysisOnCopy(project_);
    ShowResults();
}

bool PrepareOrRefuse(ProjectData& project, QWidget* parent) {
    const HandOff handOff = PrepareAnalysis(project);
    if (!handOff.ok())
        ShowMessage(parent, QString::fromStdString(handOff.refusal.text),
                    QString::fromStdString(handOff.refusal.caption), QMessageBox::Warning);
    return handOff.ok();
}

void ComputeCosts(ProjectData& project, QWidget* parent, const QString& projectFile,
                  std::shared_ptr<const risk::RiskAnalysis> risk) {
    if (!PrepareOrRefuse(project, parent)) return;
    ComputedCostsForm form(project, parent, projectFile, std::move(risk));
    form.RunAnalysis();
    // The run changes nothing in the project but the treatment counts, and those only on OK; an
    // accepted Work Zone Planner brings its own edits.
    if (form.exec() == QDialog::Accepted) ApplyTreatmentCounts(form.Run(), project);
    if (form.Planned()) CopyPlannerEdits(form.Project(), project);
}

} // namespace velmora
