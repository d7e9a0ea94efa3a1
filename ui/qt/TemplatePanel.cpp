#include "ui/qt/TemplatePanel.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/FieldTexts.h"

namespace arbolith {

namespace {

QWidget* CreateControl(const DialogControl& control, QWidget* parent) {
    switch (control.kind) {
    case ControlKind::InputField:
        return new QLineEdit(parent);
    case ControlKind::DefaultButton:
    case ControlKind::PushButton: {
        auto* button = new QPushButton(QString::fromLatin1(control.text), parent);
        button->setDefault(control.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(QString::fromLatin1(control.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Picture: {
        // Bitmap 102 at its own size, neither stretched nor shrunk, in a sunken frame.
        auto* picture = new QLabel(parent);
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QPixmap bitmap(QStringLiteral(":/arbolith/picture.bmp"));
        if (!bitmap.isNull()) {
            picture->setPixmap(bitmap);
        }
        return picture;
    }
    }
    return nullptr;
}

} // namespace

TemplatePanel::TemplatePanel(DialogBaseUnits units, QWidget* parent) : QWidget(parent) {
    QRect occupied;
    // Template order is creation order, and creation order is Qt's tab order.
    for (const DialogControl& control : kDialogControls) {
        QWidget* widget = CreateControl(control, this);
        widget->setObjectName(QString::number(control.id));
        widget->setGeometry(
            DialogRectToPixels(units, control.x, control.y, control.width, control.height));
        if (control.kind == ControlKind::Picture) {
            // A bitmap control takes the size of its bitmap, whatever the template says.
            const auto* picture = static_cast<QLabel*>(widget);
            if (!picture->pixmap().isNull()) {
                const int frame = 2 * picture->frameWidth();
                widget->resize(picture->pixmap().size() + QSize(frame, frame));
            }
        }
        occupied |= widget->geometry();
        if (control.kind == ControlKind::InputField) {
            auto* field = static_cast<QLineEdit*>(widget);
            fields_[control.id] = field;
            connect(field, &QLineEdit::textEdited, this, &TemplatePanel::Edited);
        }
    }
    // The controls' left margin, below them as well.
    const int margin = occupied.left();
    setFixedSize(occupied.right() + 1, occupied.bottom() + 1 + margin);
}

QPushButton* TemplatePanel::Button(int id) const {
    return findChild<QPushButton*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

TreeParameters TemplatePanel::Parameters() const {
    return ReadTreeParameters([this](int id) { return fields_.at(id)->text().toStdString(); });
}

void TemplatePanel::SetParameters(const TreeParameters& parameters) {
    for (const auto& [id, text] : FieldTextsOf(parameters)) {
        fields_.at(id)->setText(QString::fromStdString(text));
    }
}

} // namespace arbolith
