#include "window/map/ExportPictureCommand.h"

#include "dialogs/Dialogs.h"
#include "files/SequenceWriter.h"
#include "model/Document.h"
#include "window/map/SequenceMap.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>

namespace glowline {

ExportPictureCommand::ExportPictureCommand(Dialogs &dialogs, SequenceMap &map,
                                           ExportPictureQuestions *questions, QObject *parent)
    : QObject(parent), m_dialogs(dialogs), m_map(map), m_questions(questions)
{
    if (!m_questions) {
        m_ownQuestions = std::make_unique<QtExportPictureQuestions>(&map);
        m_questions = m_ownQuestions.get();
    }
}

ExportPictureCommand::~ExportPictureCommand() = default;

QString ExportPictureCommand::suggestedFileName() const
{
    const QString sequence = m_map.document().state().fileName();
    if (sequence.isEmpty())
        return QString();
    const QFileInfo info(sequence);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".png"));
}

void ExportPictureCommand::run()
{
    const auto size = m_questions->pictureSize(m_map.currentZoomWidth());
    if (!size)
        return;
    if (size->width == 0 && m_map.currentZoomWidth() > SequenceMap::kMaxPictureWidth) {
        m_dialogs.message(Dialogs::Icon::Warning, Dialogs::Buttons::Ok,
                          QStringLiteral("At the current zoom the picture would be %1 pixels "
                                         "wide; the most is %2. Give a width, or zoom out.")
                              .arg(m_map.currentZoomWidth())
                              .arg(SequenceMap::kMaxPictureWidth));
        return;
    }
    const auto path = m_questions->pictureFileName(suggestedFileName());
    if (!path || path->isEmpty())
        return;
    exportTo(*path, *size);
}

bool ExportPictureCommand::exportTo(const QString &path, PictureSize size)
{
    const QImage image = m_map.renderPicture(size.width, size.height);
    if (image.isNull()) {
        reportFailure(QStringLiteral("No picture of %1 × %2 pixels could be made.")
                          .arg(size.width == 0 ? m_map.currentZoomWidth() : size.width)
                          .arg(size.height));
        return false;
    }
    QString error;
    const QByteArray bytes = encodePng(image, &error);
    if (bytes.isEmpty()) {
        reportFailure(error);
        return false;
    }
    if (!writeFileAtomically(path, bytes, &error)) {
        reportFailure(error);
        return false;
    }
    return true;
}

QByteArray ExportPictureCommand::encodePng(const QImage &image, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Qt's default spends most of an export of a long sequence compressing
    // bands of flat colour. For PNG Qt turns the quality into zlib's level,
    // (100 - quality) * 9 / 91: this quality is level 1, the fastest that
    // still compresses, for a file of about twice the size.
    writer.setQuality(kPngQuality);
    if (!writer.write(image)) {
        if (error)
            *error = writer.errorString();
        return QByteArray();
    }
    return bytes;
}

void ExportPictureCommand::reportFailure(const QString &description)
{
    m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok,
                      QStringLiteral("Failed to save file: \r\n") + description);
}

} // namespace glowline
