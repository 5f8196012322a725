// The Work Zone Planner's settings as its boxes show and read them: each edit is checked as it is
// typed, and only settings that pass are searched.

#include "views/WorkZonePlannerWindow.h"

#include "gui/FormNumbers.h"

#include <QLabel>
#include <QLineEdit>

namespace velmora {
namespace {

const QString kInvalid = QStringLiteral("QLineEdit { background: #ffd9d9; }");

} // namespace

WorkZonePlannerWindow::Collected WorkZonePlannerWindow::Collect() const {
    Collected c;
    planner::PlannerSettings& s = c.settings;
    // Each entry in turn is read and checked with those before it, so that a refusal names the
    // entry that is wrong.
    const auto refuse = [&c](QLineEdit* where, const QString& why) {
        c.error = why;
        c.where = where;
        return c;
    };
    const auto wrong = [&](QLineEdit* where) {
        const std::string error = planner::CheckPlannerSettings(s);
        if (!error.empty()) refuse(where, QString::fromStdString(error));
        return !error.empty();
    };
    const auto number = [&](QLineEdit* edit, const char* name, std::optional<double>& out) {
        const QString text = edit->text().trimmed();
        if (text.isEmpty()) return true;
        out = ParseDouble(text);
        if (!out) refuse(edit, QStringLiteral("%1: \"%2\" is not a number.").arg(name, text));
        return out.has_value();
    };
    std::optional<double> setup;
    if (setupHours_->text().trimmed().isEmpty())
        return refuse(setupHours_, QStringLiteral("The setup time must be a number of hours."));
    if (!number(setupHours_, "Setup time", setup)) return c;
    s.setupHours = *setup;
    if (wrong(setupHours_)) return c;
    const std::pair<QLineEdit*, std::optional<double> planner::PlannerSettings::*> limits[] = {
        {maxQueue_, &planner::PlannerSettings::maxQueueMiles},
        {maxDelay_, &planner::PlannerSettings::maxDelayMinutes},
        {maxDays_, &planner::PlannerSettings::maxDays}};
    const char* names[] = {"Maximum queue", "Maximum delay", "Maximum days"};
    for (int k = 0; k < 3; ++k)
        if (!number(limits[k].first, names[k], s.*limits[k].second) || wrong(limits[k].first))
            return c;
    for (QString part : noClosure_->text().split(u',')) {
        part.remove(u' ');
        if (part.isEmpty() && noClosure_->text().trimmed().isEmpty()) break;
        const auto range = planner::ParseHourRange(part.toStdString());
        if (!range)
            return refuse(noClosure_, QStringLiteral("No-closure hours: \"%1\" is not a range of "
                                                     "hours such as 6-9.")
                                          .arg(part));
        s.noClosure.push_back(*range);
    }
    if (wrong(noClosure_)) return c;
    std::optional<double> cost;
    if (!number(closureCost_, "Cost per closure", cost)) return c;
    s.closureCost = cost.value_or(0.0);
    wrong(closureCost_);
    return c;
}

void WorkZonePlannerWindow::ShowSettings(const planner::PlannerSettings& s) {
    const auto optional = [](const std::optional<double>& value) {
        return value ? FormatDouble(*value) : QString();
    };
    setupHours_->setText(FormatDouble(s.setupHours));
    maxQueue_->setText(optional(s.maxQueueMiles));
    maxDelay_->setText(optional(s.maxDelayMinutes));
    maxDays_->setText(optional(s.maxDays));
    QStringList ranges;
    for (const planner::HourRange& r : s.noClosure)
        ranges << QString::fromStdString(planner::HourRangeText(r));
    noClosure_->setText(ranges.join(QStringLiteral(", ")));
    closureCost_->setText(FormatDouble(s.closureCost));
}

void WorkZonePlannerWindow::TakeSettings() {
    const Collected c = Collect();
    for (QLineEdit* e : {setupHours_, maxQueue_, maxDelay_, maxDays_, noClosure_, closureCost_})
        e->setStyleSheet(e == c.where ? kInvalid : QString());
    settingsNote_->setVisible(!c.error.isEmpty());
    if (!c.error.isEmpty()) {
        settingsNote_->setText(c.error +
                               QStringLiteral(" The results are those of the last settings that "
                                              "were right."));
        return;
    }
    if (c.settings == settings_) return;
    settings_ = c.settings;
    Research();
}

} // namespace velmora
