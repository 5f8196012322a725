#pragma once

// What the Risk Analysis window's files share: its texts, and the helpers of the inputs table's
// cells (which parameters a distribution takes, lists typed into a cell, starting and converted
// distributions, the density preview).

#include "risk/RiskDefinitions.h"
#include "risk/RiskDefinitionsCheck.h"
#include "views/RiskAnalysisWindow.h"

#include <QList>
#include <QString>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace velmora::riskwindow {

using risk::DistributionKind;
using risk::RiskDefinitions;
using risk::UncertainInput;
using Column = RiskInputsModel::Column;

inline const char* const kCaption = "Risk Analysis";
inline const char* const kColumnTitles[] = {"Input", "Project value", "Distribution",  "Relative",
                                            "Min",   "Mode",          "Max",           "Mean",
                                            "SD",    "Values",        "Probabilities", "Density"};

// The distribution takes the parameter of `column`; Optional: as an optional cut of its tails.
bool Takes(DistributionKind kind, int column);
bool Optional(DistributionKind kind, int column);
// The parameter of `in` that `column` shows.
std::optional<double>* Parameter(UncertainInput& in, int column);
const std::optional<double>* Parameter(const UncertainInput& in, int column);
// Values as a cell shows and reads them, blanks between.
QString List(const std::vector<double>& values);
std::optional<std::vector<double>> ParseList(const QString& text);

template <class Int>
std::optional<Int> ParseWhole(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    Int value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

// Inputs as the tables show them: "Row 2 (Unit Prices: HMA Wearing Course ($/ton))".
const risk::EntryNames& Names();
// The refusal of an entry that does not read as a number: "Precision: \"abc\" is not a number".
QString NotANumber(const QString& what, const QString& text);
// The distribution's name as the Distribution column shows it.
QString KindLabel(DistributionKind kind);
// The pop-up help of the window's control `id`.
QString Popup(int id);
// The density of `in` as 24 heights from 0 to 1, for the Density column; empty when every
// sample is one value.
QList<double> DensityHeights(const UncertainInput& in, double base, bool whole);
UncertainInput StartingInput(const std::string& field, const ProjectData& project);
UncertainInput Converted(const UncertainInput& in, DistributionKind kind);

} // namespace velmora::riskwindow
