#pragma once

#include <cstdint>
#include <optional>

#include <QColor>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace arbolith {

// The colour of what the window notes on a field's text, and of that field's ground.
inline const QColor kNotedText(0x9a, 0x30, 0x00);
inline const QColor kNotedGround(0xff, 0xec, 0xd0);

// The lines below the canvas: the field for the clock second with the buttons that step to the
// neighbouring seconds, what the fields read as where that is not their text, and the progress
// of a run; below them what the window has to say, wrapped, so that the command that draws the
// tree again is seen and can be selected whole at any window size.
class StatusLine : public QWidget {
    Q_OBJECT

public:
    StatusLine(int characterWidth, QWidget* parent = nullptr);

    QLineEdit* SecondField() const { return second_; }
    QPushButton* PreviousButton() const { return previous_; }
    QPushButton* NextButton() const { return next_; }
    bool HoldsSecond() const;
    // The second the field holds, none when it is empty, which means now; false when it holds
    // something else.
    bool ReadSecond(std::optional<std::uint32_t>& second) const;
    // Says what the field should hold.
    void SayWhatSecondIs();
    void SetSecond(std::optional<std::uint32_t> second);

    void Say(const QString& text);
    QString Said() const;
    // Notes on the fields' texts, in one line cut where it is too long for the room (all of it
    // shows when pointed at).
    void ShowNotes(const QString& notes);
    QString Notes() const;
    // Shows how far a run has got, from 0 to 1; none hides the bar.
    void ShowProgress(std::optional<double> done);
    // Puts a control of the window at the end of the second's row, so that the line below keeps
    // the whole width.
    void AddToRow(QWidget* control);

signals:
    // The user changed the second.
    void SecondEdited();

private:
    QLineEdit* second_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QHBoxLayout* row_ = nullptr;
};

} // namespace arbolith
