#pragma once

#include <map>

#include <QWidget>

#include "tree/TreeParameters.h"
#include "ui/qt/DialogUnits.h"

class QLineEdit;
class QPushButton;

namespace arbolith {

// The dialog template's 29 controls at their places, in its order, which is also the order of
// creation and of Tab: the twelve fields, the two buttons, the labels and the picture. Each is
// named after its control id, the unnamed ones "-1". The panel is as large as its controls need,
// with the template's left margin round them.
class TemplatePanel : public QWidget {
    Q_OBJECT

public:
    TemplatePanel(DialogBaseUnits units, QWidget* parent = nullptr);

    QLineEdit* Field(int id) const { return fields_.at(id); }
    QPushButton* Button(int id) const;

    // The values the fields hold, read by the shared rules of ui/FieldText.h.
    TreeParameters Parameters() const;
    // Fills the fields with texts that read back as these values.
    void SetParameters(const TreeParameters& parameters);

signals:
    // The user changed the text of a field.
    void Edited();

private:
    std::map<int, QLineEdit*> fields_;
};

} // namespace arbolith
