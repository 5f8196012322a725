// The Risk Analysis window's tables: definitions shown in them, entries read back and checked,
// inputs and correlated pairs added and removed.
#include "forms/RiskAnalysisWindow.h"

#include "forms/FormLayout.h"
#include "forms/InputLabels.h"
#include "forms/RiskResultsView.h"
#include "forms/RiskWindowCells.h"
#include "gui/FormNumbers.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "model/SavedFields.h"
#include "risk/Distribution.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/RiskMemory.h"
#include "risk/TypicalUncertainties.h"
#include "risk/UncertainFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace velmora {

using namespace riskwindow;

void RiskAnalysisWindow::Show(const RiskDefinitions& d) {
    const QSignalBlocker blockInputs(inputs_), blockPairs(correlations_);
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

    inputs_->setRowCount(int(d.inputs.size()));
    for (int r = 0; r < int(d.inputs.size()); ++r) ShowInputRow(r, d.inputs[r]);
    correlations_->setRowCount(int(d.correlations.size()));
    for (int r = 0; r < int(d.correlations.size()); ++r) ShowCorrelationRow(r, d.correlations[r]);
}

void RiskAnalysisWindow::ShowInputRow(int row, const UncertainInput& in) {
    const QSignalBlocker block(inputs_);
    const std::optional<risk::FieldInfo> info = risk::LookUpField(in.field);
    const double value = ProjectValue(project_, in.field);
    const auto fixed = [&](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        inputs_->setItem(row, column, item);
        return item;
    };
    QTableWidgetItem* name = fixed(Input, LabelOfInput(in.field));
    name->setToolTip(QString::fromStdString(in.field));
    name->setData(Qt::UserRole, QString::fromStdString(in.field));
    fixed(Value, FormatDouble(value))->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* kind = new QComboBox;
    for (const char* k : kKinds) kind->addItem(QString::fromLatin1(k));
    kind->setCurrentIndex(int(in.distribution));
    kind->setFocusPolicy(Qt::StrongFocus);
    connect(kind, &QComboBox::currentIndexChanged, this, [this, kind](int k) {
        for (int r = 0; r < inputs_->rowCount(); ++r)
            if (inputs_->cellWidget(r, Kind) == kind) ChangeKind(r, k);
    });
    SetCellWidget(inputs_, row, Kind, kind);

    auto* relative = fixed(Relative, {});
    relative->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    relative->setCheckState(in.relative ? Qt::Checked : Qt::Unchecked);

    UncertainInput copy = in;
    for (int c = Min; c <= Probabilities; ++c) {
        QString text;
        if (std::optional<double>* p = Parameter(copy, c); p && *p)
            text = FormatDouble(**p);
        else if (c == Values)
            text = List(in.values);
        else if (c == Probabilities)
            text = List(in.probabilities);
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (!Takes(in.distribution, c)) {
            item->setFlags(Qt::ItemIsSelectable);
            item->setText({});
            item->setBackground(palette().color(QPalette::Window));
        } else if (Optional(in.distribution, c)) {
            item->setToolTip(QStringLiteral("Optional: empty leaves the tail uncut."));
        }
        inputs_->setItem(row, c, item);
    }
    if (info)
        inputs_->setCellWidget(
            row, Curve, NewDensityCurve(in, value, info->kind != risk::FieldInfo::Kind::Number));
}

void RiskAnalysisWindow::ShowCorrelationRow(int row, const risk::RankCorrelation& c) {
    const QSignalBlocker block(correlations_);
    for (int k = 0; k < 2; ++k) {
        auto* list = new QComboBox;
        list->setFocusPolicy(Qt::StrongFocus);
        for (int r = 0; r < inputs_->rowCount(); ++r) {
            const QString field = inputs_->item(r, Input)->data(Qt::UserRole).toString();
            list->addItem(inputs_->item(r, Input)->text(), field);
        }
        list->setCurrentIndex(list->findData(QString::fromStdString(k == 0 ? c.first : c.second)));
        connect(list, &QComboBox::currentIndexChanged, this, [this, list] { CheckEntries(list); });
        SetCellWidget(correlations_, row, k, list);
    }
    auto* rank = new QTableWidgetItem(FormatDouble(c.rank));
    rank->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    correlations_->setItem(row, 2, rank);
}

RiskAnalysisWindow::Collected RiskAnalysisWindow::Collect() const {
    Collected c;
    RiskDefinitions& d = c.definitions;
    const auto fail = [&](QWidget* where, const QString& text, int row = -1, int column = -1) {
        if (c.error.isEmpty()) c.error = text, c.where = where, c.row = row, c.column = column;
    };
    const auto notNumber = [](const QString& what, const QString& text) {
        return QStringLiteral("%1: \"%2\" is not a number").arg(what, text.trimmed());
    };
    if (const auto n = ParseWhole<std::int64_t>(iterations_->text()))
        d.iterations = *n;
    else
        fail(iterations_, notNumber(QStringLiteral("iterations"), iterations_->text()));
    if (const auto n = ParseWhole<std::uint64_t>(seed_->text()))
        d.seed = *n;
    else
        fail(seed_, notNumber(QStringLiteral("seed"), seed_->text()));
    d.sampling = sampling_->currentIndex() == 0 ? risk::Sampling::LatinHypercube
                                                : risk::Sampling::MonteCarlo;
    if (usePrecision_->isChecked()) {
        if (const auto p = ParseDouble(precision_->text()))
            d.precision = *p;
        else
            fail(precision_, notNumber(QStringLiteral("precision"), precision_->text()));
        if (!maxIterations_->text().trimmed().isEmpty()) {
            if (const auto n = ParseWhole<std::int64_t>(maxIterations_->text()))
                d.maxIterations = *n;
            else
                fail(maxIterations_,
                     notNumber(QStringLiteral("maxIterations"), maxIterations_->text()));
        }
    }

    for (int r = 0; r < inputs_->rowCount(); ++r) {
        UncertainInput in;
        in.field = inputs_->item(r, Input)->data(Qt::UserRole).toString().toStdString();
        in.distribution =
            DistributionKind(static_cast<QComboBox*>(inputs_->cellWidget(r, Kind))->currentIndex());
        in.relative = inputs_->item(r, Relative)->checkState() == Qt::Checked;
        const QString entry = QString::fromStdString(risk::EntryName("inputs", r, in.field));
        for (int col = Min; col <= Probabilities; ++col) {
            if (!Takes(in.distribution, col)) continue;
            const QString text = inputs_->item(r, col)->text();
            const QString what = entry + ' ' + QString::fromLatin1(kColumnTitles[col]).toLower();
            if (col == Values || col == Probabilities) {
                const auto list = ParseList(text);
                if (!list) fail(inputs_, notNumber(what, text), r, col);
                (col == Values ? in.values : in.probabilities) =
                    list.value_or(std::vector<double>{});
            } else if (!(text.trimmed().isEmpty() && Optional(in.distribution, col))) {
                const auto v = ParseDouble(text);
                if (!v) fail(inputs_, notNumber(what, text), r, col);
                *Parameter(in, col) = v.value_or(0.0);
            }
        }
        d.inputs.push_back(std::move(in));
    }
    for (int r = 0; r < correlations_->rowCount(); ++r) {
        risk::RankCorrelation pair;
        pair.first = static_cast<QComboBox*>(correlations_->cellWidget(r, 0))
                         ->currentData()
                         .toString()
                         .toStdString();
        pair.second = static_cast<QComboBox*>(correlations_->cellWidget(r, 1))
                          ->currentData()
                          .toString()
                          .toStdString();
        const QString text = correlations_->item(r, 2)->text();
        if (const auto v = ParseDouble(text))
            pair.rank = *v;
        else
            fail(correlations_,
                 notNumber(QString::fromStdString(risk::EntryName("correlations", r)) + " rank",
                           text),
                 r, 2);
        d.correlations.push_back(std::move(pair));
    }
    return c;
}

bool RiskAnalysisWindow::CheckEntries(QWidget* where, int row, int column) {
    if (checking_) return true;
    checking_ = true;
    Collected c = Collect();
    QString error = c.error;
    if (error.isEmpty()) {
        // The same path as definitions imported from a file: written, read back and checked.
        const risk::ParsedDefinitions parsed =
            risk::ParseRiskDefinitions(risk::RiskDefinitionsText(c.definitions));
        error = QString::fromStdString(
            parsed.ok() ? risk::CheckRiskDefinitions(parsed.definitions, project_).error
                        : parsed.error);
        where = where ? where : c.where;
    } else {
        where = c.where, row = c.row, column = c.column;
    }
    if (!error.isEmpty()) {
        ShowMessage(this, error, QString::fromLatin1(kCaption), QMessageBox::Warning);
        Show(accepted_);
        if (auto* table = qobject_cast<QTableWidget*>(where); table && row >= 0) {
            table->setCurrentCell(row, std::max(column, 0));
        } else if (auto* edit = qobject_cast<QLineEdit*>(where)) {
            edit->selectAll();
        }
        if (where) where->setFocus(Qt::OtherFocusReason);
        checking_ = false;
        return false;
    }
    const bool inputsChanged = c.definitions.inputs.size() != accepted_.inputs.size();
    accepted_ = std::move(c.definitions);
    if (inputsChanged || where == usePrecision_ || (where == inputs_ && column == Relative))
        Show(accepted_);
    else if (where == inputs_ && row >= 0)
        ShowInputRow(row, accepted_.inputs[row]);
    checking_ = false;
    return true;
}

void RiskAnalysisWindow::ChangeKind(int row, int kind) {
    if (row >= int(accepted_.inputs.size())) return;
    UncertainInput converted = Converted(accepted_.inputs[row], DistributionKind(kind));
    const std::optional<risk::FieldInfo> info = risk::LookUpField(converted.field);
    if (info && info->kind == risk::FieldInfo::Kind::ListIndex)
        for (double& v : converted.values) v = std::round(v);
    if (info && !converted.relative &&
        (converted.distribution == DistributionKind::Normal ||
         converted.distribution == DistributionKind::Lognormal)) {
        converted.min = std::max(*converted.min, info->low);
        converted.max = std::min(*converted.max, info->high);
    }
    ShowInputRow(row, converted);
    CheckEntries(inputs_, row, Kind);
}

void RiskAnalysisWindow::AddInputs(const std::vector<std::string>& fields) {
    RiskDefinitions d = accepted_;
    for (const std::string& field : fields)
        if (std::ranges::find(d.inputs, field, &UncertainInput::field) == d.inputs.end())
            d.inputs.push_back(StartingInput(field, ProjectValue(project_, field)));
    Show(d);
    CheckEntries(inputs_, int(d.inputs.size()) - 1, Input);
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
        auto* item = new QListWidgetItem(in.label + QStringLiteral("   [") +
                                         QString::fromStdString(in.field) + ']');
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
    std::vector<int> rows;
    for (const QModelIndex& index : inputs_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows, std::greater{});
    for (int r : rows) {
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
    if (!accepted_.inputs.empty() &&
        ShowMessage(this,
                    QStringLiteral("Replace the %1 uncertain inputs and their correlations with "
                                   "the typical set?")
                        .arg(accepted_.inputs.size()),
                    QString::fromLatin1(kCaption), QMessageBox::Question,
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    Show(risk::TypicalUncertainties(project_, accepted_));
    CheckEntries(inputs_, 0, Input);
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
                Show(d);
                correlations_->setCurrentCell(int(d.correlations.size()) - 1, 2);
                CheckEntries(correlations_, int(d.correlations.size()) - 1, 2);
                return;
            }
    ShowMessage(this,
                QStringLiteral("Every pair of uncertain inputs is correlated already; add "
                               "inputs first."),
                QString::fromLatin1(kCaption), QMessageBox::Information);
}

void RiskAnalysisWindow::RemovePair() {
    std::vector<int> rows;
    for (const QModelIndex& index : correlations_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows, std::greater{});
    for (int r : rows) accepted_.correlations.erase(accepted_.correlations.begin() + r);
    Show(accepted_);
}

} // namespace velmora
