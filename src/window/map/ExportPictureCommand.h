#pragma once

#include "window/map/ExportPictureDialog.h"

#include <QByteArray>
#include <QObject>

#include <memory>

class QImage;

namespace glowline {

class Dialogs;
class SequenceMap;

// File › Export Picture…: asks for a size and a file name, renders the map's
// bands and writes them as a PNG with the same safe write as Save. Failures
// are told the way a failed save is.
class ExportPictureCommand final : public QObject
{
    Q_OBJECT

public:
    // Without questions of its own it asks with Qt's dialogs over the map;
    // the map itself is only read.
    ExportPictureCommand(Dialogs &dialogs, SequenceMap &map,
                         ExportPictureQuestions *questions = nullptr, QObject *parent = nullptr);
    ~ExportPictureCommand() override;
    Q_DISABLE_COPY_MOVE(ExportPictureCommand)

    // The name offered in the Save dialog: the sequence file's, ending in .png.
    QString suggestedFileName() const;
    // Writes the picture; false (after telling the user) when it failed.
    bool exportTo(const QString &path, PictureSize size);
    // The picture as PNG bytes; empty, with the reason in error, when it
    // could not be encoded.
    static QByteArray encodePng(const QImage &image, QString *error = nullptr);

public slots:
    void run();

private:
    static constexpr int kPngQuality = 85;

    void reportFailure(const QString &description);

    Dialogs &m_dialogs;
    const SequenceMap &m_map;
    std::unique_ptr<ExportPictureQuestions> m_ownQuestions;
    ExportPictureQuestions *m_questions;
};

} // namespace glowline
