#pragma once

// The six input forms: Edit... function, help topic and picture name, range messages' caption.

#include "forms/AsphaltActivitiesForm.h"
#include "forms/ConcreteActivitiesForm.h"
#include "forms/GeneralInfoForm.h"
#include "forms/MaintenanceForm.h"
#include "forms/TrafficWorkZoneForm.h"
#include "forms/UnitPricesForm.h"

#include <QTest>
#include <cstdio>

namespace velmora::test {

struct Form {
    const char* name; // its help topic and its picture in docs/
    bool (*edit)(ProjectData&, QWidget*);
    const char* caption; // of its range messages
};

inline const Form kForms[] = {
    {"general-info", EditGeneralInfo, "Number Out of Range"},
    {"unit-prices", EditUnitPrices, "Price Out of Range"},
    {"traffic-work-zone", EditTrafficWorkZone, "Value Out of Range"},
    {"asphalt-activities", EditAsphaltActivities, "Value Out of Range"},
    {"concrete-activities", EditConcreteActivities, "Value Out of Range"},
    {"maintenance", EditMaintenance, "Number Out of Range"},
};
enum { kGeneral, kPrices, kTraffic, kAsphalt, kConcrete, kMaintenance };

inline void AddFormRows() {
    QTest::addColumn<int>("form");
    for (int f = 0; f < 6; ++f) QTest::newRow(kForms[f].name) << f;
}

// Makes sure the German locale of the second run took, so that its numbers are tried.
inline void CheckCommaLocale() {
    if (!qEnvironmentVariable("LC_ALL").startsWith("de_DE")) return;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 12.5);
    QCOMPARE(QString(buffer), QString("12,5"));
}

} // namespace velmora::test
