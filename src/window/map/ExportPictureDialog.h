#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QSpinBox;

namespace glowline {

struct PictureSize
{
    int width = 0; // 0: the whole sequence at the map's current zoom
    int height = 110;
};

// Asks for the size of an exported picture: a width (the special value
// "current zoom" by default) and a height in pixels. Enter accepts, Esc
// cancels.
class ExportPictureDialog final : public QDialog
{
    Q_OBJECT

public:
    // currentZoomWidth is how wide the picture is at the current zoom; when
    // that is more than the widest picture, a width has to be given.
    explicit ExportPictureDialog(int currentZoomWidth, QWidget *parent = nullptr);

    PictureSize pictureSize() const;

private:
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
};

// The two questions Export Picture asks, behind a seam so that the command
// can be driven without a screen.
class ExportPictureQuestions
{
public:
    virtual ~ExportPictureQuestions() = default;
    virtual std::optional<PictureSize> pictureSize(int currentZoomWidth) = 0;
    // A Save dialog for PNG pictures that asks before replacing a file.
    virtual std::optional<QString> pictureFileName(const QString &suggestedName) = 0;
};

class QtExportPictureQuestions final : public ExportPictureQuestions
{
public:
    explicit QtExportPictureQuestions(QWidget *parent) : m_parent(parent) {}
    Q_DISABLE_COPY_MOVE(QtExportPictureQuestions)

    std::optional<PictureSize> pictureSize(int currentZoomWidth) override;
    std::optional<QString> pictureFileName(const QString &suggestedName) override;

private:
    QWidget *m_parent;
};

} // namespace glowline
