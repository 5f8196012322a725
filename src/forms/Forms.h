#pragma once

// The edit cycle of each input form, and the Compute Costs run with its results form, as the
// command form calls them. Each edit function copies its fields from `project` into the form,
// runs it modally and copies them back only when the user accepts; it returns true when the
// form was accepted.

#include <QString>

class QPrinter;
class QWidget;

namespace velmora {

struct ProjectData;

// Whichever way the form closed, the caller then enables its "Traffic and Work Zone
// Information" button as project.TrafficFormAvailable() says.
bool EditGeneralInfo(ProjectData& project, QWidget* parent = nullptr);
bool EditUnitPrices(ProjectData& project, QWidget* parent = nullptr);
bool EditTrafficWorkZone(ProjectData& project, QWidget* parent = nullptr);
// The caller first rebuilds the labels of the miscellaneous rows from the unit prices
// (project.PrepareAsphaltMiscLabels(), project.PrepareConcreteMiscLabels()).
bool EditAsphaltActivities(ProjectData& project, QWidget* parent = nullptr);
bool EditConcreteActivities(ProjectData& project, QWidget* parent = nullptr);
bool EditMaintenance(ProjectData& project, QWidget* parent = nullptr);

// Compute Costs: the hand-off (a refusal is shown as its message box), the analysis, the gridlock
// messages and the results form; OK brings the recomputed treatment counts into `project`.
// Export All Data never writes over `projectFile`, the project's own file.
void ComputeCosts(ProjectData& project, QWidget* parent = nullptr, const QString& projectFile = {});

// The printed report of a project: its inputs and its computed costs.
void PrintProject(QPrinter& printer, const ProjectData& project);

} // namespace velmora
