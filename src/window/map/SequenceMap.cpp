#include "window/map/SequenceMap.h"

#include "files/SequenceWriter.h"
#include "model/Colour.h"
#include "model/Document.h"
#include "window/controls/DurationText.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace glowline {

namespace {

constexpr int kButtonWidth = 26;
constexpr int kFitButtonWidth = 34;
constexpr double kButtonZoomFactor = 2.0;
constexpr double kWheelZoomFactor = 1.25; // per notch of 120
constexpr int kMinMarkWidth = 3;
constexpr int kPlayheadWidth = 9;

// The screen colour of every packed colour, as the LEDs show it.
const std::array<QRgb, 4096> &screenColours()
{
    static const std::array<QRgb, 4096> table = [] {
        std::array<QRgb, 4096> colours{};
        for (int packed = 0; packed < 4096; ++packed) {
            const Rgb24 c = expand(packed);
            colours[std::size_t(packed)] = qRgb(redOf(c), greenOf(c), blueOf(c));
        }
        return colours;
    }();
    return table;
}

} // namespace

SequenceMap::SequenceMap(const Document &document, QWidget *parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("sequenceMap"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedHeight(kPanelHeight);
    resize(kDefaultWidth, kPanelHeight);

    m_scrollBar = new QScrollBar(Qt::Horizontal, this);
    m_scrollBar->setObjectName(QStringLiteral("scrMap"));
    auto makeButton = [this](const QString &name, const QString &text, const QString &tip) {
        auto *button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(text);
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    m_zoomOut = makeButton(QStringLiteral("cmdMapZoomOut"), QStringLiteral("-"),
                           QStringLiteral("Zoom out (Ctrl+wheel)"));
    m_zoomIn = makeButton(QStringLiteral("cmdMapZoomIn"), QStringLiteral("+"),
                          QStringLiteral("Zoom in (Ctrl+wheel)"));
    m_fit = makeButton(QStringLiteral("cmdMapFit"), QStringLiteral("Fit"),
                       QStringLiteral("Show the whole sequence"));
    connect(m_zoomOut, &QToolButton::clicked, this, &SequenceMap::zoomOut);
    connect(m_zoomIn, &QToolButton::clicked, this, &SequenceMap::zoomIn);
    connect(m_fit, &QToolButton::clicked, this, &SequenceMap::fitToWidth);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &SequenceMap::scrollTo);

    m_geometry.setViewWidth(width());
    documentReplaced();
}

QRect SequenceMap::bandsRect() const
{
    return QRect(0, kBandsTop, width(), kBandsHeight);
}

// --- notifications from the document ----------------------------------------

void SequenceMap::linesChanged(int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, shownTable().lineCount());
    if (first > last)
        return;
    if (int(m_colours.size()) != shownTable().lineCount() * kLedCount) {
        // Told of a cell change while the line count moved: take it all.
        sequenceChanged();
        return;
    }
    recolourLines(first, last);
    if (m_geometry.updateLines(shownTable(), first, last)) {
        viewChanged();
        return;
    }
    const int left = m_geometry.viewColumns(first).first;
    const int right = m_geometry.viewColumns(last).second;
    if (left <= right)
        update(QRect(left, kBandsTop, right - left + 1, kBandsHeight));
}

void SequenceMap::sequenceChanged()
{
    m_colours.resize(std::size_t(shownTable().lineCount()) * kLedCount);
    recolourLines(1, shownTable().lineCount());
    m_geometry.setLines(shownTable());
    m_geometry.ensureVisible(std::min(m_document.currentLine(), m_geometry.lineCount()));
    viewChanged();
}

void SequenceMap::documentReplaced()
{
    m_geometry.fit();
    sequenceChanged();
}

void SequenceMap::currentOrSelectionChanged()
{
    followCurrentLine();
    updateMarks();
}

void SequenceMap::setPlayheadVisible(bool playing)
{
    if (m_playing == playing)
        return;
    m_playing = playing;
    followCurrentLine();
    updateMarks();
}

void SequenceMap::setScaleByDuration(bool byDuration)
{
    m_geometry.setScale(byDuration ? MapGeometry::Scale::ByDuration : MapGeometry::Scale::PerLine);
    m_geometry.ensureVisible(std::min(m_document.currentLine(), m_geometry.lineCount()));
    viewChanged();
}

void SequenceMap::zoomIn()
{
    m_geometry.zoomBy(kButtonZoomFactor, buttonZoomAnchor());
    viewChanged();
}

void SequenceMap::zoomOut()
{
    m_geometry.zoomBy(1.0 / kButtonZoomFactor, buttonZoomAnchor());
    viewChanged();
}

int SequenceMap::buttonZoomAnchor() const
{
    // The current line stays where it is when it is in view; otherwise the
    // middle of the view does.
    const int current = std::min(m_document.currentLine(), m_geometry.lineCount());
    const double centre = (m_geometry.lineStart(current) + m_geometry.lineEnd(current)) / 2 -
                          m_geometry.scrollOffset();
    if (centre >= 0 && centre < m_geometry.viewWidth())
        return int(centre);
    return m_geometry.viewWidth() / 2;
}

void SequenceMap::fitToWidth()
{
    m_geometry.fit();
    viewChanged();
}

// --- keeping the view ------------------------------------------------------

void SequenceMap::recolourLines(int first, int last)
{
    const auto &screen = screenColours();
    const LineTable &table = shownTable();
    for (int line = first; line <= last; ++line) {
        const auto cells = table.line(line);
        QRgb *out = m_colours.data() + std::size_t(line - 1) * kLedCount;
        for (int led = 0; led < kLedCount; ++led)
            out[led] = screen[std::size_t(cells[std::size_t(led)] & 0xFFF)];
    }
}

void SequenceMap::viewChanged()
{
    syncScrollBar();
    update(QRect(0, 0, width(), kControlsTop));
}

void SequenceMap::syncScrollBar()
{
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setRange(0, m_geometry.maxScrollOffset());
    m_scrollBar->setPageStep(m_geometry.viewWidth());
    m_scrollBar->setSingleStep(std::max(1, m_geometry.viewWidth() / 20));
    m_scrollBar->setValue(m_geometry.scrollOffset());
    m_zoomIn->setEnabled(m_geometry.zoom() < m_geometry.maxZoom());
    m_zoomOut->setEnabled(!m_geometry.isFitted());
    m_fit->setEnabled(!m_geometry.isFitted());
}

void SequenceMap::scrollTo(int offset)
{
    if (offset == m_geometry.scrollOffset())
        return;
    m_geometry.setScrollOffset(offset);
    viewChanged();
}

void SequenceMap::updateMarks()
{
    update(QRect(0, 0, width(), kMarkStripHeight));
    update(QRect(0, kBandsTop + kBandsHeight, width(), kMarkStripHeight));
}

void SequenceMap::followCurrentLine()
{
    const int before = m_geometry.scrollOffset();
    m_geometry.ensureVisible(std::min(m_document.currentLine(), m_geometry.lineCount()));
    if (m_geometry.scrollOffset() != before)
        viewChanged();
}

// --- painting --------------------------------------------------------------

void SequenceMap::paintBands(QImage &image, const std::vector<int> &lineOfColumn) const
{
    const int height = image.height();
    const int width = image.width();
    for (int y = 0; y < height; ++y) {
        const int band = y * kLedCount / height;
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        const QRgb *colours = m_colours.data() + band;
        for (int x = 0; x < width; ++x)
            row[x] = colours[std::size_t(lineOfColumn[std::size_t(x)] - 1) * kLedCount];
    }
}

QImage SequenceMap::renderPicture(int width, int height) const
{
    if (width == 0)
        width = currentZoomWidth();
    if (width < 1 || width > kMaxPictureWidth || height < kLedCount || height > kMaxPictureHeight) {
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    // The whole sequence fitted to the picture's width.
    MapGeometry picture = m_geometry;
    picture.setViewWidth(width);
    picture.fit();
    std::vector<int> lineOfColumn(std::size_t(width), 1);
    for (int x = 0; x < width; ++x)
        lineOfColumn[std::size_t(x)] = picture.lineAtViewX(x);
    paintBands(image, lineOfColumn);
    return image;
}

std::pair<int, int> SequenceMap::markColumns(int first, int last) const
{
    int left = int(std::floor(m_geometry.lineStart(first))) - m_geometry.scrollOffset();
    int right = int(std::ceil(m_geometry.lineEnd(last))) - m_geometry.scrollOffset() - 1;
    if (right - left + 1 < kMinMarkWidth) {
        const int centre = (left + right) / 2;
        left = centre - kMinMarkWidth / 2;
        right = left + kMinMarkWidth - 1;
    }
    return {left, right};
}

void SequenceMap::paintMarks(QPainter &painter) const
{
    const int bottomStrip = kBandsTop + kBandsHeight;
    if (m_document.selectionCount() > 1) {
        const int count = m_geometry.lineCount();
        const auto [left, right] = markColumns(std::min(m_document.selectionFirst(), count),
                                               std::min(m_document.selectionLast(), count));
        const QColor shade = palette().color(QPalette::Highlight);
        painter.fillRect(QRect(left, 0, right - left + 1, kMarkStripHeight), shade);
        painter.fillRect(QRect(left, bottomStrip, right - left + 1, kMarkStripHeight), shade);
    }
    const int current = std::min(m_document.currentLine(), m_geometry.lineCount());
    const auto [left, right] = markColumns(current, current);
    if (m_playing) {
        // The playhead: a triangle pointing into the bands from each side at
        // the middle of the line, over a thin bar as wide as the line.
        const double centre = (left + right + 1) / 2.0;
        const double half = kPlayheadWidth / 2.0;
        const QColor red(220, 30, 30);
        painter.fillRect(QRect(left, kMarkStripHeight - 2, right - left + 1, 2), red);
        painter.fillRect(QRect(left, bottomStrip, right - left + 1, 2), red);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(red);
        const QPointF top[] = {
            {centre - half, 0.0}, {centre + half, 0.0}, {centre, double(kMarkStripHeight)}};
        const QPointF bottom[] = {{centre - half, double(bottomStrip + kMarkStripHeight)},
                                  {centre + half, double(bottomStrip + kMarkStripHeight)},
                                  {centre, double(bottomStrip)}};
        painter.drawPolygon(top, 3);
        painter.drawPolygon(bottom, 3);
        painter.setRenderHint(QPainter::Antialiasing, false);
    } else {
        const QColor mark = palette().color(QPalette::WindowText);
        painter.fillRect(QRect(left, 0, right - left + 1, kMarkStripHeight), mark);
        painter.fillRect(QRect(left, bottomStrip, right - left + 1, kMarkStripHeight), mark);
    }
}

void SequenceMap::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect bands = bandsRect();
    for (const QRect &rect : event->region()) {
        const QRect area = rect & bands;
        if (area.isEmpty())
            continue;
        std::vector<int> lineOfColumn(std::size_t(area.width()));
        for (int x = 0; x < area.width(); ++x)
            lineOfColumn[std::size_t(x)] = m_geometry.lineAtViewX(area.left() + x);
        QImage strip(area.width(), kBandsHeight, QImage::Format_RGB32);
        paintBands(strip, lineOfColumn);
        painter.drawImage(QPoint(area.left(), kBandsTop), strip);
    }
    const QRect top(0, 0, width(), kMarkStripHeight);
    const QRect bottom(0, kBandsTop + kBandsHeight, width(), kMarkStripHeight);
    if (event->region().intersects(top) || event->region().intersects(bottom)) {
        painter.fillRect(top, palette().window());
        painter.fillRect(bottom, palette().window());
        paintMarks(painter);
    }
}

void SequenceMap::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int buttons = 2 * kButtonWidth + kFitButtonWidth;
    m_scrollBar->setGeometry(0, kControlsTop, std::max(0, w - buttons), kControlsHeight);
    m_zoomOut->setGeometry(w - buttons, kControlsTop, kButtonWidth, kControlsHeight);
    m_zoomIn->setGeometry(w - buttons + kButtonWidth, kControlsTop, kButtonWidth, kControlsHeight);
    m_fit->setGeometry(w - kFitButtonWidth, kControlsTop, kFitButtonWidth, kControlsHeight);
    m_geometry.setViewWidth(w);
    viewChanged();
}

// --- input -----------------------------------------------------------------

void SequenceMap::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || event->position().y() >= kControlsTop) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int x = std::clamp(int(event->position().x()), 0, width() - 1);
    m_dragLine = m_geometry.lineAtViewX(x);
    if (event->modifiers() & Qt::ShiftModifier) {
        m_dragAnchor = m_document.anchorLine();
        emit rangeSelected(m_dragAnchor, m_dragLine);
    } else {
        m_dragAnchor = m_dragLine;
        emit lineClicked(m_dragLine);
    }
}

void SequenceMap::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragAnchor == 0 || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // Dragging past either end of the view scrolls it along.
    const int x = int(event->position().x());
    if (x < 0)
        scrollTo(m_geometry.scrollOffset() + x);
    else if (x >= width())
        scrollTo(m_geometry.scrollOffset() + x - width() + 1);
    const int line = m_geometry.lineAtViewX(std::clamp(x, 0, width() - 1));
    if (line == m_dragLine)
        return;
    m_dragLine = line;
    emit rangeSelected(m_dragAnchor, m_dragLine);
}

void SequenceMap::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragAnchor = 0;
    QWidget::mouseReleaseEvent(event);
}

void SequenceMap::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const int steps = delta.y() != 0 ? delta.y() : delta.x();
    if (steps == 0) {
        event->ignore();
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        const int anchor = std::clamp(int(event->position().x()), 0, width() - 1);
        m_geometry.zoomBy(std::pow(kWheelZoomFactor, steps / 120.0), anchor);
        viewChanged();
    } else {
        // A notch scrolls a tenth of the view; turning the wheel away from
        // the user (positive) moves back towards line 1.
        const int pixels = int(std::lround(-steps / 120.0 * m_geometry.viewWidth() / 10.0));
        scrollTo(m_geometry.scrollOffset() + (pixels != 0 ? pixels : (steps > 0 ? -1 : 1)));
    }
    event->accept();
}

bool SequenceMap::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (help->pos().y() >= kControlsTop) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const int line = m_geometry.lineAtViewX(std::clamp(help->pos().x(), 0, width() - 1));
        const auto [left, right] = m_geometry.viewColumns(line);
        const QRect area(left, 0, std::max(1, right - left + 1), kControlsTop);
        QToolTip::showText(help->globalPos(), toolTipFor(line), this, area);
        return true;
    }
    return QWidget::event(event);
}

QString SequenceMap::toolTipFor(int line) const
{
    const LineTable &table = shownTable();
    line = std::min(line, table.lineCount());
    const int words = lineWordCount(table, line);
    return QStringLiteral("Line %1\n%2 s\n%3 %4")
        .arg(line)
        .arg(formatDuration(table.duration(line), locale()))
        .arg(words)
        .arg(words == 1 ? QStringLiteral("word") : QStringLiteral("words"));
}

} // namespace glowline

namespace glowline {

const LineTable &SequenceMap::shownTable() const
{
    return m_preview ? *m_preview : m_document.table();
}

void SequenceMap::setPreview(std::optional<LineTable> preview)
{
    m_preview = std::move(preview);
    sequenceChanged();
}

} // namespace glowline
