#pragma once

#include "model/LineTable.h"
#include "window/map/MapGeometry.h"

#include <QImage>
#include <QRgb>
#include <QWidget>

#include <optional>
#include <vector>

class QScrollBar;
class QToolButton;

namespace glowline {

class Document;

// The whole sequence as one picture: one band per LED (LED 0 at the top),
// time running left to right, each line a column in its LEDs' colours. Marks
// for the current line, the selection and the playhead sit in strips above
// and below the bands, so the bands always show the colours the LEDs show.
//
// The map only reads the document. It keeps every line's colours in a cache,
// so an edit of a few lines recolours only those lines, and paints the part
// of the view that was asked for from that cache.
class SequenceMap final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMarkStripHeight = 6;
    static constexpr int kBandHeight = 9;
    static constexpr int kBandsTop = kMarkStripHeight;
    static constexpr int kBandsHeight = kBandHeight * kLedCount;
    static constexpr int kControlsTop = kBandsTop + kBandsHeight + kMarkStripHeight;
    static constexpr int kControlsHeight = 20;
    static constexpr int kPanelHeight = kControlsTop + kControlsHeight;
    static constexpr int kDefaultWidth = 602;
    static constexpr int kMaxPictureWidth = 32767;
    static constexpr int kDefaultPictureHeight = 110;
    // Ten times the default: a 32767-pixel-wide picture stays near 140 MB.
    static constexpr int kMaxPictureHeight = 1100;

    explicit SequenceMap(const Document &document, QWidget *parent = nullptr);

    const Document &document() const { return m_document; }
    const MapGeometry &geometry() const { return m_geometry; }
    bool scaleByDuration() const { return m_geometry.scale() == MapGeometry::Scale::ByDuration; }
    bool isPlayheadVisible() const { return m_playing; }

    // The width of a picture of the whole sequence at the current zoom.
    int currentZoomWidth() const { return m_geometry.contentWidth(); }
    // The bands of the whole sequence, width × height pixels (width 0: at the
    // current zoom), each band about height / 11 rows. A null image when the
    // size is out of range (height below 11 included) or memory runs out.
    QImage renderPicture(int width, int height = kDefaultPictureHeight) const;

    // The rectangle of the LED bands in the widget.
    QRect bandsRect() const;

    // Shows lines that are not the document's (a generator's result before it
    // is applied) until called again with nothing.
    void setPreview(std::optional<LineTable> preview);

public slots:
    void linesChanged(int first, int last);
    void sequenceChanged();
    void documentReplaced();
    void currentOrSelectionChanged();
    void setPlayheadVisible(bool playing);
    void setScaleByDuration(bool byDuration);
    void zoomIn();
    void zoomOut();
    void fitToWidth();

signals:
    void lineClicked(int line);
    void rangeSelected(int anchor, int current);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void recolourLines(int first, int last);
    // After the geometry moved: the scroll bar follows and the view repaints.
    void viewChanged();
    void syncScrollBar();
    void scrollTo(int offset);
    int buttonZoomAnchor() const;
    // The mark strips above and below the bands.
    void updateMarks();
    void followCurrentLine();
    QString toolTipFor(int line) const;
    // Fills image row by row: pixel column x shows lineOfColumn[x].
    void paintBands(QImage &image, const std::vector<int> &lineOfColumn) const;
    void paintMarks(QPainter &painter) const;
    std::pair<int, int> markColumns(int first, int last) const;

    // The preview while there is one, otherwise the document's lines.
    const LineTable &shownTable() const;

    const Document &m_document;
    std::optional<LineTable> m_preview;
    MapGeometry m_geometry;
    // Every line's 11 LED colours, line after line, LED 0 first.
    std::vector<QRgb> m_colours;
    bool m_playing = false;
    // The last line a press or drag named, and the anchor of that drag.
    int m_dragAnchor = 0;
    int m_dragLine = 0;

    QScrollBar *m_scrollBar = nullptr;
    QToolButton *m_zoomOut = nullptr;
    QToolButton *m_zoomIn = nullptr;
    QToolButton *m_fit = nullptr;
};

} // namespace glowline
