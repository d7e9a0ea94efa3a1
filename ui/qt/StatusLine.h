#pragma once

#include <cstdint>
#include <optional>

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;

namespace arbolith {

// The line below the canvas: the field for the clock second, what the window has to say, and the
// progress of a run.
class StatusLine : public QWidget {
    Q_OBJECT

public:
    StatusLine(int characterWidth, QWidget* parent = nullptr);

    QLineEdit* SecondField() const { return second_; }
    bool HoldsSecond() const;
    // The second the field holds, none when it is empty, which means now; false when it holds
    // something else.
    bool ReadSecond(std::optional<std::uint32_t>& second) const;
    // Says what the field should hold.
    void SayWhatSecondIs();
    void SetSecond(std::optional<std::uint32_t> second);

    void Say(const QString& text);
    QString Said() const;
    // Shows how far a run has got, from 0 to 1; none hides the bar.
    void ShowProgress(std::optional<double> done);

signals:
    // The user changed the second.
    void SecondEdited();

private:
    QLineEdit* second_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

} // namespace arbolith
