#pragma once

// What the two activities forms share: a framed, titled column per stage and a row per field of
// a stage, each a label and a number box in every column; the year of the initial construction
// shown but not editable; the miscellaneous rows, whose label carries the description of their
// pay item under it; and the per-stage inclusion lists, hidden, which the form sets from the two
// switches of the project when it opens.

#include "forms/InputForm.h"

namespace velmora {

class ActivitiesForm : public InputForm {
    Q_OBJECT
public:
    // A miscellaneous row: its index in the table of rows; the read-only description under the
    // label and the pay item's description it shows a copy of, taken when the form opens and
    // never written back; the static that is its label when the label follows the pay item's
    // unit (0 for the row's own label) and its field; the statics of the unit word beside each
    // of its boxes (none when the row has none) and their field. Texts all, whose reading never
    // stops, so their place in the reading order does not matter.
    struct MiscRow {
        int row;
        int descriptionId;
        FieldOf description;
        int labelId = 0;
        FieldOf label = {};
        std::vector<int> unitIds = {};
        FieldAt unit = {};
    };

    // The checks the two forms share: 0 or more, and a unit weight from 50 to 200 pcf.
    static Check Positive();
    static Check UnitWeight(double reset);
    // The hidden lists of the per-stage inclusion, `ids` for stage 0 to 3.
    static RepeatedField Inclusion(std::vector<int> ids, FieldAt field);

    struct Layout {
        std::array<QString, 4> stages;
        // Top to bottom, stage 0 to 3 in each; the first row is the year.
        std::vector<RepeatedField> rows;
        std::vector<MiscRow> misc;
        // The hidden per-stage lists.
        RepeatedField inclusion;
        int width;
        int height;
    };

protected:
    ActivitiesForm(const ProjectData& project, int templateId, const QString& title,
                   const QString& helpTopic, Layout layout, QWidget* parent);

    void FillControls() override;

private:
    FieldAt inclusion_;
    // What the description edits show.
    std::vector<std::string> descriptions_;
};

} // namespace velmora
