#include "window/controls/ClientFont.h"

#include "model/LineTable.h"
#include "window/controls/Layout.h"
#include "window/controls/LineWindow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace glowline {

namespace {

// Room left between a caption and its button's bevel on either side.
constexpr int kCaptionPadding = 2;

bool captionsFit(const QWidget &client, const QFont &font)
{
    const QFontMetrics metrics(font);
    for (const QPushButton *button : client.findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect = button->rect();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (metrics.horizontalAdvance(button->text()) + 2 * kCaptionPadding > room.width() ||
            metrics.height() > room.height())
            return false;
    }
    // The line-number labels hold up to the highest line number.
    const QString widestNumber = QString::number(kMaxLines);
    for (int r = 0; r < LineWindow::kRows; ++r) {
        const QLabel *label =
            client.findChild<QLabel *>(indexedName("lblLine", r), Qt::FindChildrenRecursively);
        if (label != nullptr &&
            metrics.horizontalAdvance(widestNumber) > label->contentsRect().width())
            return false;
    }
    return true;
}

} // namespace

void fitClientFont(QWidget &client)
{
    constexpr qreal kStep = 0.5;
    constexpr qreal kSmallest = 5;
    QFont font = client.font();
    const qreal largest = font.pointSizeF();
    if (largest <= 0)
        return;
    for (int step = 0; largest - step * kStep >= kSmallest; ++step) {
        font.setPointSizeF(largest - step * kStep);
        if (captionsFit(client, font))
            break;
    }
    client.setFont(font);
}

} // namespace glowline
