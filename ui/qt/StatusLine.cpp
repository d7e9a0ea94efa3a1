#include "ui/qt/StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
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

// One line that ends in "..." where the room is too narrow for it; all of it shows when pointed at.
class ElidedLabel final : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setMinimumWidth(1);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    void SetWhole(const QString& text) {
        whole_ = text;
        // As plain text: a tip would read a field's text such as "<b>" as markup.
        setToolTip(Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
        Elide();
    }
    const QString& Whole() const { return whole_; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide() { setText(fontMetrics().elidedText(whole_, Qt::ElideRight, width())); }

    QString whole_;
};

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
    // Beside them, in one line that takes no room from the canvas, what fields read as.
    notes_ = new ElidedLabel(this);
    notes_->setObjectName(QStringLiteral("notes"));
    QPalette warning = notes_->palette();
    warning.setColor(QPalette::WindowText, kNotedText);
    notes_->setPalette(warning);
    row->addWidget(label);
    row->addWidget(second_);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addSpacing(characterWidth);
    row->addWidget(notes_, 1);
    row->addWidget(progress_);
    lines->addLayout(row);

    status_ = WrappedLabel(QStringLiteral("status"), this);
    // Room for a command of every value wrapped twice at the window's opening width, so that the
    // canvas keeps its size from a run's progress to its end.
    status_->setMinimumHeight(3 * status_->fontMetrics().lineSpacing());
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lines->addWidget(status_);
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
    static_cast<ElidedLabel*>(notes_)->SetWhole(PrintableText(notes));
}

QString StatusLine::Notes() const {
    return static_cast<ElidedLabel*>(notes_)->Whole();
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
