#include "window/controls/PalettePanel.h"

#include "dialogs/Dialogs.h"
#include "window/controls/ClickLabel.h"

#include <optional>

namespace glowline {

namespace {

constexpr std::array<Rgb24, PalettePanel::kSize> kPalette{
    rgb24(0, 0, 0),   rgb24(255, 255, 255), rgb24(128, 128, 128), rgb24(192, 192, 192),
    rgb24(128, 0, 0), rgb24(255, 0, 0),     rgb24(128, 128, 0),   rgb24(255, 255, 0),
    rgb24(0, 128, 0), rgb24(0, 255, 0),     rgb24(0, 128, 128),   rgb24(0, 255, 255),
    rgb24(0, 0, 128), rgb24(0, 0, 255),     rgb24(128, 0, 128),   rgb24(255, 0, 255),
};

// A rectangle of the client area, in the panel's own coordinates.
QRect onPanel(const QRect &client)
{
    return client.translated(-PalettePanel::kArea.topLeft());
}

} // namespace

PalettePanel::PalettePanel(Dialogs &dialogs, TabStops &tabStops, QWidget *parent)
    : QWidget(parent), m_dialogs(dialogs)
{
    place(this, QStringLiteral("palettePanel"), kArea);
    for (int i = 0; i < kSize; ++i) {
        auto *swatch = place(new ClickLabel(this), indexedName("lblColor", i),
                             onPanel(twips(i % 2 == 0 ? 0 : 360, 480 + 360 * (i / 2), 375, 375)));
        swatch->setBackColour(kPalette[std::size_t(i)]);
        m_swatches[std::size_t(i)] = swatch;
        tabStops.push_back({50 + i, swatch});
        connect(swatch, &ClickLabel::clicked, this, [this, i] { selectColour(i); });
        connect(swatch, &ClickLabel::doubleClicked, this, [this, i] { editColour(i); });
    }
    m_active = place(new ClickLabel(this), QStringLiteral("lblActiveColor"),
                     onPanel(twips(0, 3480, 735, 375)));
    m_active->setBackColour(rgb24(0, 0, 0));
    tabStops.push_back({66, m_active});
}

Rgb24 PalettePanel::activeColour() const
{
    return m_active->backColour();
}

void PalettePanel::setActiveColour(Rgb24 colour)
{
    m_active->setBackColour(colour);
}

Rgb24 PalettePanel::swatchColour(int index) const
{
    return m_swatches[std::size_t(index)]->backColour();
}

void PalettePanel::selectColour(int index)
{
    setActiveColour(swatchColour(index));
}

void PalettePanel::editColour(int index)
{
    ClickLabel *swatch = m_swatches[std::size_t(index)];
    const std::optional<Rgb24> chosen = m_dialogs.colour(swatch->backColour());
    if (!chosen)
        return;
    // A swatch only holds colours an LED can show: four bits per channel.
    const Rgb24 c = *chosen;
    swatch->setBackColour(rgb24(redOf(c) & 0xF0, greenOf(c) & 0xF0, blueOf(c) & 0xF0));
}

QString PalettePanel::colourName(int index)
{
    static constexpr std::array<const char *, kSize> names{
        "Black",      "White", "Grey", "Light Grey", "Dark Red", "Red",  "Olive",  "Yellow",
        "Dark Green", "Green", "Teal", "Cyan",       "Navy",     "Blue", "Purple", "Magenta"};
    return QString::fromLatin1(names[std::size_t(index)]);
}

} // namespace glowline
