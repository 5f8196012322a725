#include "CComputedCostsDlg.h"

#include "DialogUnits.h"
#include "FileDialog.h"
#include "FormNumbers.h"
#include "Help.h"
#include "MessageBox.h"
#include "SaveFile.h"
#include "report/Report.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <ctime>

namespace velmora {
namespace {

const char* const kExportCaption = "Export LCCA";

// The four stages and the subtotal of an option share one layout, and the ids run in the order
// in which ForEachCostResult lists the results: agency, user delay, maintenance, total.
struct OptionLayout {
    const char* title;
    std::array<const char*, 4> stages;
    std::array<int, 5> agency;  // stages 0 to 3, then the subtotal
    std::array<int, 5> user;    // likewise
    std::array<int, 5> overlay; // the "Excluded" text over each user delay field
    int maintenance;
    int total;
};

constexpr std::array<OptionLayout, 2> kOptions{{
    {"ASPHALT OPTION:  NET PRESENT VALUE, $/ MILE, CURRENT DOLLARS",
     {"Initial Construction", "1st Overlay", "2nd Overlay", "3rd Overlay"},
     {1013, 1015, 1016, 1017, 1018},
     {1019, 1024, 1025, 1026, 1023},
     {1068, 1070, 1071, 1072, 1073},
     1035,
     1014},
    {"CONCRETE OPTION:  NET PRESENT VALUE, $/ MILE, CURRENT DOLLARS",
     {"Initial Construction", "1st Rehabilitation", "2nd Rehabilitation", "3rd Rehabilitation"},
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

CComputedCostsDlg::CComputedCostsDlg(const ProjectData& project, QWidget* parent)
    : QDialog(parent), project_(project) {
    setWindowTitle(QStringLiteral("Computed Costs (F1=Full Help)"));
    // The form's controls carry no pop-up help; 0 keeps Shift+F1 from finding the command
    // form's help behind it.
    SetHelpContext(this, 0, {});
    InstallHelpKeys(this, QStringLiteral("computed-costs"));

    auto* exportAll = new QPushButton(QStringLiteral("Export All Data"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    connect(exportAll, &QPushButton::clicked, this, &CComputedCostsDlg::OnExportAllData);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    controls_.insert(kExportAllData, exportAll);
    controls_.insert(1, ok);
    controls_.insert(2, cancel);

    auto* options = new QHBoxLayout;
    for (int option = 0; option < 2; ++option) options->addWidget(BuildOption(option));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(exportAll);
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
    then(ok);
    then(cancel);
    for (int i = 0; i < 24; ++i) then(Control(ResultId(i)));
    exportAll->setFocus();
    // As wide as the form was drawn; as high as its rows need.
    resize(QSize(DialogUnitSize(font(), 625, 273).width(), 0).expandedTo(sizeHint()));
}

QWidget* CComputedCostsDlg::BuildOption(int option) {
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
        label(QString::fromLatin1(k < 4 ? layout.stages[k] : "Subtotal"), row, kLabels);
        result(layout.agency[k], row, kAgency);
        result(layout.user[k], row, kUser);
        QLabel* overlay = label(QString(), row, kUser, 1, Qt::AlignHCenter);
        overlay->hide();
        controls_.insert(layout.overlay[k], overlay);
    }
    label(QStringLiteral("Recurring Maintenance"), kMaintenance, kLabels);
    result(layout.maintenance, kMaintenance, kAgency);
    QLabel* total = label(QStringLiteral("TOTAL COST, NET PRESENT VALUE ($/MILE) = "), kTotal,
                          kLabels, 3, Qt::AlignRight);
    total->setWordWrap(true);
    result(layout.total, kTotal, kAgencyRight, kUserRight - kAgencyRight + 1);
    return box;
}

void CComputedCostsDlg::OnInitDialog() {
    ShowExclusion();
    run_ = RunAnalysisOnCopy(project_);
    for (const OptionRun& option : run_.option)
        if (option.gridlock) ShowMessage(this, kGridlockText, kGridlockCaption, QMessageBox::Warning);
    ShowResults();
}

void CComputedCostsDlg::ShowExclusion() {
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

void CComputedCostsDlg::ShowResults() {
    int i = 0;
    ForEachCostResult(run_.results, [&](const std::string&, double value) {
        static_cast<QLineEdit*>(Control(ResultId(i++)))->setText(FormatDouble(value));
    });
}

void CComputedCostsDlg::OnExportAllData() {
    FileDialogRequest request;
    request.save = true;
    request.initialName = QStringLiteral("*.xls");
    request.filter = QStringLiteral("Excel Files (*.xls);;All Files (*)");
    // The name is taken as typed: a name without an extension gets none.
    const QString path = AskFileName(this, request);
    if (path.isEmpty()) return;

    const Report report = BuildReport(project_, run_.results, std::time(nullptr));
    const QString reason =
        report.ok() ? SaveBytes(path, report.bytes)
                    : QStringLiteral("The field %1 holds a character that a report cannot hold.")
                          .arg(QString::fromStdString(report.unencodableField));
    if (!reason.isEmpty()) {
        ShowMessage(
            this,
            QStringLiteral("Cannot export to %1.\n%2").arg(QDir::toNativeSeparators(path), reason),
            kExportCaption, QMessageBox::Warning);
        return;
    }
    ShowMessage(this,
                QStringLiteral("Your life cycle cost analysis has been successfully exported."),
                kExportCaption, QMessageBox::Information);
}

} // namespace velmora
