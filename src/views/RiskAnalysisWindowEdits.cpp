// The Risk Analysis window's edits: definitions shown in the tables, entries checked as they
// are left, inputs and correlated pairs added and removed.
#include "views/RiskAnalysisWindow.h"

#include "forms/InputLabels.h"
#include "gui/FormNumbers.h"
#include "gui/MessageBox.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/TypicalUncertainties.h"
#include "views/RiskCorrelationsModel.h"
#include "views/RiskResultsView.h"
#include "views/RiskWindowCells.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace velmora {

using namespace riskwindow;

namespace {

// The rows selected in `table`, last first, so that erasing one keeps the others' places.
std::vector<int> SelectedRowsLastFirst(const QTableView* table) {
    std::vector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows, std::greater{});
    return rows;
}

} // namespace

void RiskAnalysisWindow::Show(const RiskDefinitions& d) {
    const QSignalBlocker blockPrecision(usePrecision_), blockSampling(sampling_);
    iterations_->setText(QString::number(d.iterations));
    usePrecision_->setChecked(d.precision.has_value());
    precision_->setText(d.precision ? FormatDouble(*d.precision) : QString());
    maxIterations_->setText(d.maxIterations ? QString::number(*d.maxIterations) : QString());
    precision_->setEnabled(d.precision.has_value());
    maxIterations_->setEnabled(d.precision.has_value());
    iterations_->setEnabled(!d.precision);
    seed_->setText(QString::number(d.seed));
    sampling_->setCurrentIndex(d.sampling == risk::Sampling::LatinHypercube ? 0 : 1);
    inputsModel_->Show(d.inputs);
    pairsModel_->Show(d.correlations, d.inputs);
    // Only the parameters some input takes have a column, which leaves the labels room.
    for (int column = Min; column <= Probabilities; ++column)
        inputs_->setColumnHidden(column, std::ranges::none_of(d.inputs, [&](const auto& in) {
                                     return Takes(in.distribution, column);
                                 }));
    FitInputColumn();
    MarkResults();
}

RiskAnalysisWindow::Collected RiskAnalysisWindow::Collect() const {
    Collected c;
    RiskDefinitions& d = c.definitions;
    d = accepted_;
    const auto fail = [&](QLineEdit* where, std::string_view key) {
        if (c.error.isEmpty())
            c.error = NotANumber(QString::fromStdString(Names().Setting(key)), where->text()),
            c.where = where;
    };
    if (const auto n = ParseWhole<std::int64_t>(iterations_->text()))
        d.iterations = *n;
    else
        fail(iterations_, "iterations");
    if (const auto n = ParseWhole<std::uint64_t>(seed_->text()))
        d.seed = *n;
    else
        fail(seed_, "seed");
    d.sampling = sampling_->currentIndex() == 0 ? risk::Sampling::LatinHypercube
                                                : risk::Sampling::MonteCarlo;
    d.precision.reset();
    d.maxIterations.reset();
    if (usePrecision_->isChecked()) {
        if (const auto p = ParseDouble(precision_->text()))
            d.precision = *p;
        else
            fail(precision_, "precision");
        if (!maxIterations_->text().trimmed().isEmpty()) {
            if (const auto n = ParseWhole<std::int64_t>(maxIterations_->text()))
                d.maxIterations = *n;
            else
                fail(maxIterations_, "maxIterations");
        }
    }
    return c;
}

bool RiskAnalysisWindow::CheckSettings(QWidget* where) {
    if (checking_) return true;
    const Collected c = Collect();
    if (!c.error.isEmpty()) {
        Refuse(c.error, c.where, -1, -1);
        return false;
    }
    return Keep(c.definitions, where);
}

void RiskAnalysisWindow::UsePrecision(bool use) {
    if (use) {
        // A start that a run can meet: a thousand dollars a mile, within a million iterations.
        if (precision_->text().trimmed().isEmpty()) precision_->setText(QStringLiteral("1000"));
        if (maxIterations_->text().trimmed().isEmpty())
            maxIterations_->setText(QStringLiteral("1000000"));
    }
    if (CheckSettings(usePrecision_) && use) {
        precision_->setFocus(Qt::TabFocusReason);
        precision_->selectAll();
    }
}

void RiskAnalysisWindow::Refuse(const QString& message, QWidget* where, int row, int column) {
    if (checking_) return;
    ++refusals_;
    checking_ = true;
    ShowMessage(this, message, QString::fromLatin1(kCaption), QMessageBox::Warning);
    Show(accepted_);
    if (auto* table = qobject_cast<QTableView*>(where); table && row >= 0) {
        table->setCurrentIndex(table->model()->index(row, std::max(column, 0)));
    } else if (auto* edit = qobject_cast<QLineEdit*>(where)) {
        edit->selectAll();
    }
    if (where) where->setFocus(Qt::OtherFocusReason);
    checking_ = false;
}

bool RiskAnalysisWindow::Keep(const RiskDefinitions& d, QWidget* where, int row, int column) {
    if (checking_) return false;
    // The same path as definitions imported from a file: written, read back and checked.
    const risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(risk::RiskDefinitionsText(d));
    const std::string error =
        parsed.ok() ? risk::CheckRiskDefinitions(parsed.definitions, project_, Names()).error
                    : parsed.error;
    if (!error.empty()) {
        Refuse(QString::fromStdString(error), where, row, column);
        return false;
    }
    accepted_ = d;
    Show(accepted_);
    return true;
}

bool RiskAnalysisWindow::CommitEntries() {
    // An entry still open in a table's cell is taken as if the cell had been left.
    const int refusals = refusals_;
    for (QTableView* table : {inputs_, correlations_})
        if (QWidget* editor = table->indexWidget(table->currentIndex())) {
            QMetaObject::invokeMethod(table, "commitData", Q_ARG(QWidget*, editor));
            QMetaObject::invokeMethod(
                table, "closeEditor", Q_ARG(QWidget*, editor),
                Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
        }
    return refusals_ == refusals && CheckSettings(focusWidget());
}

void RiskAnalysisWindow::AddInputs(const std::vector<std::string>& fields) {
    RiskDefinitions d = accepted_;
    for (const std::string& field : fields)
        if (std::ranges::find(d.inputs, field, &UncertainInput::field) == d.inputs.end())
            d.inputs.push_back(StartingInput(field, project_));
    Keep(d, inputs_, int(d.inputs.size()) - 1, Input);
}

void RiskAnalysisWindow::PickInputs() {
    QDialog picker(this);
    picker.setWindowTitle(QStringLiteral("Add Uncertain Inputs"));
    auto* filter = new QLineEdit;
    filter->setObjectName(QStringLiteral("filter"));
    filter->setPlaceholderText(QStringLiteral("Type part of a name to filter the list"));
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const InputLabel& in : UncertainInputLabels()) {
        if (std::ranges::find(accepted_.inputs, in.field, &UncertainInput::field) !=
            accepted_.inputs.end())
            continue;
        auto* item = new QListWidgetItem(in.label);
        item->setData(Qt::UserRole, QString::fromStdString(in.field));
        list->addItem(item);
    }
    connect(filter, &QLineEdit::textChanged, list, [list](const QString& text) {
        for (int k = 0; k < list->count(); ++k)
            list->item(k)->setHidden(!list->item(k)->text().contains(text, Qt::CaseInsensitive));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &picker, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &picker, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &picker, &QDialog::accept);
    auto* layout = new QVBoxLayout(&picker);
    layout->addWidget(filter);
    layout->addWidget(list);
    layout->addWidget(buttons);
    picker.resize(620, 480);
    if (picker.exec() != QDialog::Accepted) return;
    std::vector<std::string> fields;
    for (QListWidgetItem* item : list->selectedItems())
        if (!item->isHidden()) fields.push_back(item->data(Qt::UserRole).toString().toStdString());
    if (!fields.empty()) AddInputs(fields);
}

void RiskAnalysisWindow::RemoveInputs() {
    RiskDefinitions d = accepted_;
    for (int r : SelectedRowsLastFirst(inputs_)) {
        const std::string field = d.inputs[r].field;
        d.inputs.erase(d.inputs.begin() + r);
        std::erase_if(d.correlations, [&](const risk::RankCorrelation& c) {
            return c.first == field || c.second == field;
        });
    }
    accepted_ = d;
    Show(accepted_);
}

void RiskAnalysisWindow::ApplyTypicalUncertainties() {
    // The typical set has no correlations: those the definitions have are named as going.
    const QString pairs =
        accepted_.correlations.empty()
            ? QStringLiteral(" with the typical set?")
            : QStringLiteral(" and their %1 correlations with the typical set? The typical set "
                             "has no correlations.")
                  .arg(accepted_.correlations.size());
    if (!accepted_.inputs.empty() &&
        ShowMessage(this,
                    QStringLiteral("Replace the %1 uncertain inputs").arg(accepted_.inputs.size()) +
                        pairs,
                    QString::fromLatin1(kCaption), QMessageBox::Question,
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    Keep(risk::TypicalUncertainties(project_, accepted_), inputs_, 0, Input);
}

void RiskAnalysisWindow::AddPair() {
    RiskDefinitions d = accepted_;
    const auto paired = [&](const std::string& a, const std::string& b) {
        return std::ranges::any_of(d.correlations, [&](const risk::RankCorrelation& c) {
            return (c.first == a && c.second == b) || (c.first == b && c.second == a);
        });
    };
    for (std::size_t i = 0; i < d.inputs.size(); ++i)
        for (std::size_t j = i + 1; j < d.inputs.size(); ++j)
            if (!paired(d.inputs[i].field, d.inputs[j].field)) {
                d.correlations.push_back({d.inputs[i].field, d.inputs[j].field, 0.5});
                const int row = int(d.correlations.size()) - 1;
                if (Keep(d, correlations_, row, 2))
                    correlations_->setCurrentIndex(pairsModel_->index(row, 2));
                return;
            }
    ShowMessage(this,
                QStringLiteral("Every pair of uncertain inputs is correlated already; add "
                               "inputs first."),
                QString::fromLatin1(kCaption), QMessageBox::Information);
}

void RiskAnalysisWindow::RemovePair() {
    for (int r : SelectedRowsLastFirst(correlations_))
        accepted_.correlations.erase(accepted_.correlations.begin() + r);
    Show(accepted_);
}

} // namespace velmora
