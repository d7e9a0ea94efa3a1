#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QWidget>

#include "tree/TreeOrder.h"

class QLabel;
class QToolButton;

namespace arbolith {

class BackgroundJob;

// "More like this": small pictures of the trees of the seconds round the one shown, the same
// values and view, drawn on a thread of their own; a click on one asks for its second. A tree too
// large to draw six more of in a moment gets no pictures.
class SecondStrip : public QWidget {
    Q_OBJECT

public:
    explicit SecondStrip(QWidget* parent = nullptr);
    ~SecondStrip() override;

    // Draws the neighbours of the order's tree, stopping any drawing still going.
    void ShowAround(const TreeOrder& order);
    // The seconds the strip shows, in order.
    std::vector<std::uint32_t> Seconds() const { return seconds_; }
    // Whether every picture of the strip is drawn.
    bool Drawn() const;

    // Trees with more branches than this get no pictures.
    static constexpr std::uint64_t kLargestTree = 2'000'000;
    // Trees on either side of the one shown.
    static constexpr int kEachSide = 3;

signals:
    void Chosen(std::uint32_t second);

private:
    std::vector<QToolButton*> buttons_;
    std::vector<std::uint32_t> seconds_;
    QLabel* note_ = nullptr;
    std::unique_ptr<BackgroundJob> job_;
    int drawn_ = 0;
    int generation_ = 0;
};

} // namespace arbolith
