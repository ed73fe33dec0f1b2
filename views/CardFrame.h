#pragma once

#include <QWidget>

class QVBoxLayout;

namespace orvelle {

// A card of the settings page: its content padded by 14 points on a white rounded rectangle at
// 0.85 opacity, radius 18, outlined in the card border colour, 1.5 points wide.
class CardFrame final : public QWidget {
public:
    // Makes an empty card whose content column has `spacing` between its children.
    explicit CardFrame(int spacing, QWidget* parent = nullptr);

    // Returns the column the card's content goes into.
    QVBoxLayout* content() const { return content_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* content_;
};

}  // namespace orvelle
