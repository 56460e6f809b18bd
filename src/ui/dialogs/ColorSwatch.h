#pragma once

#include <QAbstractButton>
#include <QColor>

namespace pondel {

// A framed patch of colour that is clicked to choose another. While it is
// disabled it shows no colour, only its frame, so that a colour that is not
// in use does not look chosen.
class ColorSwatch final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColorSwatch)

public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    void SetColor(const QColor& color);
    [[nodiscard]] QColor Color() const { return color_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_ = Qt::black;
};

} // namespace pondel
