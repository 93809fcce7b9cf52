#pragma once

#include <QCache>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QLineEdit>
#include <QPointer>

#include <memory>

namespace glowline {

// Texts laid out on one line as a line edit lays them out, each once and
// then kept: a drag of scrLine shows a new duration in six boxes at every
// step, and laying a text out costs more than drawing it. Durations come to
// 4,096 texts.
class LaidOutTexts
{
public:
    // A text's glyphs, and the line's ascent in whole pixels.
    struct Text
    {
        QList<QGlyphRun> runs;
        int ascent = 0;
    };

    const Text &find(const QString &text, const QFont &font, Qt::LayoutDirection direction);

private:
    struct Key
    {
        QString text;
        QFont font;
        Qt::LayoutDirection direction;
        bool operator==(const Key &) const = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.font, int(key.direction));
        }
    };

    QCache<Key, Text> m_texts{8192};
};

// A one-line text box that reports when the input focus moves to another
// control of the window. Focus that leaves with the whole window (another
// window activated, a popup or a modal dialog opened) is not reported: the
// box still holds the focus within the window.
//
// A box can leave its painting to a control that lies below it while the box
// is at rest: then Qt repaints one control where it would repaint two.
class TextBox final : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TextBox)

    // Whether the box shows no more than its panel and its whole text,
    // unscrolled: no focus, no selection, not under the pointer.
    bool atRest() const;
    // Paints the box as it paints itself at rest, with its top-left corner
    // at the painter's origin.
    void paintAtRest(QPainter &painter) const;
    // Leaves the painting of the box at rest to control, a control that
    // lies below it and calls paintAtRest when it paints; texts keeps the
    // texts laid out for the boxes that share it.
    void setRestingPainter(QWidget *control, std::shared_ptr<LaidOutTexts> texts);
    // Whether that control paints it now.
    bool paintedAtRest() const { return m_restingPainter && !updatesEnabled(); }

signals:
    void focusLost();

protected:
    bool event(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the text lies in the box, and the height of its line.
    QRect textArea() const;
    int lineHeight(const QFontMetrics &metrics) const;
    // Paints itself or lets the resting painter paint it, as its state
    // asks, and has that painter repaint it.
    void settle();

    QPointer<QWidget> m_restingPainter;
    std::shared_ptr<LaidOutTexts> m_laidOut;
};

} // namespace glowline
