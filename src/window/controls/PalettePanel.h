#pragma once

#include "model/Colour.h"
#include "window/controls/Layout.h"

#include <QWidget>

#include <array>

namespace glowline {

class ClickLabel;
class Dialogs;

// The palette down the left of the window: sixteen swatches lblColor(0..15),
// the active colour lblActiveColor below them, and the place of cmdPipette.
// A click on a swatch makes its colour the active colour; a double click
// edits the swatch through the colour dialog. The palette lasts only until
// the program ends.
class PalettePanel final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSize = 16;
    // Where the panel lies on the client area.
    static constexpr QRect kArea = twips(0, 480, 735, 3735);

    PalettePanel(Dialogs &dialogs, TabStops &tabStops, QWidget *parent);
    Q_DISABLE_COPY_MOVE(PalettePanel)

    Rgb24 activeColour() const;
    void setActiveColour(Rgb24 colour);
    Rgb24 swatchColour(int index) const;

    static QString colourName(int index);

public slots:
    void selectColour(int index);
    void editColour(int index);

private:
    Dialogs &m_dialogs;
    std::array<ClickLabel *, kSize> m_swatches{};
    ClickLabel *m_active = nullptr;
};

} // namespace glowline
