#include "ui/qt/StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTextDocument>

#include "ui/DialogLayout.h"
#include "ui/qt/StatusText.h"
#include "values/KeyTable.h"

namespace arbolith {

namespace {

constexpr int kProgressSteps = 1000;

const TreeKey& SecondKey() {
    return *FindTreeKey(kTimeKey);
}

} // namespace

StatusLine::StatusLine(int characterWidth, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("statusLine"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    auto* label = new QLabel(tr("&Second:"), this);
    second_ = new QLineEdit(this);
    second_->setObjectName(QStringLiteral("second"));
    second_->setPlaceholderText(tr("now"));
    second_->setToolTip(tr("Empty draws the tree of the moment of the press. A clock second here "
                           "draws that second's tree, and again at every change of a field."));
    second_->setFixedWidth(second_->fontMetrics().horizontalAdvance(QStringLiteral("4294967295")) +
                           3 * characterWidth);
    label->setBuddy(second_);
    connect(second_, &QLineEdit::textEdited, this, &StatusLine::SecondEdited);
    layout->addWidget(label);
    layout->addWidget(second_);
    layout->addSpacing(characterWidth);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long line is cut rather than widening the window.
    status_->setMinimumWidth(1);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(status_, 1);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, kProgressSteps);
    progress_->setFixedWidth(kCanvasWidth / 4);
    progress_->setTextVisible(false);
    progress_->hide();
    layout->addWidget(progress_);
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

void StatusLine::Say(const QString& said) {
    const QString text = PrintableText(said);
    status_->setText(text);
    // The line may be cut where the window is narrow; the whole of it shows when pointed at, as
    // plain text: a tip would read a name such as "<b>.png" as markup.
    status_->setToolTip(Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}

QString StatusLine::Said() const {
    return status_->text();
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
