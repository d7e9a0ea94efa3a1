#include "ui/qt/StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogLayout.h"
#include "ui/qt/StatusText.h"
#include "values/KeyTable.h"

namespace arbolith {

namespace {

constexpr int kProgressSteps = 1000;

const TreeKey& SecondKey() {
    return *FindTreeKey(kTimeKey);
}

QLabel* WrappedLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // As wide as the room, however long the line: it wraps instead of widening the window.
    label->setMinimumWidth(1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    return label;
}

} // namespace

StatusLine::StatusLine(int characterWidth, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("statusLine"));
    auto* lines = new QVBoxLayout(this);
    lines->setContentsMargins(0, 2, 0, 2);
    lines->setSpacing(2);
    auto* row = new QHBoxLayout;
    row_ = row;
    auto* label = new QLabel(tr("&Second:"), this);
    second_ = new QLineEdit(this);
    second_->setObjectName(QStringLiteral("second"));
    second_->setPlaceholderText(tr("now"));
    second_->setToolTip(tr("The clock second whose tree is drawn: a press of Generate new tree "
                           "puts a new one here, and every change of a field draws this second's "
                           "tree again. Empty draws the tree of the moment."));
    second_->setFixedWidth(second_->fontMetrics().horizontalAdvance(QStringLiteral("4294967295")) +
                           3 * characterWidth);
    label->setBuddy(second_);
    connect(second_, &QLineEdit::textEdited, this, &StatusLine::SecondEdited);
    previous_ = new QPushButton(tr("Previous"), this);
    previous_->setObjectName(QStringLiteral("previousSecond"));
    previous_->setToolTip(tr("The tree of the second before (Page Up)"));
    next_ = new QPushButton(tr("Next"), this);
    next_->setObjectName(QStringLiteral("nextSecond"));
    next_->setToolTip(tr("The tree of the second after (Page Down)"));
    for (QPushButton* button : {previous_, next_}) {
        // The fields keep Tab's order and Enter's button.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
    }
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, kProgressSteps);
    // Narrower where the row has no room, so that a run never widens the window.
    progress_->setMinimumWidth(characterWidth * 6);
    progress_->setMaximumWidth(kCanvasWidth / 4);
    progress_->setTextVisible(false);
    progress_->hide();
    row->addWidget(label);
    row->addWidget(second_);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addStretch(1);
    row->addWidget(progress_);
    lines->addLayout(row);

    // What fields read as, whole and in red, above the status sentence, in the room kept for
    // both: a command of every value wraps twice at the window's opening width, so that the
    // canvas keeps its size from a run's progress to its end and while a field is noted.
    auto* said = new QWidget(this);
    auto* saidLines = new QVBoxLayout(said);
    saidLines->setContentsMargins(0, 0, 0, 0);
    saidLines->setSpacing(0);
    notes_ = WrappedLabel(QStringLiteral("notes"), said);
    QPalette warning = notes_->palette();
    warning.setColor(QPalette::WindowText, kNotedText);
    notes_->setPalette(warning);
    notes_->hide();
    status_ = WrappedLabel(QStringLiteral("status"), said);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    saidLines->addWidget(notes_);
    saidLines->addWidget(status_, 1);
    said->setMinimumHeight(3 * status_->fontMetrics().lineSpacing());
    lines->addWidget(said);
}

bool StatusLine::HoldsSecond() const {
    return !second_->text().trimmed().isEmpty();
}

bool StatusLine::ReadSecond(std::optional<std::uint32_t>& second) const {
    second.reset();
    if (!HoldsSecond()) {
        return true;
    }
    TreeOrder order;
    if (!SecondKey().read(second_->text().trimmed().toStdString(), order)) {
        return false;
    }
    second = order.second;
    return true;
}

void StatusLine::SayWhatSecondIs() {
    const std::string_view expected = SecondKey().expected;
    Say(tr("The second should be %1, or empty for now.")
            .arg(QString::fromLatin1(expected.data(), static_cast<int>(expected.size()))));
}

void StatusLine::SetSecond(std::optional<std::uint32_t> second) {
    second_->setText(second ? QString::number(*second) : QString());
}

void StatusLine::Say(const QString& text) {
    status_->setText(PrintableText(text));
}

QString StatusLine::Said() const {
    return status_->text();
}

void StatusLine::ShowNotes(const QString& notes) {
    notes_->setText(PrintableText(notes));
    notes_->setVisible(!notes.isEmpty());
}

QString StatusLine::Notes() const {
    return notes_->text();
}

void StatusLine::AddToRow(QWidget* control) {
    row_->addWidget(control);
}

void StatusLine::ShowProgress(std::optional<double> done) {
    if (!done) {
        progress_->hide();
        return;
    }
    progress_->setValue(static_cast<int>(*done * kProgressSteps));
    progress_->show();
}

} // namespace arbolith
